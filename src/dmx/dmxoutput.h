#pragma once
// DMX output as the main window drives it: start and reset of the outputs (the
// serial line, OLA) and of their frame timing, the output thread, recording
// (through the recording writer's thread) and replay of "dmxraw.bin", the
// start code, "All dmx to 0", the auto-fade-disable switch, the published
// output universe, the status line the tick reports and the outputs' figures.
//
// Threads: every member is for the user-interface thread, except keys(),
// autoFadeDisable() and the key feeding, which are safe from any thread. The
// output thread only ever sees the atomics of OutputShared.

#include "dmx/dmxline.h"
#include "dmx/frametiming.h"
#include "dmx/olasink.h"
#include "dmx/outputchoice.h"
#include "dmx/outputtick.h"
#include "dmx/recordingwriter.h"
#include "dmx/serialsink.h"

#include <QtGlobal>
#include <functional>
#include <optional>
#include <string>

namespace orvane {

// Shown through translate("DMX output", ...): %1 the device, %2 the system's
// reason (the second text when there is none).
constexpr const char* kComPortFailureText =
    QT_TRANSLATE_NOOP("DMX output", "Cannot open the DMX interface %1: %2");
constexpr const char* kComPortFailureNoReasonText =
    QT_TRANSLATE_NOOP("DMX output", "Cannot open the DMX interface %1");
constexpr const char* kOlaMissingText = QT_TRANSLATE_NOOP(
    "DMX output", "The setting output asks for OLA, but this orvane was built without OLA's "
                  "library (libola-dev): nothing is sent to OLA");
// %1: why the module could not be loaded.
constexpr const char* kOlaModuleFailedText = QT_TRANSLATE_NOOP(
    "DMX output", "The setting output asks for OLA, but OLA's support could not be loaded "
                  "(%1): nothing is sent to OLA");
constexpr const char* kOlaNoThreadText =
    QT_TRANSLATE_NOOP("DMX output", "OLA output could not start its sender thread");

struct DmxOutputOptions {
    // Operator messages. The COM port failure comes with an empty title: the
    // prompt shows it under the program's own caption.
    MessageFn message;
    // The profile setting "dmxport" (read at every start); $ORVANE_DMX_PORT wins.
    std::function<std::string()> dmxPortSetting;
    // The profile settings "output" and "olauniverse" (read at every start).
    std::function<std::string()> outputSetting;
    std::function<std::string()> olaUniverseSetting;
    // The profile settings "framerate" and "breakus" (read at every start).
    std::function<std::string()> frameRateSetting;
    std::function<std::string()> breakSetting;
    // How OLA is reached (tests put a client of their own here).
    OlaSinkOptions ola;
    TickHooks* hooks = nullptr;
    TickTrace* trace = nullptr;
    // False: no thread (neither the output thread nor the recording writer's);
    // the owner calls runTick() or runSteps() itself, and each writes the
    // records it made at once (tests).
    bool runThread = true;
    bool realtime = true;
};

class DmxOutput {
public:
    DmxOutput(DmxLine& line, DmxOutputOptions options);
    // Stops the output thread, writes what the recording writer still holds
    // and closes the record and replay files; the line is closed by
    // closeLine() or by its owner.
    ~DmxOutput();
    DmxOutput(const DmxOutput&) = delete;
    DmxOutput& operator=(const DmxOutput&) = delete;

    // Start DMX output: reads the output and frame timing settings (a setting
    // not understood, or a frame rate the line cannot carry, is said and its
    // default used; the output thread takes a new timing at its next
    // deadline), then for the serial line
    // opens it at 250000 8N2; on failure shows "Cannot open the DMX interface"
    // with the device and the system's reason, and returns -1 (the caller then
    // shows string 7). Otherwise forces the DMX baud, starts the tick unless it
    // runs already, clears RTS and returns 0. With OLA among the outputs the
    // tick runs for OLA even when the serial line failed; with OLA alone no
    // serial line is opened.
    int start();
    // "Reset USB <-> DMX": close the line, then start().
    int reset();
    // The serial line alone reopened, without a message: the automatic
    // reopening of an interface that went away. OLA is left as it is.
    int reopen();
    // Shutdown, or an interface that went away: the tick keeps running (for
    // OLA too) and no longer sends to the closed line.
    void closeLine();
    // The device of the last start (before any, the one it would open), and
    // why the last start failed (errno, 0 when it did not).
    std::string device() const;
    int openError() const { return m_openError; }
    // Ends the output thread (at most one 30 ms tick).
    void stopTick();
    bool tickRunning() const { return m_tickStarted; }
    // Whether the output thread got real-time priority.
    bool tickRealtime() const { return m_thread.realtime(); }

    // One usual tick on the caller's thread; only with runThread false, and
    // only once start() has succeeded (as the thread would).
    void runTick(int64_t nowMs) { runSteps(kStepServe | kStepLine, Milliseconds{nowMs}); }
    // The steps a FrameSchedule has due at now (a chosen frame rate), on the
    // same terms.
    void runSteps(uint8_t steps, Nanoseconds now);

    // The frame timing of the last start.
    const FrameTiming& frameTiming() const { return m_timing; }

    // "Play and record DMX": truncates path and records from the next tick.
    bool startRecording(const std::string& path);
    // "Play and replay DMX", "REPLAYDMX=": false (and nothing changes) when the
    // file cannot be opened.
    bool startReplay(const std::string& path);
    // "Stop": ends a recording (the tick clears the status line).
    void stopRecording() { m_shared.record.requestStop(); }
    void stopReplay() { m_shared.replay.requestStop(); }

    // "test1" / "test2": add or subtract 1, wrapping; the new start code.
    uint8_t startCodeUp();
    uint8_t startCodeDown();
    uint8_t startCode() const { return m_shared.startCode.load(); }

    // Check button "All dmx to 0".
    void setAllDmxToZero(bool on) { m_shared.allDmxToZero.store(on); }
    bool allDmxToZero() const { return m_shared.allDmxToZero.load(); }

    // Toggled by Scroll Lock in the tick; "Show Time !" clears it.
    bool autoFadeDisable() const { return m_shared.autoFadeDisable.load(); }
    void setAutoFadeDisable(bool on) { m_shared.autoFadeDisable.store(on); }

    // The composed output universe, for the next frame.
    void publish(const Universe& universe) { m_shared.output.publish(universe); }

    // The text for control 1392 when the tick posted one since the last poll.
    std::optional<std::string> pollStatus();
    // Once a recording that lost records or could not be written has ended:
    // what happened, with the file, for the status line and the log.
    std::optional<std::string> pollRecordingReport();

    // Fed by the application's event filter; read by the tick.
    KeyStates& keys() { return m_shared.keys; }

    int portState() const { return m_shared.portState.load(); }

    // The outputs the last start chose, and what each has done so far.
    const OutputChoice& outputs() const { return m_choice; }
    bool serialRunning() const { return m_shared.routes.enabled(m_serialRoute); }
    SinkReading serialReading(Nanoseconds now) const { return m_serial.stats().read(now); }
    const OlaSink& ola() const { return m_ola; }
    Milliseconds olaRetry() const { return m_options.ola.retry; }

private:
    int openLine();
    int leaveLineOut();
    bool startTickOnce();
    int closeAfterFailedStart();
    OutputChoice readOutputChoice();
    void readFrameTiming();
    bool startOla();
    static std::string startFailureText(OlaSink::StartResult result);

    DmxLine& m_line;
    DmxOutputOptions m_options;
    OutputShared m_shared;
    SerialSink m_serial;
    OlaSink m_ola;
    int m_serialRoute = -1;
    int m_olaRoute = -1;
    OutputChoice m_choice;
    FrameTiming m_timing;
    OutputTick m_tick;
    OutputThread m_thread;
    RecordingWriter m_recorder;
    std::string m_recordingPath;
    bool m_tickStarted = false;
    std::string m_device;
    int m_openError = 0;
};

} // namespace orvane
