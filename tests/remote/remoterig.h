#pragma once
// The remote side as the main window wires it, on real sockets: the pipe
// servers polled by a real output tick on a recording line, the log collected,
// head commands recorded.

#include "dmx/outputtick.h"
#include "dmx/serialsink.h"
#include "remote/remotecontrol.h"
#include "support/recordingline.h"
#include "support/tempdir.h"

#include <string>
#include <vector>

namespace orvane::test {

struct RecordingMover : HeadMover {
    void moveHead(const HeadCommand& command) override { moved.push_back(command); }
    std::vector<HeadCommand> moved;
};

struct RemoteRig {
    explicit RemoteRig(RemoteOptions options = {}, std::string folder = {});

    std::string pipePath(const char* name) const { return folder + "/" + name; }
    // One output tick and the window's poll, `count` times, 30 ms apart.
    void tick(int count = 1);
    // The 512 channels of the frames the line got.
    std::vector<Universe> frames() const;
    Universe lastFrame() const;
    bool logHas(const std::string& text) const;
    std::vector<std::string> logTexts() const;

    TempDir dir;
    std::string folder;
    RemoteControl remote;
    OutputShared shared;
    RecordingLine line;
    SerialSink sink{line};
    OutputTick outputTick;
    RecordingMover mover;
    std::vector<LogLine> log;
    int64_t now = 1000000;
};

} // namespace orvane::test
