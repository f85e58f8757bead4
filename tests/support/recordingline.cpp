#include "support/recordingline.h"

namespace orvane::test {

int RecordingLine::open(const LineSettings& settings) {
    close();
    record(Op::Open);
    opened.push_back(settings);
    isOpen = openResult == 0;
    return openResult;
}

void RecordingLine::close() {
    if (!isOpen)
        return;
    record(Op::Close);
    isOpen = false;
}

int RecordingLine::lineOp(Op op) {
    record(op);
    return isOpen ? 0 : -1;
}

int RecordingLine::writeFrame(std::span<const uint8_t> bytes) {
    events.push_back({Op::Write, {bytes.begin(), bytes.end()}});
    return isOpen ? static_cast<int>(bytes.size()) : -1;
}

std::vector<RecordingLine::Op> RecordingLine::ops() const {
    std::vector<Op> out;
    for (const Event& e : events)
        out.push_back(e.op);
    return out;
}

std::vector<std::vector<uint8_t>> RecordingLine::frames() const {
    std::vector<std::vector<uint8_t>> out;
    for (const Event& e : events)
        if (e.op == Op::Write)
            out.push_back(e.bytes);
    return out;
}

} // namespace orvane::test
