#include "dmx/dmxoutput.h"

#include "dmx/serialline.h"

namespace orvane {

DmxOutput::DmxOutput(DmxLine& line, DmxOutputOptions options)
    : m_line(line), m_options(std::move(options)), m_tick(line, m_shared, m_options.hooks) {}

DmxOutput::~DmxOutput() {
    stopTick();
}

int DmxOutput::start() {
    LineSettings settings;
    settings.device = dmxDevicePath(m_options.dmxPortSetting ? m_options.dmxPortSetting() : "");
    int result = m_line.open(settings);
    if (result == 0) {
        m_line.setDmxBaud();
        if (startTickOnce())
            m_shared.lineGeneration.fetch_add(1);
        else
            result = closeAfterFailedStart();
    }
    m_shared.portState.store(result);
    if (result != 0) {
        if (m_options.message)
            m_options.message("", kComPortFailureText);
        return -1;
    }
    m_line.clearRts();
    return 0;
}

// Without an output thread no DMX can go out: the start fails as a failed open.
int DmxOutput::closeAfterFailedStart() {
    m_line.close();
    return -1;
}

bool DmxOutput::startTickOnce() {
    if (m_tickStarted)
        return true;
    if (m_options.runThread && !m_thread.start(m_tick, m_options.trace, m_options.realtime))
        return false;
    m_tickStarted = true;
    return true;
}

int DmxOutput::reset() {
    m_line.close();
    return start();
}

void DmxOutput::closeLine() {
    m_line.close();
}

void DmxOutput::stopTick() {
    m_thread.stop();
}

void DmxOutput::runTick(int64_t nowMs) {
    if (!m_options.runThread && m_tickStarted)
        m_tick.run(nowMs);
}

bool DmxOutput::startRecording(const std::string& path) {
    int fd = openForRecording(path);
    if (fd < 0)
        return false;
    m_shared.record.offer(fd);
    return true;
}

bool DmxOutput::startReplay(const std::string& path) {
    int fd = openForReplay(path);
    if (fd < 0)
        return false;
    m_shared.replay.offer(fd);
    return true;
}

uint8_t DmxOutput::startCodeUp() {
    return uint8_t(m_shared.startCode.fetch_add(1) + 1);
}

uint8_t DmxOutput::startCodeDown() {
    return uint8_t(m_shared.startCode.fetch_sub(1) - 1);
}

std::optional<std::string> DmxOutput::pollStatus() {
    std::optional<Status> status = m_shared.status.take();
    if (!status)
        return std::nullopt;
    return statusText(*status);
}

} // namespace orvane
