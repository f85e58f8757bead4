#include "app/maintimeradapter.h"

#include "app/consoledrawing.h"
#include "app/orvanedlg.h"
#include "app/remoteservices.h"
#include "app/remotesurfaces.h"
#include "app/toolwindows.h"
#include "console/controlids.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <cstdlib>

namespace orvane {

namespace {

// The colour under the cursor while the operator holds the left button on the
// console's picture.
std::optional<uint32_t> pickedPixel(const COrvaneDlg& main) {
    QWidget* picture = main.widget(console::kPicture);
    if (!main.input().mouse(MouseButton::Left) || !picture || !main.isActiveWindow())
        return std::nullopt;
    QPoint at = QCursor::pos();
    if (!picture->rect().contains(picture->mapFromGlobal(at)))
        return std::nullopt;
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        return std::nullopt;
    QPoint local = at - screen->geometry().topLeft();
    QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull())
        return std::nullopt;
    QColor c = pixel.pixelColor(0, 0);
    return makeColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

// The sound's tick: its position, its end, and the sound-active faders that
// follow its level. True when the step must advance (the sound ended).
bool soundTick(COrvaneDlg& main) {
    SoundTick t = main.sound().tick();
    if (t.soundLevel) {
        const ControlModel& c = main.controls();
        main.activation().effects().tickSoundActive(c.pos(console::kMeterLeft),
                                                    c.pos(console::kMeterRight));
    }
    return t.advance;
}

bool showTimeVisible(const COrvaneDlg& main) {
    return main.tools() && main.tools()->showTimeVisible();
}

// Something outside the clock changes the output on its own: the clock must
// keep ticking.
bool busyOutside(COrvaneDlg& main) {
    return main.activation().effects().moving() || main.sound().deviceOpen() ||
           main.remote().remote().busy() || (main.surfaces() && main.surfaces()->busy()) ||
           main.joystickPresent() || showTimeVisible(main);
}

void publish(COrvaneDlg& main, const Universe& output) {
    main.dmx().publish(output);
    if (ConsoleDrawing* drawing = main.drawing())
        drawing->published();
}

} // namespace

MainTimerHooks mainTimerHooks(COrvaneDlg& main) {
    MainTimerHooks h;
    h.startDmx = [&main] { main.startDmx(); };
    h.ipService = [&main] { main.remote().remote().serviceIpDevices(); };
    h.autoFadeDisable = [&main] { return main.dmx().autoFadeDisable(); };
    h.shiftDown = [&main] { return main.dmx().keys().shift.down(); };
    h.random = [] { return uint32_t(std::rand()); };
    h.joystickPresent = [&main] { return main.joystickPresent(); };
    h.joystick = [&main] { return main.joystick() ? main.joystick()->position() : std::nullopt; };
    h.pickedPixel = [&main] { return pickedPixel(main); };
    h.showTimeVisible = [&main] { return showTimeVisible(main); };
    h.sound = [&main](Milliseconds) { return soundTick(main); };
    h.effectPlayback = [&main](Milliseconds at) { main.activation().effects().tickEffect(at); };
    h.pictureColour = [&main](Milliseconds) { main.activation().effects().tickMatrix(); };
    h.randomSliders = [&main] { main.activation().effects().tickRandom(); };
    h.volumes = [&main](const VolumeTick& v) {
        v.next ? main.sound().crossFadeVolume(*v.next) : main.sound().updateVolumes();
    };
    h.repaintSwatches = [&main] {
        if (ConsoleDrawing* drawing = main.drawing())
            drawing->repaintSwatches();
    };
    h.manualModeOpen = [&main] { return main.tools() && main.tools()->manualModeOpen(); };
    h.manualMerge = [&main](Universe& staging) { main.tools()->mergeManual(staging); };
    h.busy = [&main] { return busyOutside(main); };
    h.publish = [&main](const Universe& output) { publish(main, output); };
    return h;
}

} // namespace orvane
