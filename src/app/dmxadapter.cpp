#include "app/dmxadapter.h"

#include "app/orvanedlg.h"
#include "console/controlids.h"
#include "show/textutil.h"

namespace orvane {

void bindDmxControls(COrvaneDlg& main, const std::string& recording) {
    ControlModel& controls = main.controls();
    DmxOutput& dmx = main.dmx();
    controls.on(ControlEvent::Clicked, console::kResetDmx, [&main] { main.resetDmx(); });
    controls.on(ControlEvent::Clicked, console::kAllDmxToZero,
                [&dmx] { dmx.setAllDmxToZero(!dmx.allDmxToZero()); });
    auto showStartCode = [&controls](uint8_t code) {
        controls.setText(console::kTest2, format("%u", unsigned(code)));
    };
    controls.on(ControlEvent::Clicked, console::kTest1,
                [&dmx, showStartCode] { showStartCode(dmx.startCodeUp()); });
    controls.on(ControlEvent::Clicked, console::kTest2,
                [&dmx, showStartCode] { showStartCode(dmx.startCodeDown()); });
    // They start the sound as "Play" does, then the recording or the replay.
    controls.on(ControlEvent::Clicked, console::kPlayRecord, [&main, recording] {
        main.sound().play();
        main.dmx().startRecording(recording);
    });
    controls.on(ControlEvent::Clicked, console::kPlayReplay, [&main, recording] {
        main.sound().play();
        main.dmx().startReplay(recording);
    });
}

} // namespace orvane
