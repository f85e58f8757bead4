#include "app/remoteservices.h"

#include "fixtures/fixturecontrols.h"
#include "fixtures/fixturerig.h"
#include "show/language.h"
#include "show/prompts.h"
#include "show/showfolders.h"
#include "windows/dialogbuilder.h"

#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdlib>

namespace orvane {

namespace {

std::string linkHostSetting(ProfileFiles& profiles) {
    const char* env = std::getenv("ORVANE_LINK_HOST");
    return env && *env ? std::string(env) : setting(profiles, "linkhost", "127.0.0.1");
}

} // namespace

void HeadSliders::moveHead(const HeadCommand& c) {
    // The sliders another program sets besides pan and tilt.
    constexpr int kSpeed = 1027;
    constexpr int kMisc = 1028;
    constexpr int kColour = 1029;
    m_rig.setHeadSlider(c.head, head::kPan, c.pan);
    m_rig.setHeadSlider(c.head, head::kTilt, c.tilt);
    if (!c.full)
        return;
    m_rig.setHeadSlider(c.head, kMisc, c.misc);
    m_rig.setHeadSlider(c.head, kColour, c.colour);
    m_rig.setHeadSlider(c.head, kSpeed, c.speed);
}

RemoteServices::RemoteServices(ProfileFiles& profiles, Prompts& prompts,
                               std::function<CurrentColour()> currentColour)
    : m_prompts(prompts) {
    RemoteOptions options;
    options.devices.bindAddress = setting(profiles, "ipdevbind", "");
    options.linkHost = linkHostSetting(profiles);
    options.currentColour = std::move(currentColour);
    m_remote = std::make_unique<RemoteControl>(std::move(options));
}

RemoteServices::~RemoteServices() {
    m_remote->setHeadMover(nullptr);
}

void RemoteServices::connectHeads(FixtureRig* rig) {
    m_remote->setHeadMover(nullptr);
    m_heads = rig ? std::make_unique<HeadSliders>(*rig) : nullptr;
    m_remote->setHeadMover(m_heads.get());
}

void RemoteServices::attachLog(QWidget* log) {
    if (auto* edit = qobject_cast<QTextEdit*>(log))
        edit->document()->setMaximumBlockCount(kLogLinesKept);
    QPointer<QWidget> target(log);
    m_remote->setLog([target](std::string_view line, uint32_t colour) {
        if (target)
            appendLogLine(target, line, colour);
    });
}

bool RemoteServices::startIpServer() {
    if (m_remote->startIpServer() == 0)
        return true;
    m_prompts.message(kProgramTitle, translate("Main window", kDeviceServerFailed),
                      PromptIcon::Stop);
    return false;
}

} // namespace orvane
