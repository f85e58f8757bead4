#pragma once
// The application object: reads the command line, lets the operator choose a
// show when none was given, and runs the main window modally.
// User-interface thread only.

#include "console/joystick.h"
#include "show/inifile.h"
#include "startup/commandoptions.h"
#include "startup/startup.h"

#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

class COrvaneDlg;
class Prompts;

// Exit statuses of the program, beside those of the options (kExitOk).
constexpr int kExitNotSaved = 1; // told to end, and the show could not be saved
constexpr int kExitNoShow = 2;   // no show to open and nobody to ask

class COrvaneApp {
public:
    // The whole program: returns the process exit status.
    static int run(int argc, char** argv);

    explicit COrvaneApp(std::string commandLine);
    ~COrvaneApp();
    int InitInstance();

    bool joystickPresent() const { return m_joystickPresent; }
    JoystickPosition joystickRest() const { return m_joystickRest; }
    Joystick& joystick() { return *m_joystick; }

private:
    void applyThemeFromSettings();
    // The show named by "SHOW=", when it is a show of the root; else the
    // operator is told why.
    std::optional<std::string> commandLineShow(const StartOptions& options,
                                               const std::string& root);
    // The chooser; nothing when it was left with Exit (or, without an
    // operator, when no show is selected).
    std::optional<std::string> chooseShow(const std::string& root);
    int runMainWindow(const std::string& root, const std::string& show,
                      const StartOptions& options);
    // SIGTERM or SIGINT: open dialogs close with their default answer, and
    // the main window ends through its save sequence without asking.
    void terminate();

    std::string m_commandLine;
    ProfileFiles m_profiles;
    std::unique_ptr<Prompts> m_prompts;
    std::unique_ptr<Joystick> m_joystick;
    bool m_joystickPresent = false;
    JoystickPosition m_joystickRest;
    COrvaneDlg* m_dlg = nullptr;
    bool m_terminating = false;
    std::string m_themeProblem; // an unknown "theme" setting, said again in the window
};

} // namespace orvane
