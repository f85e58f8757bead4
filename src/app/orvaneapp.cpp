#include "app/orvaneapp.h"

#include "app/appicon.h"
#include "app/languagesetting.h"
#include "app/orvanedlg.h"
#include "app/qtprompts.h"
#include "app/sdljoystick.h"
#include "app/showlist.h"
#include "app/signalbridge.h"
#include "console/controlids.h"
#include "show/firstroot.h"
#include "show/language.h"
#include "show/showfolders.h"
#include "show/textutil.h"
#include "startup/showchooser.h"
#include "windows/theme.h"

#include <QApplication>
#include <QMetaObject>
#include <clocale>
#include <cstdio>

namespace orvane {

namespace {

constexpr uint32_t kThemeProblemColour = 0x0080FF; // orange, as the show file's notices

// First start of an installed program: ~/orvane with the demo show in it.
void prepareDefaultRoot(ProfileFiles& profiles, Prompts& prompts, const std::string& root) {
    if (!rootIsDefault(profiles))
        return;
    FirstRoot first = prepareFirstRoot(root, installedDemoShow(runningProgramPath()));
    if (!first.error.empty())
        prompts.message(kProgramTitle, first.error, PromptIcon::Error);
}

} // namespace

int COrvaneApp::run(int argc, char** argv) {
    SignalBridge::catchSignals();
    // The command-line text is taken before Qt removes the options it knows.
    std::string text = joinArguments(argc, argv);
    QApplication qt(argc, argv);
    // Qt takes the locale from the environment; numbers in files and fields
    // keep the C conventions ("2.5", never "2,5") whatever the language.
    std::setlocale(LC_NUMERIC, "C");
    matchSystemMessages();
    QApplication::setApplicationName("orvane");
    QApplication::setWindowIcon(applicationIcon());
    installLanguageInQt();
    COrvaneApp app(std::move(text));
    return app.InitInstance();
}

COrvaneApp::COrvaneApp(std::string commandLine)
    : m_commandLine(std::move(commandLine)), m_prompts(makePrompts()) {}

COrvaneApp::~COrvaneApp() = default;

int COrvaneApp::InitInstance() {
    makeFolders(userProfilePath().substr(0, userProfilePath().rfind('/')));
    m_joystick = std::make_unique<SdlJoystick>();
    if (auto p = m_joystick->position()) {
        m_joystickPresent = true;
        m_joystickRest = *p;
    }
    SignalBridge bridge;
    QObject::connect(&bridge, &SignalBridge::terminationRequested, &bridge,
                     [this] { terminate(); });
    applyThemeFromSettings();
    StartOptions options = parseCommandLine(m_commandLine);
    std::string root = rootFolder(m_profiles);
    prepareDefaultRoot(m_profiles, *m_prompts, root);
    std::optional<std::string> show;
    if (options.chained()) {
        show = commandLineShow(options, root);
        if (!show && nonInteractiveRequested())
            return kExitNoShow;
    }
    if (!show)
        show = chooseShow(root);
    if (!show)
        return nonInteractiveRequested() && !m_terminating ? kExitNoShow : kExitOk;
    return runMainWindow(root, *show, options);
}

// The setting "theme", before the first window: every window follows it.
void COrvaneApp::applyThemeFromSettings() {
    std::optional<std::string> problem = applyThemeSetting(setting(m_profiles, "theme", ""));
    if (!problem)
        return;
    m_themeProblem = *problem;
    std::fprintf(stderr, "orvane: %s\n", problem->c_str());
}

std::optional<std::string> COrvaneApp::commandLineShow(const StartOptions& options,
                                                       const std::string& root) {
    std::string name(cutUtf8(*options.show, kShowNameMax));
    if (showNameProblem(name)) {
        m_prompts->message(kProgramTitle, refusedShowNameText(name, root), PromptIcon::Error);
        return std::nullopt;
    }
    if (!showExists(root, name)) {
        m_prompts->message(kProgramTitle, missingShowText(name, root), PromptIcon::Error);
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> COrvaneApp::chooseShow(const std::string& root) {
    ShowChooser chooser(m_profiles, *m_prompts, root);
    if (m_terminating)
        return std::nullopt;
    if (nonInteractiveRequested()) {
        // The chooser's default answer is Open, on the last show when it is listed.
        chooser.fill();
        std::optional<std::string> show = chooser.open();
        m_prompts->message(translate("Show chooser", "Select Show"),
                           show ? *show : translate("Show chooser", "no show selected"),
                           PromptIcon::None);
        return show;
    }
    showlist dialog(chooser);
    if (dialog.exec() != QDialog::Accepted || m_terminating)
        return std::nullopt;
    return chooser.name();
}

int COrvaneApp::runMainWindow(const std::string& root, const std::string& show,
                              const StartOptions& options) {
    COrvaneDlg dlg(m_profiles, *m_prompts, root, show, options, m_joystick.get());
    m_dlg = &dlg;
    dlg.setJoystickPresent(m_joystickPresent);
    dlg.setJoystickRest(m_joystickRest);
    dlg.OnInitDialog();
    for (const std::string& problem : {languageSettingProblem(), m_themeProblem}) {
        if (problem.empty())
            continue;
        dlg.controls().setText(console::kStatus, problem);
        dlg.logLine(problem, kThemeProblemColour);
    }
    // The start step may already have ended the window (CHAIN= in it).
    if (!dlg.ended())
        dlg.exec();
    dlg.OnDestroy();
    m_dlg = nullptr;
    return dlg.exitStatus();
}

void COrvaneApp::terminate() {
    if (m_terminating)
        return;
    m_terminating = true;
    if (auto* qt = dynamic_cast<QtPrompts*>(m_prompts.get()))
        qt->stopAsking();
    dismissOpenDialogs(m_dlg);
    // The dialogs' own loops unwind first; the main window's loop then ends it.
    if (m_dlg)
        QMetaObject::invokeMethod(
            m_dlg, [dlg = m_dlg] { dlg->terminate(); }, Qt::QueuedConnection);
}

} // namespace orvane
