#include "dmx/dmxoutput.h"

#include "dmx/olaclient.h"
#include "dmx/serialline.h"
#include "show/language.h"
#include "show/textutil.h"

#include <cstring>

namespace orvane {

DmxOutput::DmxOutput(DmxLine& line, DmxOutputOptions options)
    : m_line(line), m_options(std::move(options)), m_serial(line), m_ola(m_options.ola),
      m_tick(m_shared, m_options.hooks),
      m_recorder(m_shared.recordRing, m_shared.record, m_shared.recordFailed) {
    m_serialRoute = m_shared.routes.add(kComposedUniverse, m_serial);
    m_olaRoute = m_shared.routes.add(kComposedUniverse, m_ola);
}

DmxOutput::~DmxOutput() {
    stopTick();
    m_recorder.stop();
}

int DmxOutput::start() {
    m_choice = readOutputChoice();
    readFrameTiming();
    bool ola = m_choice.ola && startOla();
    if (!ola)
        m_ola.pause();
    int serial = m_choice.serial ? openLine() : leaveLineOut();
    bool olaTicking = ola && startTickOnce();
    m_shared.routes.setEnabled(m_olaRoute, olaTicking);
    if (m_choice.serial && serial != 0) {
        if (m_options.message) {
            m_options.message(
                "", m_openError
                        ? fillIn(translate("DMX output", kComPortFailureText),
                                 {m_device, std::strerror(m_openError)})
                        : fillIn(translate("DMX output", kComPortFailureNoReasonText), {m_device}));
        }
        return -1;
    }
    return m_choice.serial || olaTicking ? 0 : -1;
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
    m_shared.routes.setEnabled(m_serialRoute, result == 0);
    m_shared.portState.store(result);
    if (result != 0)
        return -1;
    m_line.clearRts();
    return 0;
}

// OLA alone: no serial line is opened, and none is reported as failed.
int DmxOutput::leaveLineOut() {
    m_shared.routes.setEnabled(m_serialRoute, false);
    m_shared.portState.store(-1);
    m_openError = 0;
    return -1;
}

OutputChoice DmxOutput::readOutputChoice() {
    auto read = [](const std::function<std::string()>& setting) {
        return setting ? setting() : std::string();
    };
    std::string problem;
    OutputChoice choice =
        chooseOutputs(read(m_options.outputSetting), read(m_options.olaUniverseSetting), &problem);
    if (!problem.empty() && m_options.message)
        m_options.message("", problem);
    return choice;
}

void DmxOutput::readFrameTiming() {
    auto read = [](const std::function<std::string()>& setting) {
        return setting ? setting() : std::string();
    };
    std::string problem;
    FrameTiming timing =
        chooseFrameTiming(read(m_options.frameRateSetting), read(m_options.breakSetting), &problem);
    if (!problem.empty() && m_options.message)
        m_options.message("", problem);
    // Unchanged, the running schedule goes on undisturbed.
    if (timing != m_timing) {
        m_timing = timing;
        m_shared.timing.set(timing);
    }
}

// Built without OLA, its module missing or broken, or no sender thread.
std::string DmxOutput::startFailureText(OlaSink::StartResult result) {
    if (result != OlaSink::StartResult::NoClient)
        return translate("DMX output", kOlaNoThreadText);
    std::string module = olaLoadError();
    if (!olaBuiltIn() || module.empty())
        return translate("DMX output", kOlaMissingText);
    return fillIn(translate("DMX output", kOlaModuleFailedText), {module});
}

bool DmxOutput::startOla() {
    OlaSink::StartResult result = m_ola.start(m_choice.olaUniverse);
    if (result != OlaSink::StartResult::Started && m_options.message)
        m_options.message("", startFailureText(result));
    return result == OlaSink::StartResult::Started;
}

// Without an output thread no DMX can go out: the start fails as a failed open.
int DmxOutput::closeAfterFailedStart() {
    m_line.close();
    return -1;
}

bool DmxOutput::startTickOnce() {
    if (m_tickStarted)
        return true;
    if (m_options.runThread &&
        !m_thread.start(m_shared, m_tick, m_options.trace, m_options.realtime))
        return false;
    m_tickStarted = true;
    return true;
}

int DmxOutput::reset() {
    closeLine();
    return start();
}

int DmxOutput::reopen() {
    if (!m_choice.serial)
        return -1;
    m_line.close();
    return openLine();
}

void DmxOutput::closeLine() {
    m_shared.routes.setEnabled(m_serialRoute, false);
    m_shared.portState.store(-1);
    m_line.close();
}

void DmxOutput::stopTick() {
    m_thread.stop();
}

void DmxOutput::runSteps(uint8_t steps, Nanoseconds now) {
    if (m_options.runThread || !m_tickStarted)
        return;
    m_tick.runSteps(steps, now);
    m_recorder.drain();
}

bool DmxOutput::startRecording(const std::string& path) {
    int fd = openForRecording(path);
    if (fd < 0)
        return false;
    m_recordingPath = path;
    m_shared.record.offer(fd);
    // Without its thread the records would wait unwritten: the recording
    // cannot go on.
    if (m_options.runThread && !m_recorder.wake()) {
        m_shared.record.requestStop();
        return false;
    }
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

std::optional<std::string> DmxOutput::pollRecordingReport() {
    std::optional<RecordingReport> report = m_recorder.takeReport();
    if (!report)
        return std::nullopt;
    return recordingReportText(m_recordingPath, *report);
}

std::optional<std::string> DmxOutput::pollStatus() {
    std::optional<Status> status = m_shared.status.take();
    if (!status)
        return std::nullopt;
    return statusText(*status);
}

} // namespace orvane
