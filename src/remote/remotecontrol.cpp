#include "remote/remotecontrol.h"

#include "programs/videoplayerclient.h"
#include "show/language.h"
#include "show/textutil.h"

namespace orvane {

namespace {

constexpr Milliseconds kPipeRetry{1000};
constexpr Milliseconds kTroubleLog{1000};
constexpr size_t kShownTextChars = 80;

// "" or " (n times)" for a count of events seen in one poll.
std::string times(uint32_t n) {
    return n == 1 ? std::string() : fillIn(translate("Pipes", " (%1 times)"), {std::to_string(n)});
}

} // namespace

// The output tick's remote-control steps.
class RemoteControl::Hooks : public TickHooks {
public:
    explicit Hooks(RemoteControl& remote) : m_remote(remote) {}

    void ipHeartbeat(Milliseconds now) override { m_remote.m_link.heartbeat(now); }
    // Both pipes, the frame pipe first, with one system call; nothing runs
    // between the two polls of the tick.
    void pollFramePipe(Milliseconds now, PipeFrame& pipe) override {
        m_remote.m_frameReader.setTarget(&pipe);
        m_remote.m_pipes.serve(now);
    }
    void pollSystemPipe(Milliseconds) override {}

private:
    RemoteControl& m_remote;
};

// What steps send to the IP devices.
class RemoteControl::Devices : public IpDevices {
public:
    explicit Devices(RemoteControl& remote) : m_remote(remote) {}

    void sendToDevices(int device, std::string_view text) override {
        if (m_remote.m_devices.running()) {
            if (m_remote.m_devices.send(device, text) == kBadDeviceText)
                m_remote.logNotSent("VEDA=" + std::string(text),
                                    translate("IpDevices", "not 20 characters"));
            return;
        }
        m_remote.log(
            fillIn(translate("IpDevices", "ip ovi server not running, [%1] not sent"), {text}),
            kLogDarkRed);
    }

private:
    RemoteControl& m_remote;
};

RemoteControl::RemoteControl(RemoteOptions options)
    : m_options(std::move(options)), m_devices(m_options.devices),
      m_hooks(std::make_unique<Hooks>(*this)), m_deviceSender(std::make_unique<Devices>(*this)) {
    m_pipes.add(m_framePipe, m_frameReader);
    m_pipes.add(m_systemPipe, m_systemReader);
}

RemoteControl::~RemoteControl() = default;

TickHooks& RemoteControl::tickHooks() {
    return *m_hooks;
}

IpDevices& RemoteControl::ipDevices() {
    return *m_deviceSender;
}

void RemoteControl::setLog(LogSink sink) {
    m_sink = std::move(sink);
    if (!m_sink)
        return;
    for (const LogLine& line : m_early)
        m_sink(line.text, line.colour);
    m_early.clear();
}

void RemoteControl::log(std::string_view line, uint32_t colour) {
    if (m_sink)
        m_sink(line, colour);
    else if (m_early.size() < 100)
        m_early.push_back({std::string(line), colour});
}

void RemoteControl::createPipeServers() {
    m_pipeFolder = m_options.pipeFolder.empty() ? pipeDirectory() : m_options.pipeFolder;
    m_pipesWanted[0] = m_pipesWanted[1] = true;
    tryCreatePipes();
}

void RemoteControl::tryCreatePipes() {
    std::string problem = preparePipeFolder(m_pipeFolder);
    PipeServer* pipes[2] = {&m_framePipe, &m_systemPipe};
    for (int i = 0; i < 2; ++i) {
        PipeServer& pipe = *pipes[i];
        if (!m_pipesWanted[i] || pipe.created())
            continue;
        std::string error = problem;
        if (error.empty() && pipe.create(m_pipeFolder, &error)) {
            if (m_pipeFailureLogged[i])
                log(fillIn(translate("Pipes", "pipe %1 ready at %2"), {pipe.name(), pipe.path()}),
                    kLogTeal);
            m_pipeFailureLogged[i] = false;
            continue;
        }
        if (!m_pipeFailureLogged[i])
            log(fillIn(translate("Pipes", "pipe %1 cannot listen: %2; trying again every second"),
                       {pipe.name(), error}),
                kLogDarkRed);
        m_pipeFailureLogged[i] = true;
    }
}

void RemoteControl::closeFramePipe() {
    m_pipesWanted[0] = false;
    m_framePipe.close();
}

int RemoteControl::startIpServer() {
    std::string error;
    int rc = m_devices.start(&error);
    if (rc != 0)
        log(fillIn(translate("IpDevices", "ip ovi server cannot listen on port %1: %2"),
                   {std::to_string(m_options.devices.port), error}),
            kLogDarkRed);
    for (const LogLine& line : m_devices.takeLog())
        log(line.text, line.colour);
    return rc;
}

void RemoteControl::serviceIpDevices() {
    m_devices.keepAlive();
}

void RemoteControl::stopIpServer() {
    m_devices.stop();
}

void RemoteControl::logNotSent(std::string_view text, std::string_view reason) {
    log(fillIn(translate("IpDevices", "[%1] not sent: %2"),
               {printableText(text, kShownTextChars), reason}),
        kLogDarkRed);
}

bool RemoteControl::openIpLink() {
    std::string error;
    if (m_link.open(m_options.linkHost, m_options.linkPort, &error) != 0) {
        log(fillIn(translate("IpLink", "ip link cannot connect to %1 port %2: %3"),
                   {m_options.linkHost, std::to_string(m_options.linkPort), error}),
            kLogDarkRed);
        return false;
    }
    if (m_options.currentColour)
        m_link.setCurrentColour(m_options.currentColour());
    const std::string port = std::to_string(m_options.linkPort);
    if (m_link.reply().empty())
        log(fillIn(translate("IpLink", "ip link connected to %1 port %2, no answer yet"),
                   {m_options.linkHost, port}),
            kLogTeal);
    else
        log(fillIn(translate("IpLink", "ip link connected to %1 port %2"),
                   {m_options.linkHost, port}),
            kLogTeal);
    return true;
}

void RemoteControl::closeIpLink() {
    bool was = m_link.connected();
    m_link.close();
    if (was)
        log(fillIn(translate("IpLink", "ip link to %1 closed"), {m_options.linkHost}), kLogTeal);
}

void RemoteControl::poll(Milliseconds now) {
    for (const LogLine& line : m_devices.takeLog())
        log(line.text, line.colour);
    if (pipesMissing() && now >= m_nextPipeTry) {
        m_nextPipeTry = now + kPipeRetry;
        tryCreatePipes();
    }
    logPipeEvents(m_framePipe, m_frameSeen);
    logPipeEvents(m_systemPipe, m_systemSeen);
    moveHeads();
    logSystemPipeTrouble(now);
    if (m_link.takeLost())
        log(fillIn(translate("IpLink",
                             "ip link to %1 lost: the host ended the connection or does not "
                             "answer"),
                   {m_options.linkHost}),
            kLogDarkRed);
    if (m_options.currentColour && m_link.connected())
        m_link.setCurrentColour(m_options.currentColour());
}

bool RemoteControl::busy() const {
    return pipesMissing() || troubleUnlogged();
}

bool RemoteControl::pipesMissing() const {
    return (m_pipesWanted[0] && !m_framePipe.created()) ||
           (m_pipesWanted[1] && !m_systemPipe.created());
}

bool RemoteControl::troubleUnlogged() const {
    return m_systemReader.unknownCodes() != m_unknownSeen || m_headQueue.lost() != m_lostSeen;
}

void RemoteControl::logPipeEvents(PipeServer& pipe, uint32_t (&seen)[3]) {
    const uint32_t now[3] = {pipe.connects(), pipe.departures(), pipe.refused()};
    const std::string& name = pipe.name();
    if (uint32_t n = now[0] - seen[0])
        log(fillIn(translate("Pipes", "pipe %1: client connected%2"), {name, times(n)}), kLogTeal);
    if (uint32_t n = now[1] - seen[1])
        log(fillIn(translate("Pipes", "pipe %1: client left%2"), {name, times(n)}), kLogTeal);
    if (uint32_t n = now[2] - seen[2])
        log(fillIn(translate("Pipes", "pipe %1: %2 more client(s) refused, one is connected"),
                   {name, std::to_string(n)}),
            kLogDarkRed);
    std::copy(now, now + 3, seen);
}

void RemoteControl::moveHeads() {
    while (std::optional<HeadCommand> command = m_headQueue.pop()) {
        if (m_mover) {
            m_mover->moveHead(*command);
            continue;
        }
        if (!m_noMoverLogged)
            log(fillIn(translate("Pipes", "pipe %1: no moving-head windows, head commands ignored"),
                       {kSystemPipeName}),
                kLogDarkRed);
        m_noMoverLogged = true;
    }
}

void RemoteControl::logSystemPipeTrouble(Milliseconds now) {
    if (now < m_nextTroubleLog || !troubleUnlogged())
        return;
    uint32_t unknown = m_systemReader.unknownCodes();
    uint32_t lost = m_headQueue.lost();
    m_nextTroubleLog = now + kTroubleLog;
    if (unknown != m_unknownSeen)
        log(fillIn(translate("Pipes", "pipe %1: %2 unknown command code(s) skipped"),
                   {kSystemPipeName, std::to_string(unknown - m_unknownSeen)}),
            kLogDarkRed);
    if (lost != m_lostSeen)
        log(fillIn(
                translate("Pipes", "pipe %1: %2 head command(s) lost, the windows did not keep up"),
                {kSystemPipeName, std::to_string(lost - m_lostSeen)}),
            kLogDarkRed);
    m_unknownSeen = unknown;
    m_lostSeen = lost;
}

} // namespace orvane
