#pragma once
// The remote side of the program in one object: the two local pipe servers
// polled by the output tick, the IP device server and the IP link. The main
// window owns it and calls it at the places of its start-up and shutdown
// order; its tick hooks go to the DMX output before the output thread starts.
//
// Thread: every member is for the user-interface thread, except tickHooks(),
// whose calls come from the output thread.

#include "dmx/composer.h"
#include "dmx/outputtick.h"
#include "remote/devicelog.h"
#include "remote/framepipe.h"
#include "remote/ipdeviceserver.h"
#include "remote/iplinkclient.h"
#include "remote/pipeserver.h"
#include "remote/systempipe.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct RemoteOptions {
    std::string pipeFolder; // empty: pipeDirectory()
    IpDeviceServerOptions devices;
    std::string linkHost = "127.0.0.1";
    uint16_t linkPort = kLinkPort;
    // The current colour (live colour 8) the IP link reports.
    std::function<CurrentColour()> currentColour;
};

class RemoteControl {
public:
    using LogSink = std::function<void(std::string_view line, uint32_t colour)>;

    explicit RemoteControl(RemoteOptions options);
    ~RemoteControl();
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // For the DMX output; it must stop calling them before this object goes.
    TickHooks& tickHooks();
    // VEDA=: to the device server; while it does not run (it failed to start,
    // or a chained start) each text is logged as not sent.
    IpDevices& ipDevices();
    IpLink& ipLink() { return m_link; }

    // The window's log (control 1309). Lines written before there is one are
    // kept and handed over when it comes.
    void setLog(LogSink sink);

    // Start-up: the frame pipe, then the system pipe. One that cannot be
    // created now (its name still held by a program that is ending) is tried
    // again every second by poll().
    void createPipeServers();
    // Shutdown: the frame pipe's end.
    void closeFramePipe();

    // Start-up: 0, or -1 when the server cannot listen (the reason is logged).
    int startIpServer();
    void serviceIpDevices(); // timer 1235
    void stopIpServer();     // shutdown: keep-alives stop
    bool ipServerRunning() const { return m_devices.running(); }
    IpDeviceServer& deviceServer() { return m_devices; }

    // A step's VEDA= or SUPERSCAN1= text that could not go out, and why.
    void logNotSent(std::string_view text, std::string_view reason);

    // "Use IP devices": true when connected; a failure is logged with the
    // reason (the box shows "Cannot connect to " + linkHost()).
    bool openIpLink();
    void closeIpLink();
    bool ipLinkOn() const { return m_link.connected(); }
    const std::string& linkHost() const { return m_options.linkHost; }
    IpLinkClient& link() { return m_link; }

    // Where system pipe commands go; nullptr while the moving-head windows do
    // not exist (their commands are then dropped, and the log says so once).
    void setHeadMover(HeadMover* mover) { m_mover = mover; }

    // Every 20 ms (the main window's playback timer): head commands to their
    // windows, the current colour to the link, pipe and device events to the
    // log, pipe creation retries.
    void poll(Milliseconds now);
    // Work a later poll has even if nothing new comes in: a pipe to create
    // again, trouble to log (one line a second at most). Whatever comes in from
    // the pipes, the link or the devices wakes the resting ticks by itself.
    bool busy() const;

private:
    class Hooks;
    class Devices;

    void log(std::string_view line, uint32_t colour);
    bool pipesMissing() const;    // wanted, not created yet
    bool troubleUnlogged() const; // unknown codes or lost commands not logged yet
    void tryCreatePipes();
    void logPipeEvents(PipeServer& pipe, uint32_t (&seen)[3]);
    void moveHeads();
    void logSystemPipeTrouble(Milliseconds now);

    RemoteOptions m_options;
    LogSink m_sink;
    std::vector<LogLine> m_early;
    PipeSet m_pipes; // destroyed after the pipes, whose descriptors it watches
    PipeServer m_framePipe{kFramePipeName};
    PipeServer m_systemPipe{kSystemPipeName};
    HeadCommandQueue m_headQueue;
    FramePipeReader m_frameReader;
    SystemPipeReader m_systemReader{m_headQueue};
    IpLinkClient m_link;
    IpDeviceServer m_devices;
    std::unique_ptr<Hooks> m_hooks;
    std::unique_ptr<Devices> m_deviceSender;
    HeadMover* m_mover = nullptr;

    bool m_pipesWanted[2] = {false, false}; // frame pipe, system pipe
    std::string m_pipeFolder;
    Milliseconds m_nextPipeTry{0};
    bool m_pipeFailureLogged[2] = {false, false};
    uint32_t m_frameSeen[3] = {0, 0, 0};  // connects, departures, refused
    uint32_t m_systemSeen[3] = {0, 0, 0}; // connects, departures, refused
    uint32_t m_unknownSeen = 0;
    uint32_t m_lostSeen = 0;
    Milliseconds m_nextTroubleLog{0};
    bool m_noMoverLogged = false;
};

} // namespace orvane
