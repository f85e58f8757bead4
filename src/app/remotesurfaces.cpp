#include "app/remotesurfaces.h"

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "console/controlids.h"
#include "remote/devicetexts.h"
#include "remote/oscserver.h"
#include "remote/webremoteserver.h"
#include "remote/websettings.h"
#include "show/language.h"
#include "show/showfolders.h"
#include "show/textutil.h"
#include "windows/dialogbuilder.h"
#include "windows/showtime2.h"

#include <QSocketNotifier>

namespace orvane {

namespace {

constexpr const char* kOsc = "OSC";
constexpr const char* kWeb = "Web";
// Commands that did nothing: a line per kind of command every 5 s at most.
constexpr Nanoseconds kIgnoredInterval = 5s;

RemoteExecutorHooks executorHooks(COrvaneDlg& main) {
    RemoteExecutorHooks h;
    h.fadeInKey = [&main] { main.consoleHandlers().fadeInHotKey(); };
    h.showTime = [&main]() -> ShowTimePanel* {
        showtime2* window = main.tools() ? main.tools()->showTime() : nullptr;
        return window ? &window->panel() : nullptr;
    };
    h.blackoutOn = [&main] { return main.dmx().allDmxToZero(); };
    return h;
}

} // namespace

RemoteSurfaces::RemoteSurfaces(COrvaneDlg& main)
    : m_main(main), m_executor(main.controls(), executorHooks(main)),
      m_publisher(main.controls(), main.session().store(), m_board),
      m_ignoredLog(translate("Remote surfaces", "Remote "), kIgnoredInterval) {
    m_slots.push_back({kOsc, nullptr, {}, {}});
    m_slots.push_back({kWeb, nullptr, {}, {}});
    makeOsc();
    makeWeb();
    showIndicator();
    if (m_ring.descriptor() >= 0) {
        m_arrivals = std::make_unique<QSocketNotifier>(m_ring.descriptor(), QSocketNotifier::Read);
        QObject::connect(m_arrivals.get(), &QSocketNotifier::activated,
                         [this] { onCommandsArrived(); });
    }
}

RemoteSurfaces::~RemoteSurfaces() {
    stop();
}

RemoteSurfaces::Slot& RemoteSurfaces::slot(const std::string& name) {
    for (Slot& s : m_slots)
        if (s.name == name)
            return s;
    m_slots.push_back({name, nullptr, {}, {}});
    return m_slots.back();
}

void RemoteSurfaces::attach(const std::string& name, std::unique_ptr<RemoteSurface> server,
                            std::string where) {
    Slot& s = slot(name);
    s.server = std::move(server);
    s.where = std::move(where);
    s.failure.clear();
    showIndicator();
}

RemoteSurface* RemoteSurfaces::surface(const std::string& name) const {
    for (const Slot& s : m_slots)
        if (s.name == name)
            return s.server.get();
    return nullptr;
}

// "oscport" turns OSC on, on "oscbind" (127.0.0.1 unless set).
void RemoteSurfaces::makeOsc() {
    ProfileFiles& profiles = m_main.session().store().profiles();
    std::string error;
    std::optional<OscServerOptions> options =
        oscOptions(setting(profiles, "oscport", ""), setting(profiles, "oscbind", ""), &error);
    if (!options) {
        if (!error.empty())
            log(fillIn(translate("Remote surfaces", "OSC stays off: %1"), {error}), kLogDarkRed);
        return;
    }
    std::string where = format("%s:%u", options->bindAddress.c_str(), unsigned(options->port));
    attach(kOsc, std::make_unique<OscServer>(*options, m_ring, m_board), where);
}

// "webport" turns the web remote on, on "webbind" (127.0.0.1 unless set),
// behind "webtoken" (made and kept in the profile when absent).
void RemoteSurfaces::makeWeb() {
    WebSettings settings = readWebSettings(m_main.session().store().profiles());
    for (const std::string& problem : settings.problems)
        log(fillIn(translate("Remote surfaces", "Web: %1"), {problem}), kLogDarkRed);
    if (!settings.enabled)
        return;
    WebRemoteOptions options;
    options.bindAddress = settings.bindAddress;
    options.port = settings.port;
    options.token = settings.token;
    std::string where = webWhere(settings.bindAddress, settings.port);
    attach(kWeb, std::make_unique<WebRemoteServer>(std::move(options), m_ring, m_board), where);
    // A token the operator has never seen: the address to open, once.
    if (settings.tokenMade)
        m_webAddress = webRemoteUrl(settings.bindAddress, settings.port, settings.token);
}

void RemoteSurfaces::sayWebAddress() {
    RemoteSurface* web = surface(kWeb);
    if (m_webAddress.empty() || !web || !web->running())
        return;
    log(fillIn(translate("Remote surfaces",
                         "Web: a token was made and kept in %1 (setting webtoken); open %2"),
               {userProfilePath(), m_webAddress}),
        kLogTeal);
    m_webAddress.clear();
}

void RemoteSurfaces::start() {
    if (m_started || m_stopped)
        return;
    m_started = true;
    m_publisher.update(); // the servers' first subscribers get the state at once
    for (Slot& s : m_slots) {
        if (!s.server)
            continue;
        std::string error;
        if (s.server->start(&error)) {
            log(fillIn(translate("Remote surfaces", "%1: listening on %2"),
                       {s.name, s.server->where()}),
                kLogTeal);
            continue;
        }
        s.failure = error;
        std::string text = fillIn(translate("Remote surfaces", "%1: cannot listen on %2: %3"),
                                  {s.name, s.where, error});
        log(text, kLogDarkRed);
        m_main.controls().setText(console::kStatus, text);
    }
    sayWebAddress();
    showIndicator();
}

void RemoteSurfaces::stop() {
    m_stopped = true;
    m_arrivals.reset();
    for (Slot& s : m_slots)
        if (s.server)
            s.server->stop();
}

// Commands that came since the ring was last drained; how many acted.
int RemoteSurfaces::act() {
    return m_executor.drain(
        m_ring, kCommandsPerRound, [this](const RemoteCommand& c, const std::string& why) {
            std::vector<LogLine> lines;
            m_ignoredLog.note(
                int(c.verb),
                fillIn(translate("Remote surfaces", "%1 did nothing: %2"), {describe(c), why}),
                kLogTeal, systemClock().now(), lines);
            for (const LogLine& l : lines)
                log(l.text, l.colour);
        });
}

// A message box's event loop inside a command or a round may bring more
// commands: they wait for the next round rather than run inside the first.
void RemoteSurfaces::onCommandsArrived() {
    m_ring.clearWake();
    if (m_stopped || !m_started || m_acting || m_inRound)
        return;
    m_acting = true;
    std::string stepBefore = m_main.controls().text(console::kStepNumber);
    if (act() > 0)
        roundsAfterCommands(stepBefore);
    m_acting = false;
    publish();
}

// One round composes what the commands changed; a second one composes the
// step the first made current (the end of a fade of no time activates the
// next step after the round's composition).
void RemoteSurfaces::roundsAfterCommands(const std::string& stepBefore) {
    MainTimer& timer = m_main.mainTimer();
    timer.OnTimer(timers::kPlayback, m_main.now());
    if (m_main.controls().text(console::kStepNumber) != stepBefore)
        timer.OnTimer(timers::kPlayback, m_main.now());
}

void RemoteSurfaces::beforeTick() {
    m_inRound = true;
    m_actedThisRound = 0;
    if (m_stopped || m_acting)
        return;
    m_stepBeforeRound = m_main.controls().text(console::kStepNumber);
    m_acting = true;
    m_actedThisRound = act();
    m_acting = false;
}

void RemoteSurfaces::afterTick() {
    // The round composed what the commands changed; a step it made current
    // is composed at once.
    if (m_actedThisRound > 0 && !m_acting &&
        m_main.controls().text(console::kStepNumber) != m_stepBeforeRound) {
        m_acting = true;
        m_main.mainTimer().OnTimer(timers::kPlayback, m_main.now());
        m_acting = false;
    }
    m_actedThisRound = 0;
    m_inRound = false;
    publish();
}

void RemoteSurfaces::publish() {
    m_publisher.update();
    collectLogs();
}

void RemoteSurfaces::collectLogs() {
    std::vector<LogLine> lines;
    m_ignoredLog.flush(systemClock().now(), lines);
    for (Slot& s : m_slots)
        if (s.server)
            for (LogLine& l : s.server->takeLog())
                lines.push_back(std::move(l));
    for (const LogLine& l : lines)
        log(l.text, l.colour);
}

std::string RemoteSurfaces::indicator() const {
    std::string text;
    for (const Slot& s : m_slots) {
        if (!text.empty())
            text += "  ";
        std::string state;
        if (!s.server)
            state = translate("Remote surfaces", "off");
        else if (s.server->running())
            state = s.server->where();
        else if (!s.failure.empty())
            state = fillIn(translate("Remote surfaces", "%1 failed (%2)"), {s.where, s.failure});
        else
            state = fillIn(translate("Remote surfaces", "%1 (opens with the DMX line)"), {s.where});
        text += fillIn(translate("Remote surfaces", "%1: %2"), {s.name, state});
    }
    return text;
}

void RemoteSurfaces::showIndicator() {
    m_main.controls().setText(console::kRemoteSurfaces, indicator());
}

void RemoteSurfaces::log(const std::string& text, uint32_t colour) {
    if (QWidget* w = m_main.widget(console::kLog))
        appendLogLine(w, text, colour);
}

} // namespace orvane
