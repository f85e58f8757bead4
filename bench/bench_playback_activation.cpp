// Step activation and the work extra commands leave for the main timer:
// an activation with a plain extra text, LOAD= of a full 128-record effect
// file, one effect-playback tick with its blend, one matrix tick.

#include "benchutil.h"
#include "console/console.h"
#include "console/showsession.h"
#include "playback/activation.h"
#include "show/inifile.h"
#include "support/tempdir.h"

#include <QImage>

#include <cstdlib>
#include <string>

using namespace orvane;

namespace {

void addControls(ControlModel& controls) {
    controls.add(console::kMaster, ControlKind::Slider);
    controls.setRange(console::kMaster, 0, 255);
    for (int id : console::kFaders) {
        controls.add(id, ControlKind::Slider);
        controls.setRange(id, 0, 255);
    }
}

void writeEffect(ShowStore& store, const std::string& path, int records) {
    store.profiles().beginBatch();
    store.WriteStoreValue("effect", "len", std::to_string(records), path);
    for (int i = 0; i < records; ++i) {
        StepRecord r;
        r.fader[0] = i;
        r.fadet = 0.5;
        store.SaveStep(kEffectFirstSection + i, r, path);
    }
    store.profiles().endBatch();
}

void report(const char* name, const std::vector<double>& us) {
    bench::figure((std::string(name) + "_p50").c_str(), bench::percentile(us, 50), "us");
    bench::figure((std::string(name) + "_p99").c_str(), bench::percentile(us, 99), "us");
}

} // namespace

int main() {
    test::TempDir root, config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ProfileFiles profiles;
    ControlModel controls;
    addControls(controls);
    ShowSession session(profiles, controls);
    session.open(root.path(), "show");
    Activation activation(session, controls, {}, {}, 1);

    StepRecord step;
    step.extra = "MISC1=ON\\nRANDOM=1,2,3,min=10,max=200\\nSOUNDACTIVE=4,5";
    for (int s = 0; s < 10; ++s)
        session.store().SaveStep(s, step);
    int n = 0;
    report("activation_plain_extra", bench::sample(200, [&] {
               controls.setText(console::kStepNumber, std::to_string(n++ % 10));
               activation.activate();
           }));

    std::string effect = root.file("big.efe");
    writeEffect(session.store(), effect, kEffectMaxRecords);
    ExtraCommands& extra = activation.extraCommands();
    extra.setRoot(root.path());
    report("load_128_record_effect",
           bench::sample(20, [&] { extra.run("LOAD=FADE,big.efe", 0ms); }));

    Milliseconds now = 0ms;
    report("effect_tick_blend",
           bench::sample(2000, [&] { activation.effects().tickEffect(now += 20ms); }));

    QImage picture(256, 256, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.save(QString::fromStdString(root.file("m.bmp")), "BMP");
    extra.run("MATRIX=m.bmp,1.5,0.5", 0ms);
    report("matrix_tick", bench::sample(2000, [&] { activation.effects().tickMatrix(); }));
    unsetenv("XDG_CONFIG_HOME");
    return 0;
}
