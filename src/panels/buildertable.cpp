#include "panels/buildertable.h"

#include "panels/showbuilder.h"

namespace orvane::builder {

namespace {

using K = ControlKind;

constexpr int kIconX = 640;
constexpr int kIconPitch = 40;

constexpr int iconY(int row) {
    return 10 + kIconPitch * row;
}

// clang-format off
const ControlDef kControls[] = {
    {kNoId,         K::Label,  QT_TRANSLATE_NOOP("Builder", "Sounds"),           10,   6,   300, 20,  0},
    {kSoundList,    K::List,   "",                 10,   28,  300, 340, 0},
    {kSoundRefresh, K::Button, kRefreshText,       10,   374, 100, 26,  0},
    {kNoId,         K::Label,  QT_TRANSLATE_NOOP("Builder", "Effects"),         320,  6,   300, 20,  0},
    {kEffectList,   K::List,   "",                 320,  28,  300, 340, 0},
    {kEffectRefresh,K::Button, kRefreshText,       320,  374, 100, 26,  0},
    {kDropIcons[0].control, K::Custom, "", kIconX, iconY(0), 34, 34, kOwnerDrawn},
    {kDropIcons[1].control, K::Custom, "", kIconX, iconY(1), 34, 34, kOwnerDrawn},
    {kDropIcons[2].control, K::Custom, "", kIconX, iconY(2), 34, 34, kOwnerDrawn},
    {kDropIcons[3].control, K::Custom, "", kIconX, iconY(3), 34, 34, kOwnerDrawn},
    {kDropIcons[4].control, K::Custom, "", kIconX, iconY(4), 34, 34, kOwnerDrawn},
    {kDropIcons[5].control, K::Custom, "", kIconX, iconY(5), 34, 34, kOwnerDrawn},
    {kDropIcons[6].control, K::Custom, "", kIconX, iconY(6), 34, 34, kOwnerDrawn},
    {kDropIcons[7].control, K::Custom, "", kIconX, iconY(7), 34, 34, kOwnerDrawn},
    {kDropIcons[8].control, K::Custom, "", kIconX, iconY(8), 34, 34, kOwnerDrawn},
    {kNoId, K::Label, kDropIcons[0].label, 682, iconY(0), 250, 34, 0},
    {kNoId, K::Label, kDropIcons[1].label, 682, iconY(1), 250, 34, 0},
    {kNoId, K::Label, kDropIcons[2].label, 682, iconY(2), 230, 34, 0},
    {kDuration,     K::Edit,   "",                 915,  iconY(2) + 5, 60, 24, 0},
    {kNoId, K::Label, kDropIcons[3].label, 682, iconY(3), 250, 34, 0},
    {kNoId, K::Label, kDropIcons[4].label, 682, iconY(4), 290, 34, 0},
    {kNoId, K::Label, kDropIcons[5].label, 682, iconY(5), 250, 34, 0},
    {kNoId,         K::Label,  "1",                943,  iconY(5) + 8, 20, 18, kCentred},
    {kNoId,         K::Label,  "2",                978,  iconY(5) + 8, 20, 18, kCentred},
    {kLevel1,       K::Slider, "",                 940,  iconY(5) + 28, 26, 144, kVertical},
    {kLevel2,       K::Slider, "",                 975,  iconY(5) + 28, 26, 144, kVertical},
    {kNoId, K::Label, kDropIcons[6].label, 682, iconY(6), 250, 34, 0},
    {kNoId, K::Label, kDropIcons[7].label, 682, iconY(7), 250, 34, 0},
    {kNoId, K::Label, kDropIcons[8].label, 682, iconY(8), 250, 34, 0},
    {kLightOnly,    K::CheckBox, kLightOnlyText,   1060, 10,  210, 24,  0},
    {kPlay,         K::Custom, "",                 1060, 60,  34,  34,  kOwnerDrawn},
    {kStopFade,     K::Custom, "",                 1104, 60,  34,  34,  kOwnerDrawn},
    {kStop,         K::Custom, "",                 1148, 60,  34,  34,  kOwnerDrawn},
    {kSave,         K::Button, kSaveText,          1060, 374, 120, 26,  0},
    {kStrip,        K::Custom, "", kStripRect.x(), kStripRect.y(), kStripRect.width(),
                                   kStripRect.height(), kOwnerDrawn},
    {kScrollLeft,   K::Button, "<",                10,   665, 30,  26,  0},
    {kFirstStep,    K::Slider, "",                 45,   665, 860, 26,  0},
    {kScrollRight,  K::Button, ">",                910,  665, 30,  26,  0},
    {kNoId,         K::Label,  "Zoom",             960,  665, 50,  26,  0},
    {kZoom,         K::Slider, "",                 1010, 665, 260, 26,  0},
    {kFirstCaption + 0, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 1, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 2, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 3, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 4, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 5, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 6, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 7, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 8, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
    {kFirstCaption + 9, K::MultiLineEdit, "", 0, 0, 10, 10, kHidden},
};
// clang-format on

} // namespace

std::span<const ControlDef> builderControls() {
    return inLanguage("Builder", std::span<const ControlDef>(kControls), &ControlDef::caption);
}

} // namespace orvane::builder
