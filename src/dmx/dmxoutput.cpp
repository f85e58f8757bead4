#include "dmx/dmxoutput.h"

#include "dmx/serialline.h"

#include <cstring>

namespace orvane {

DmxOutput::DmxOutput(DmxLine& line, DmxOutputOptions options)
    : m_line(line), m_options(std::move(options)), m_tick(line, m_shared, m_options.hooks) {}

DmxOutput::~DmxOutput() {
    stopTick();
}

int DmxOutput::start() {
    if (openLine() == 0)
        return 0;
    if (m_options.message) {
        std::string text = std::string(kComPortFailureText) + "\n" + m_device;
        if (m_openError)
            text += std::string(": ") + std::strerror(m_openError);
        m_options.message("", text);
    }
    return -1;
}

std::string DmxOutput::device() const {
    if (!m_device.empty())
        return m_device;
    return dmxDevicePath(m_options.dmxPortSetting ? m_options.dmxPortSetting() : "");
}

int DmxOutput::openLine() {
    LineSettings settings;
    m_device.clear();
    settings.device = device();
    m_device = settings.device;
    int result = m_line.open(settings);
    m_openError = result == 0 ? 0 : m_line.openError();
    if (result == 0) {
        m_line.setDmxBaud();
        if (startTickOnce())
            m_shared.lineGeneration.fetch_add(1);
        else
            result = closeAfterFailedStart();
    }
    m_shared.portState.store(result);
    if (result != 0)
        return -1;
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

int DmxOutput::reopen() {
    m_line.close();
    return openLine();
}

void DmxOutput::closeLine() {
    m_shared.portState.store(-1);
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
