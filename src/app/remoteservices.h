#pragma once
// The main window's remote side: the pipe servers, the IP device server and
// the IP link (RemoteControl), set up from the settings and the environment,
// with its log lines in the coloured log (control 1309) and string 8 when the
// device server cannot start. User-interface thread only.

#include "dmx/composer.h"
#include "remote/remotecontrol.h"

#include <QtGlobal>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace orvane {

class FixtureRig;
class ProfileFiles;
class Prompts;

// System-socket head commands on the moving-head windows' sliders: "Pan"
// (1025) and "Tilt" (1026), and with a full command "Misc" (1028), "Color"
// (1029) and "Speed" (1027), as an operator would move them.
class HeadSliders : public HeadMover {
public:
    explicit HeadSliders(FixtureRig& rig) : m_rig(rig) {}
    void moveHead(const HeadCommand& command) override;

private:
    FixtureRig& m_rig;
};

// String 8 of the program's messages.
constexpr const char* kDeviceServerFailed = QT_TRANSLATE_NOOP(
    "Main window",
    "Cannot start the IP device server: IP devices cannot connect (the log says why)");
// The most lines the log keeps; older ones go first.
constexpr int kLogLinesKept = 1000;

class RemoteServices {
public:
    RemoteServices(ProfileFiles& profiles, Prompts& prompts,
                   std::function<CurrentColour()> currentColour);
    ~RemoteServices();
    RemoteServices(const RemoteServices&) = delete;
    RemoteServices& operator=(const RemoteServices&) = delete;

    RemoteControl& remote() { return *m_remote; }

    // The log control, once the window's controls exist.
    void attachLog(QWidget* log);
    // Start-up: starts the IP device server; false after showing string 8.
    bool startIpServer();
    // $ORVANE_LINK_HOST, else the setting "linkhost", else 127.0.0.1.
    const std::string& linkHost() const { return m_remote->linkHost(); }
    // The moving-head windows once they exist; nullptr before they go.
    void connectHeads(FixtureRig* rig);

private:
    Prompts& m_prompts;
    std::unique_ptr<RemoteControl> m_remote;
    std::unique_ptr<HeadSliders> m_heads;
};

} // namespace orvane
