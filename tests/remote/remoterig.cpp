#include "remoterig.h"

#include <algorithm>

namespace orvane::test {

namespace {

RemoteOptions withFolder(RemoteOptions options, const std::string& folder) {
    options.pipeFolder = folder;
    return options;
}

} // namespace

RemoteRig::RemoteRig(RemoteOptions options, std::string pipes)
    : folder(pipes.empty() ? dir.file("pipes") : pipes), remote(withFolder(options, folder)),
      outputTick(shared, &remote.tickHooks()) {
    remote.setLog([this](std::string_view text, uint32_t colour) {
        log.push_back({std::string(text), colour});
    });
    LineSettings settings;
    line.open(settings);
    line.clear();
    shared.portState.store(0);
    shared.routes.setEnabled(shared.routes.add(kComposedUniverse, sink), true);
    remote.setHeadMover(&mover);
    remote.createPipeServers();
}

void RemoteRig::tick(int count) {
    for (int i = 0; i < count; ++i) {
        outputTick.run(now);
        remote.poll(Milliseconds{now});
        now += kTickPeriodMs;
    }
}

std::vector<Universe> RemoteRig::frames() const {
    std::vector<Universe> out;
    for (const auto& f : line.frames()) {
        Universe u;
        std::copy(f.begin() + 1, f.end(), u.begin());
        out.push_back(u);
    }
    return out;
}

Universe RemoteRig::lastFrame() const {
    std::vector<Universe> all = frames();
    return all.empty() ? Universe{} : all.back();
}

bool RemoteRig::logHas(const std::string& text) const {
    return std::any_of(log.begin(), log.end(),
                       [&](const LogLine& l) { return l.text.find(text) != std::string::npos; });
}

std::vector<std::string> RemoteRig::logTexts() const {
    std::vector<std::string> out;
    for (const LogLine& l : log)
        out.push_back(l.text);
    return out;
}

} // namespace orvane::test
