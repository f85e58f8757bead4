#include "app/orvaneapp.h"

#include "app/appicon.h"
#include "app/orvanedlg.h"
#include "app/qtprompts.h"
#include "app/sdljoystick.h"
#include "app/showlist.h"
#include "app/signalbridge.h"
#include "playback/showchooser.h"
#include "show/showfolders.h"
#include "show/textutil.h"

#include <QApplication>

namespace orvane {

int COrvaneApp::run(int argc, char** argv) {
    // The command-line text is taken before Qt removes the options it knows.
    std::string text = joinArguments(argc, argv);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("orvane");
    QApplication::setWindowIcon(applicationIcon());
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
    StartOptions options = parseCommandLine(m_commandLine);
    std::string root = rootFolder(m_profiles);
    std::string show;
    if (options.chained()) {
        show = std::string(cutUtf8(*options.show, kShowNameMax));
    } else {
        ShowChooser chooser(m_profiles, *m_prompts, root);
        if (nonInteractiveRequested()) {
            // The chooser's default answer is Open, with the last show selected.
            chooser.fill();
            show = chooser.open();
            m_prompts->message("Select Show", show, PromptIcon::None);
        } else {
            showlist dialog(chooser);
            if (dialog.exec() != QDialog::Accepted)
                return 0;
            show = chooser.name();
        }
    }
    SignalBridge bridge;
    COrvaneDlg dlg(m_profiles, *m_prompts, root, show, options, m_joystick.get());
    dlg.setJoystickPresent(m_joystickPresent);
    dlg.setJoystickRest(m_joystickRest);
    QObject::connect(&bridge, &SignalBridge::terminationRequested, &dlg, [&dlg] { dlg.close(); });
    dlg.OnInitDialog();
    dlg.exec();
    dlg.OnDestroy();
    return 0;
}

} // namespace orvane
