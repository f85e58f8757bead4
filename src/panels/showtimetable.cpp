#include "panels/showtimetable.h"

#include "console/tabletext.h"
#include "panels/showtimepanel.h"

namespace orvane::showtime {

namespace {

constexpr const char* kHelpText = QT_TRANSLATE_NOOP(
    "ShowTime",
    "Page Up / Page Down control Master Volume (shift=slow control), Suppr mute, Space goto next "
    "step, plus and minus goto next or previous step, A-Z control lights (shift for blink)");

const ControlDef kControls[] = {
    {kStepShown, ControlKind::Label, "", 12, 8, 96, 60, kCentred},
    {kCaption, ControlKind::Label, "", 116, 6, 352, 38, kMultiline},
    {kNextCaption, ControlKind::Label, "", 116, 46, 352, 22, 0},
    {kNextStep, ControlKind::Button, QT_TRANSLATE_NOOP("ShowTime", "Next step"), 12, 76, 340, 126,
     0},
    {kFadeLine, ControlKind::Label, "", 12, 205, 340, 18, 0},
    {kFadeBar, ControlKind::Progress, "", 12, 226, 340, 12, 0},
    {kVolumeLeft, ControlKind::Slider, "", 376, 76, 36, 150, kVertical},
    {kVolumeRight, ControlKind::Slider, "", 424, 76, 36, 150, kVertical},
    {kVolumeCaption, ControlKind::Label, QT_TRANSLATE_NOOP("ShowTime", "Vol Master"), 364, 226, 108,
     18, kCentred},
    {kLocked, ControlKind::CheckBox, QT_TRANSLATE_NOOP("ShowTime", "locked"), 380, 248, 88, 24, 0},
    {kStop, ControlKind::Button, QT_TRANSLATE_NOOP("ShowTime", "Stop"), 12, 246, 110, 44, 0},
    {kPause, ControlKind::Button, QT_TRANSLATE_NOOP("ShowTime", "Pause"), 128, 246, 110, 44, 0},
    {kFullScreen, ControlKind::Button, QT_TRANSLATE_NOOP("ShowTime", "Fs"), 244, 246, 50, 44, 0},
    {kClose, ControlKind::Button, QT_TRANSLATE_NOOP("ShowTime", "Close"), 300, 246, 52, 44, 0},
    {kHelp, ControlKind::Label, kHelpText, 12, 298, 456, 56, kMultiline},
};

} // namespace

std::span<const ControlDef> showTimeControls() {
    return inLanguage("ShowTime", std::span<const ControlDef>(kControls), &ControlDef::caption);
}

} // namespace orvane::showtime
