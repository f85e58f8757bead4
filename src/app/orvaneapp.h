#pragma once
// The application object: reads the command line, lets the operator choose a
// show when none was given, and runs the main window modally.
// User-interface thread only.

#include "playback/joystick.h"
#include "playback/startup.h"
#include "show/inifile.h"

#include <memory>
#include <string>

namespace orvane {

class Prompts;

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
    std::string m_commandLine;
    ProfileFiles m_profiles;
    std::unique_ptr<Prompts> m_prompts;
    std::unique_ptr<Joystick> m_joystick;
    bool m_joystickPresent = false;
    JoystickPosition m_joystickRest;
};

} // namespace orvane
