// The extra-command language of a step, run against the main window's real
// control table with stand-in services (nothing is started, nothing sent),
// then the work it leaves for the main timer's ticks.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "fuzzsupport.h"
#include "playback/extracommands.h"
#include "playback/stepeffects.h"
#include "programs/processstart.h"
#include "show/effectfile.h"

#include <cstdint>

using namespace orvane;

namespace {

struct NoProcesses : ProcessStarter {
    bool startDetached(const std::vector<std::string>&) override { return true; }
};
struct NoDevices : IpDevices {
    void sendToDevices(int, std::string_view text) override {
        fuzz::require(text.size() >= kVedaCharacters, "a VEDA= message has 20 characters");
    }
};
struct NoLink : IpLink {
    bool connected() const override { return true; }
    void send(std::string_view) override {}
    void setColourReport(bool) override {}
};

struct World {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    NoProcesses processes;
    NoDevices devices;
    NoLink link;
    StepEffects effects{session.console(), controls, 1};
    ExtraCommands extra{controls, session.store(), effects, services()};

    World() {
        populateConsole(controls);
        session.open(fuzz::scratch(), "show");
        extra.setRoot(fuzz::scratch());
        // An effect of two records for LOAD= to find.
        ShowStore& store = session.store();
        std::string effect = fuzz::scratch() + "/E.EFE";
        store.WriteStoreValue("effect", "len", "2", effect);
        StepRecord r;
        r.master = 200;
        r.fadet = 0.05;
        store.SaveStep(kEffectFirstSection, r, effect);
        store.SaveStep(kEffectFirstSection + 1, StepRecord{}, effect);
    }
    ExtraServices services() {
        ExtraServices s;
        s.processes = &processes;
        s.ipDevices = &devices;
        s.ipLink = &link;
        s.startReplay = [](const std::string&) { return true; };
        s.beforeChain = [](const std::string&) { return true; };
        s.closeLine = [] {};
        s.endMainWindow = [](int) {};
        s.executable = [] { return std::string("/nonexistent/orvane"); };
        return s;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World* world = new World;
    std::string text(reinterpret_cast<const char*>(data), size);
    world->effects.reset();
    world->extra.run(text, 0);
    for (int tick = 1; tick <= 4; ++tick) {
        world->effects.tickEffect(tick * 20);
        world->effects.tickSoundActive(30000, 30000);
        world->effects.tickMatrix();
        world->effects.tickRandom();
    }
    return 0;
}
