#pragma once
// Fakes of the services extra commands reach, and a fixture with the main
// window's real control table, a show session on a temporary root and the
// extra-command runner.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "playback/extracommands.h"
#include "playback/stepeffects.h"
#include "programs/processstart.h"
#include "programs/windowlookup.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvane::test {

struct FakeProcesses : ProcessStarter {
    std::vector<std::vector<std::string>> started;
    bool startDetached(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return true;
    }
};

struct FakeDevices : IpDevices {
    std::vector<std::pair<int, std::string>> sent;
    void sendToDevices(int device, std::string_view text) override {
        sent.emplace_back(device, std::string(text));
    }
};

struct FakeLink : IpLink {
    bool isConnected = true;
    std::vector<std::string> sent;
    std::vector<bool> colourReport;
    bool connected() const override { return isConnected; }
    void send(std::string_view text) override { sent.emplace_back(text); }
    void setColourReport(bool on) override { colourReport.push_back(on); }
};

// Windows by title, each with the check state of its toggle.
struct FakeWindows : WindowLookup {
    std::map<std::string, bool> toggles;
    std::vector<std::string> pressed;
    std::vector<std::string> titles;
    std::optional<ForeignWindow> findTopLevel(std::string_view title) override {
        auto it = toggles.find(std::string(title));
        if (it == toggles.end())
            return std::nullopt;
        titles.push_back(it->first);
        return ForeignWindow{uint64_t(titles.size() - 1)};
    }
    bool isChecked(ForeignWindow w, int id) override {
        return id == 1001 && toggles[titles[w.handle]];
    }
    void pressSpace(ForeignWindow w, int id) override {
        if (id != 1001)
            return;
        pressed.push_back(titles[w.handle]);
        toggles[titles[w.handle]] = !toggles[titles[w.handle]];
    }
};

struct ExtraFixture : ::testing::Test {
    TempDir root;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    FakeProcesses processes;
    FakeDevices devices;
    FakeLink link;
    FakeWindows windows;
    std::vector<std::string> replays;
    std::vector<std::string> calls; // closeLine, end(<result>)
    StepEffects effects{session.console(), controls, 1234};
    ExtraCommands extra{controls, session.store(), effects, services()};

    ExtraFixture() {
        populateConsole(controls);
        session.open(root.path(), "show");
        extra.setRoot(root.path());
    }

    ExtraServices services() {
        ExtraServices s;
        s.processes = &processes;
        s.ipDevices = &devices;
        s.ipLink = &link;
        s.windows = &windows;
        s.startReplay = [this](const std::string& path) {
            replays.push_back(path);
            return true;
        };
        s.closeLine = [this] { calls.push_back("closeLine"); };
        s.endMainWindow = [this](int result) {
            calls.push_back("end(" + std::to_string(result) + ")");
        };
        s.executable = [] { return std::string("/opt/orvane/orvane"); };
        return s;
    }

    void run(std::string_view text, Milliseconds now = 0ms) { extra.run(text, now); }
    int faderPos(int fader) const { return controls.pos(levelFaderId(fader)); }
};

// Effect file helpers: records with a level on fader 1 and the master, and a
// duration.
struct EffectStep {
    int level = 0;
    double fadet = 0;
    int faderude = 0;
};

inline void writeEffect(ShowStore& store, const std::string& path,
                        const std::vector<EffectStep>& steps) {
    store.profiles().beginBatch();
    store.WriteStoreValue("effect", "len", std::to_string(steps.size()), path);
    for (size_t i = 0; i < steps.size(); ++i) {
        StepRecord r;
        r.master = steps[i].level;
        r.fader[0] = steps[i].level;
        r.fadet = steps[i].fadet;
        r.faderude = steps[i].faderude;
        store.SaveStep(123456 + int(i), r, path);
    }
    store.profiles().endBatch();
}

} // namespace orvane::test
