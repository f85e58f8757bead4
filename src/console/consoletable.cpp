#include "console/consoletable.h"

#include "console/tabletext.h"
#include "show/patch.h"

#include <array>
#include <vector>

namespace orvane {

namespace {

constexpr auto Label = ControlKind::Label;
constexpr auto Button = ControlKind::Button;
constexpr auto Check = ControlKind::CheckBox;
constexpr auto Slider = ControlKind::Slider;
constexpr auto Edit = ControlKind::Edit;
constexpr auto Text = ControlKind::MultiLineEdit;
constexpr auto Spin = ControlKind::Spin;
constexpr auto Bar = ControlKind::Progress;
constexpr auto HotKey = ControlKind::HotKey;
constexpr auto List = ControlKind::List;
constexpr auto Combo = ControlKind::ComboBox;
constexpr auto Group = ControlKind::GroupBox;
constexpr auto Colour = ControlKind::ColourButton;
constexpr auto Custom = ControlKind::Custom;
constexpr auto Log = ControlKind::RichLog;

constexpr uint32_t kFader = kVertical | kInverted;
constexpr uint32_t kDrawn = kOwnerDrawn;
constexpr uint32_t kCentre = kCentred;
constexpr uint32_t kNext = kHidden;                    // a control of the hidden next-step panel
constexpr uint32_t kNameBox = kMultiline | kLargeFont; // the step name
constexpr uint32_t kNextFader = kFader | kNext;
constexpr uint32_t kNextDrawn = kDrawn | kNext;

// clang-format off
constexpr ControlDef kTop[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {1392,   Label,  "",                                      8,   6, 1884,  20, 0},

    // Fader bank: master, level faders 1-28 with their key letters, fade.
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Faders"),  8,  30, 1128, 296, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Room light"), 238,  46,  100,  16, kCentre},
    {1005,   Slider, "",                                     18,  84,   28, 200, kFader},
    {kNoId,  Label,  "Master",                               10, 288,   44,  16, kCentre},
    {kNoId,  Label,  "1A",                                   55,  66,   34,  16, kCentre},
    {1025,   Slider, "",                                     58,  84,   28, 200, kFader},
    {kNoId,  Label,  "2Z",                                   91,  66,   34,  16, kCentre},
    {1026,   Slider, "",                                     94,  84,   28, 200, kFader},
    {kNoId,  Label,  "3E",                                  127,  66,   34,  16, kCentre},
    {1027,   Slider, "",                                    130,  84,   28, 200, kFader},
    {kNoId,  Label,  "4R",                                  163,  66,   34,  16, kCentre},
    {1028,   Slider, "",                                    166,  84,   28, 200, kFader},
    {kNoId,  Label,  "5T",                                  199,  66,   34,  16, kCentre},
    {1029,   Slider, "",                                    202,  84,   28, 200, kFader},
    {kNoId,  Label,  "6Y",                                  235,  66,   34,  16, kCentre},
    {1030,   Slider, "",                                    238,  84,   28, 200, kFader},
    {kNoId,  Label,  "7Q",                                  271,  66,   34,  16, kCentre},
    {1031,   Slider, "",                                    274,  84,   28, 200, kFader},
    {kNoId,  Label,  "8S",                                  307,  66,   34,  16, kCentre},
    {1032,   Slider, "",                                    310,  84,   28, 200, kFader},
    {kNoId,  Label,  "9D",                                  343,  66,   34,  16, kCentre},
    {1033,   Slider, "",                                    346,  84,   28, 200, kFader},
    {kNoId,  Label,  "10F",                                 379,  66,   34,  16, kCentre},
    {1034,   Slider, "",                                    382,  84,   28, 200, kFader},
    {kNoId,  Label,  "11G",                                 415,  66,   34,  16, kCentre},
    {1035,   Slider, "",                                    418,  84,   28, 200, kFader},
    {kNoId,  Label,  "12H",                                 451,  66,   34,  16, kCentre},
    {1036,   Slider, "",                                    454,  84,   28, 200, kFader},
    {kNoId,  Label,  "13W",                                 487,  66,   34,  16, kCentre},
    {1037,   Slider, "",                                    490,  84,   28, 200, kFader},
    {kNoId,  Label,  "14X",                                 523,  66,   34,  16, kCentre},
    {1038,   Slider, "",                                    526,  84,   28, 200, kFader},
    {kNoId,  Label,  "15C",                                 559,  66,   34,  16, kCentre},
    {1039,   Slider, "",                                    562,  84,   28, 200, kFader},
    {kNoId,  Label,  "16V",                                 595,  66,   34,  16, kCentre},
    {1040,   Slider, "",                                    598,  84,   28, 200, kFader},
    {kNoId,  Label,  "17U",                                 631,  66,   34,  16, kCentre},
    {4080,   Slider, "",                                    634,  84,   28, 200, kFader},
    {kNoId,  Label,  "18I",                                 667,  66,   34,  16, kCentre},
    {1122,   Slider, "",                                    670,  84,   28, 200, kFader},
    {kNoId,  Label,  "19J",                                 703,  66,   34,  16, kCentre},
    {1133,   Slider, "",                                    706,  84,   28, 200, kFader},
    {kNoId,  Label,  "20K",                                 739,  66,   34,  16, kCentre},
    {1136,   Slider, "",                                    742,  84,   28, 200, kFader},
    {kNoId,  Label,  "21B",                                 775,  66,   34,  16, kCentre},
    {1141,   Slider, "",                                    778,  84,   28, 200, kFader},
    {kNoId,  Label,  "22N",                                 811,  66,   34,  16, kCentre},
    {1148,   Slider, "",                                    814,  84,   28, 200, kFader},
    {kNoId,  Label,  "23O",                                 847,  66,   34,  16, kCentre},
    {1396,   Slider, "",                                    850,  84,   28, 200, kFader},
    {1056,   Slider, "",                                    886,  84,   28, 200, kFader},
    {5083,   Slider, "",                                    922,  84,   28, 200, kFader},
    {4087,   Slider, "",                                    958,  84,   28, 200, kFader},
    {1091,   Slider, "",                                    994,  84,   28, 200, kFader},
    {1094,   Slider, "",                                   1030,  84,   28, 200, kFader},
    {1009,   Slider, "",                                   1076,  84,   28, 200, kVertical},
    {4078,   Bar,    "",                                   1110,  84,   14, 200, kVertical},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Fade"), 1068, 288,   44,  16, kCentre},
    // Step colours 1-13: beside faders 17-23, colour 8 alone, beside faders 24-28.
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Current colour"), 466, 292,  100,  16, 0},
    {1125,   Colour, "",                                    570, 288,   40,  24, kDrawn},
    {2038,   Colour, "",                                    633, 288,   30,  24, kDrawn},
    {2001,   Colour, "",                                    669, 288,   30,  24, kDrawn},
    {2006,   Colour, "",                                    705, 288,   30,  24, kDrawn},
    {2007,   Colour, "",                                    741, 288,   30,  24, kDrawn},
    {2008,   Colour, "",                                    777, 288,   30,  24, kDrawn},
    {2009,   Colour, "",                                    813, 288,   30,  24, kDrawn},
    {2027,   Colour, "",                                    849, 288,   30,  24, kDrawn},
    {2028,   Colour, "",                                    885, 288,   30,  24, kDrawn},
    {2002,   Colour, "",                                    921, 288,   30,  24, kDrawn},
    {2003,   Colour, "",                                    957, 288,   30,  24, kDrawn},
    {2004,   Colour, "",                                    993, 288,   30,  24, kDrawn},
    {2005,   Colour, "",                                   1029, 288,   30,  24, kDrawn},
};

constexpr ControlDef kStep[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Step"),    8, 332,  560, 300, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Step number (+ and - for navigating)"), 18, 344,  172,  36, kMultiline},
    {1000,   Edit,   "",                                     18, 382,  150,  78, kHugeFont},
    {1001,   Spin,   "",                                    170, 382,   20,  78, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Step name"), 200, 360,  120,  16, 0},
    {1052,   Text,   "",                                    200, 378,  358,  82, kNameBox},
    {1002,   Label,  "",                                     18, 462,  540,  18, 0},
    {1059,   Check,  QT_TRANSLATE_NOOP("Console", "To 100%"), 18, 484,   80,  22, 0},
    {1058,   Edit,   "",                                    100, 484,   56,  22, 0},
    {1062,   Bar,    "",                                    162, 488,  110,  14, 0},
    {1061,   Check,  QT_TRANSLATE_NOOP("Console", "To 0%"), 290, 484,   70,  22, 0},
    {1060,   Edit,   "",                                    362, 484,   56,  22, 0},
    {1063,   Bar,    "",                                    424, 488,  110,  14, 0},
    {1083,   Check,  QT_TRANSLATE_NOOP("Console", "Fade in\nALT+SPA"), 18, 514,   96,  48, kPushLike},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Fade time (s)"), 124, 516,   84,  20, 0},
    {1084,   Edit,   "",                                    210, 514,   56,  22, 0},
    {4084,   Check,  QT_TRANSLATE_NOOP("Console", "auto fade"), 280, 514,  100,  22, 0},
    {1101,   Check,  QT_TRANSLATE_NOOP("Console", "rude fade"), 386, 514,  100,  22, 0},
    {1088,   Check,  QT_TRANSLATE_NOOP("Console", "after fade goto :"), 124, 540,  140,  22, 0},
    {1092,   Edit,   "",                                    266, 540,   56,  22, 0},
    // Where a running fade leads: "fading to N caption".
    {4092,   Label,  "",                                    330, 540,  228,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Hot key"), 18, 572,   60,  20, 0},
    {4081,   HotKey, "",                                     80, 570,  160,  24, 0},
    {4079,   Button, QT_TRANSLATE_NOOP("Console", "Validate HK"), 246, 570,  110,  24, 0},
    {1042,   Button, QT_TRANSLATE_NOOP("Console", "Insert a step"), 18, 600,  170,  26, 0},
    {1043,   Button, QT_TRANSLATE_NOOP("Console", "Delete this step"), 194, 600,  170,  26, 0},
    {1126,   Button, QT_TRANSLATE_NOOP("Console", "Duplicate this step"), 370, 600,  188,  26, 0},

    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Extra"),   8, 638,  560, 146, 0},
    {1364,   Text,   "",                                     18, 656,  458, 120, kMultiline},
    {1295,   Button, QT_TRANSLATE_NOOP("Console", "Help"),  484, 656,   74,  26, 0},
};

constexpr ControlDef kSound[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Sound"), 576, 332,  560, 452, 0},
    {kNoId,  Label,  "Audio",                               586, 352,   44,  18, 0},
    {1349,   Button, QT_TRANSLATE_NOOP("Console", "Reload"), 632, 348,   80,  24, 0},
    {1003,   List,   "",                                    586, 376,  300, 220, 0},
    {1004,   Button, QT_TRANSLATE_NOOP("Console", "Play"),  896, 348,   74,  26, 0},
    {1041,   Check,  QT_TRANSLATE_NOOP("Console", "Pause"), 974, 348,   74,  26, kPushLike},
    {1006,   Button, QT_TRANSLATE_NOOP("Console", "Stop"), 1052, 348,   74,  26, 0},
    {1046,   Button, QT_TRANSLATE_NOOP("Console", "Play and record DMX"), 896, 378,  230,  26, 0},
    {1055,   Button, QT_TRANSLATE_NOOP("Console", "Play and replay DMX"), 896, 408,  230,  26, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Step vol"), 896, 440,   76,  16, 0},
    {1010,   Slider, "",                                    898, 458,   24, 110, kFader},
    {1011,   Slider, "",                                    924, 458,   24, 110, kFader},
    {1120,   Bar,    "",                                    952, 458,    8, 110, kVertical},
    {1121,   Bar,    "",                                    962, 458,    8, 110, kVertical},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Vol Master"), 976, 440,   80,  16, 0},
    {1397,   Slider, "",                                    980, 458,   24, 110, kFader},
    {1057,   Slider, "",                                   1006, 458,   24, 110, kFader},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Level"), 1062, 440,   60,  16, 0},
    {1267,   Bar,    "",                                   1068, 458,   12, 110, kVertical},
    {1272,   Bar,    "",                                   1084, 458,   12, 110, kVertical},
    {1114,   Check,  QT_TRANSLATE_NOOP("Console", "locked"), 896, 574,   76,  20, 0},
    {1117,   Check,  QT_TRANSLATE_NOOP("Console", "locked"), 978, 574,   76,  20, 0},
    {1115,   Check,  QT_TRANSLATE_NOOP("Console", "stepsound"), 896, 598,  110,  20, 0},
    {1112,   Slider, "",                                    586, 602,  300,  22, 0},
    {1049,   Bar,    "",                                    586, 626,  300,   8, 0},
    {1024,   Edit,   "",                                    586, 638,  300,  22, kReadOnly},
    {1104,   Check,  QT_TRANSLATE_NOOP("Console", "When activate this step play this sound:"), 586, 670,  290,  22, 0},
    {1110,   Edit,   "",                                    880, 670,  246,  22, 0},
    {1108,   Check,  QT_TRANSLATE_NOOP("Console", "When sound end, goto next step"), 586, 696,  290,  22, 0},
    {1113,   Check,  QT_TRANSLATE_NOOP("Console", "When activate this step toggle pause mode"), 586, 722,  330,  22, 0},
};

constexpr ControlDef kBottom[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Effects"), 8, 790, 1128,  60, 0},
    {1097,   Button, QT_TRANSLATE_NOOP("Console", "Save effect"), 18, 812,  110,  28, 0},
    {1099,   Button, QT_TRANSLATE_NOOP("Console", "Load effect"), 134, 812,  110,  28, 0},
    {1119,   Button, QT_TRANSLATE_NOOP("Console", "Load only light"), 250, 812,  130,  28, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Predefined light effect (none if void)"), 396, 817,  250,  18, 0},
    {1340,   Combo,  "",                                    650, 812,  300,  28, 0},
    {1379,   Button, QT_TRANSLATE_NOOP("Console", "refresh"), 958, 812,   80,  28, 0},
    {1375,   Button, QT_TRANSLATE_NOOP("Console", "reload"), 1044, 812,   80,  28, 0},

    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "DMX monitor"), 8, 856, 1128, 140, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "First channel"), 18, 878,   90,  20, 0},
    {1426,   Edit,   "",                                    110, 876,   60,  22, 0},
    {1051,   Custom, "",                                     18, 906, 1110,  80, kDrawn},
};

constexpr ControlDef kRight[] = {
    // id    kind    caption                                  x    y     w    h  flags
    // Room plan: fixture check boxes and swatches are appended from the patch table.
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Room plan"), 1144,  30,  748, 440, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Select:"), 1478, 198,   50,  18, 0},
    {1416,   Check,  QT_TRANSLATE_NOOP("Console", "All rgb room"), 1536, 196,  114,  22, 0},
    {1435,   Check,  QT_TRANSLATE_NOOP("Console", "All rgb back"), 1652, 196,  114,  22, 0},
    {1456,   Check,  QT_TRANSLATE_NOOP("Console", "All fans"), 1768, 196,  114,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Show:"), 1478, 228,   50,  18, 0},
    {1299,   Check,  QT_TRANSLATE_NOOP("Console", "Lights"), 1536, 226,  114,  22, 0},
    {1300,   Check,  QT_TRANSLATE_NOOP("Console", "Fans"), 1652, 226,  114,  22, 0},
    {1301,   Check,  QT_TRANSLATE_NOOP("Console", "Smokes"), 1768, 226,  114,  22, 0},
    {1303,   Check,  QT_TRANSLATE_NOOP("Console", "Fogs/perfumes"), 1536, 250,  114,  22, 0},
    {1304,   Check,  QT_TRANSLATE_NOOP("Console", "Shutters"), 1652, 250,  114,  22, 0},
    {1305,   Check,  "UV",                                 1768, 250,  114,  22, 0},
    {1427,   Custom, "",                                   1478, 282,  404,  48, kDrawn},
    {kNoId,  Label,  "R",                                  1158, 344,   14,  20, 0},
    {1417,   Edit,   "",                                   1174, 342,   48,  22, 0},
    {kNoId,  Label,  "G",                                  1232, 344,   14,  20, 0},
    {1418,   Edit,   "",                                   1248, 342,   48,  22, 0},
    {kNoId,  Label,  "B",                                  1306, 344,   14,  20, 0},
    {1419,   Edit,   "",                                   1322, 342,   48,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Intensity"), 1158, 374,  100,  20, 0},
    {1420,   Edit,   "",                                   1262, 372,   48,  22, 0},
    {1422,   Slider, "",                                   1318, 372,  240,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Strobe / Fogfan"), 1158, 404,  100,  20, 0},
    {1421,   Edit,   "",                                   1262, 402,   48,  22, 0},
    {1423,   Slider, "",                                   1318, 402,  240,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "Speed"), 1158, 434,  100,  20, 0},
    {1425,   Edit,   "",                                   1262, 432,   48,  22, 0},
    {kNoId,  Label,  "Mode",                               1580, 344,   44,  20, 0},
    {1424,   Edit,   "",                                   1626, 342,   48,  22, 0},
    {kNoId,  Label,  QT_TRANSLATE_NOOP("Console", "0-50 regular\n51-100 Jump change\n101-150 Gradual change\n"
                     "151-200 Pulse change\n201-250 Auto mode\n251-255 Sound mode"),
                                                       1684, 338,  196, 128, kMultiline},

    // Output switches and protections; test1/test2 set the DMX start code.
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Switches"), 1144, 476,  748, 150, 0},
    {1012,   Check,  QT_TRANSLATE_NOOP("Console", "Manu Shutter #1"), 1158, 496,  150,  22, 0},
    {1013,   Check,  QT_TRANSLATE_NOOP("Console", "Shutter #1"), 1158, 520,  150,  22, 0},
    {1014,   Check,  QT_TRANSLATE_NOOP("Console", "Manu Shutter #2"), 1158, 544,  150,  22, 0},
    {1015,   Check,  QT_TRANSLATE_NOOP("Console", "Shutter #2"), 1158, 568,  150,  22, 0},
    {1016,   Check,  "LEDS",                               1316, 496,  100,  22, 0},
    {1017,   Check,  "MISC2",                              1316, 520,  100,  22, 0},
    {1018,   Check,  "MISC3",                              1316, 544,  100,  22, 0},
    {1019,   Check,  "MISC4",                              1316, 568,  100,  22, 0},
    {1269,   Button, "test1",                              1316, 594,   48,  22, kHidden},
    {1270,   Button, "test2",                              1368, 594,   48,  22, kHidden},
    {1044,   Check,  "MH1",                                1424, 496,  130,  22, 0},
    {1308,   Check,  QT_TRANSLATE_NOOP("Console", "All dmx to 0"), 1424, 520,  130,  22, 0},
    {1285,   Check,  QT_TRANSLATE_NOOP("Console", "Use IP devices"), 1424, 544,  130,  22, 0},
    {1357,   Check,  "Joystick",                           1424, 568,  130,  22, 0},
    {1288,   Check,  QT_TRANSLATE_NOOP("Console", "Disable anti crazy moving heads"), 1560, 496,  320,  22, 0},
    {1291,   Check,  QT_TRANSLATE_NOOP("Console", "Disable anti moving heads false black"), 1560, 520,  320,  22, 0},
    {1293,   Check,  QT_TRANSLATE_NOOP("Console", "Disable smokes"), 1560, 544,  320,  22, 0},
    {1294,   Check,  QT_TRANSLATE_NOOP("Console", "Disable perfumes"), 1560, 568,  320,  22, 0},
    {1296,   Check,  QT_TRANSLATE_NOOP("Console", "Disable fans"), 1560, 592,  320,  22, 0},

    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Windows"), 1144, 632,  748, 126, 0},
    {1123,   Button, QT_TRANSLATE_NOOP("Console", "Show Time !"), 1158, 652,  120,  28, 0},
    {1275,   Button, QT_TRANSLATE_NOOP("Console", "Show Timeline"), 1284, 652,  120,  28, 0},
    {1310,   Button, QT_TRANSLATE_NOOP("Console", "Global Color"), 1410, 652,  110,  28, 0},
    {1355,   Button, QT_TRANSLATE_NOOP("Console", "Easy Show Builder"), 1526, 652,  140,  28, 0},
    {1279,   Button, QT_TRANSLATE_NOOP("Console", "Manual Mode and predefined"), 1672, 652,  210,  28, 0},
    {1333,   Button, QT_TRANSLATE_NOOP("Console", "Reset USB <-> DMX"), 1158, 686,  160,  28, 0},
    {4085,   Button, QT_TRANSLATE_NOOP("Console", "Save"), 1672, 686,  100,  28, 0},
    {4082,   Button, QT_TRANSLATE_NOOP("Console", "Quit"), 1782, 686,  100,  28, 0},

    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Stage"), 1144, 764,  372, 232, 0},
    {1346,   Custom, "",                                   1154, 784,  352, 202, kDrawn},
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Log"),  1524, 764,  368, 232, 0},
    {1309,   Log,    "",                                   1534, 784,  348, 202, kReadOnly},
};

// The DMX interface indicator beside "Reset USB <-> DMX": device, state and
// the time of its last change.
constexpr ControlDef kInterface[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {4090,   Label,  "",                                   1324, 684,  342,  34, kMultiline},
    // Which remote surfaces are on, and where ("OSC: 127.0.0.1:9000  Web: off"),
    // beside the head buttons.
    {4091,   Label,  "",                                   1560, 720,  322,  34, kMultiline},
};

// The next step's faders, colours and switches; hidden, kept where the stage
// preview and the log are.
constexpr ControlDef kNextStep[] = {
    // id    kind    caption                                  x    y     w    h  flags
    {kNoId,  Group,  QT_TRANSLATE_NOOP("Console", "Next step"), 1144, 730,  748, 266, kNext},
    {1007,   Slider, "",                                   1156, 752,   22, 140, kNextFader},
    {1047,   Slider, "",                                   1184, 752,   22, 140, kNextFader},
    {1067,   Slider, "",                                   1212, 752,   22, 140, kNextFader},
    {1069,   Slider, "",                                   1240, 752,   22, 140, kNextFader},
    {1070,   Slider, "",                                   1268, 752,   22, 140, kNextFader},
    {1071,   Slider, "",                                   1296, 752,   22, 140, kNextFader},
    {1072,   Slider, "",                                   1324, 752,   22, 140, kNextFader},
    {1073,   Slider, "",                                   1352, 752,   22, 140, kNextFader},
    {1074,   Slider, "",                                   1380, 752,   22, 140, kNextFader},
    {1075,   Slider, "",                                   1408, 752,   22, 140, kNextFader},
    {1076,   Slider, "",                                   1436, 752,   22, 140, kNextFader},
    {1077,   Slider, "",                                   1464, 752,   22, 140, kNextFader},
    {1078,   Slider, "",                                   1492, 752,   22, 140, kNextFader},
    {1079,   Slider, "",                                   1520, 752,   22, 140, kNextFader},
    {1080,   Slider, "",                                   1548, 752,   22, 140, kNextFader},
    {1081,   Slider, "",                                   1576, 752,   22, 140, kNextFader},
    {1082,   Slider, "",                                   1604, 752,   22, 140, kNextFader},
    {1118,   Slider, "",                                   1632, 752,   22, 140, kNextFader},
    {1127,   Slider, "",                                   1660, 752,   22, 140, kNextFader},
    {1153,   Slider, "",                                   1688, 752,   22, 140, kNextFader},
    {1157,   Slider, "",                                   1716, 752,   22, 140, kNextFader},
    {1261,   Slider, "",                                   1744, 752,   22, 140, kNextFader},
    {1265,   Slider, "",                                   1772, 752,   22, 140, kNextFader},
    {1314,   Slider, "",                                   1800, 752,   22, 140, kNextFader},
    {1321,   Slider, "",                                   1828, 752,   22, 140, kNextFader},
    {2000,   Colour, "",                                   1631, 898,   24,  22, kNextDrawn},
    {1129,   Colour, "",                                   1659, 898,   24,  22, kNextDrawn},
    {1155,   Colour, "",                                   1687, 898,   24,  22, kNextDrawn},
    {1159,   Colour, "",                                   1715, 898,   24,  22, kNextDrawn},
    {1263,   Colour, "",                                   1743, 898,   24,  22, kNextDrawn},
    {1268,   Colour, "",                                   1771, 898,   24,  22, kNextDrawn},
    {1325,   Colour, "",                                   1799, 898,   24,  22, kNextDrawn},
    {1131,   Colour, "",                                   1827, 898,   24,  22, kNextDrawn},
    {1132,   Colour, "",                                   1858, 898,   24,  22, kNextDrawn},
    {1020,   Check,  "leds",                               1156, 928,   64,  22, kNext},
    {1021,   Check,  "MI2",                                1226, 928,   64,  22, kNext},
    {1022,   Check,  "MI3",                                1296, 928,   64,  22, kNext},
    {1023,   Check,  "MI4",                                1366, 928,   64,  22, kNext},
};

// Room-plan place of each patch entry, in patch order. The ten room lamps sit at
// their plan positions (left wall, right wall, "0" in the middle at the front);
// back lights and the other room fixtures below them; fans, smokes, fogs,
// shutters and UV on the right half.
struct PlanSlot {
    int x, y, checkWidth;
};
constexpr std::array<PlanSlot, kEntryCount> kPlan = {{
    // room lamps "0"-"9"
    {1273, 244, 42}, {1158, 244, 42}, {1388, 196, 42}, {1158, 196, 42}, {1388, 148, 42},
    {1158, 148, 42}, {1388, 100, 42}, {1158, 100, 42}, {1388,  52, 42}, {1158,  52, 42},
    // C1-C4
    {1158, 282, 54}, {1238, 282, 54}, {1318, 282, 54}, {1398, 282, 54},
    // F1-F10, F11-F14
    {1478,  52, 60}, {1559,  52, 60}, {1640,  52, 60}, {1721,  52, 60}, {1802,  52, 60},
    {1478,  78, 60}, {1559,  78, 60}, {1640,  78, 60}, {1721,  78, 60}, {1802,  78, 60},
    {1478, 104, 60}, {1559, 104, 60}, {1640, 104, 60}, {1721, 104, 60},
    // S1-S3, SHU1, SHU2, BS1, FP1, FP2, UV1, UV2
    {1478, 136, 60}, {1559, 136, 60}, {1640, 136, 60}, {1478, 162, 60}, {1559, 162, 60},
    {1398, 308, 54}, {1721, 136, 60}, {1802, 136, 60}, {1640, 162, 60}, {1721, 162, 60},
    // L1, L2, F15, LY1
    {1158, 308, 54}, {1238, 308, 54}, {1802, 104, 60}, {1318, 308, 54},
}};
// clang-format on

constexpr int kSwatchWidth = 18;
constexpr int kPlanRowHeight = 20;

void append(std::vector<ControlDef>& out, std::span<const ControlDef> part) {
    out.insert(out.end(), part.begin(), part.end());
}

void appendRoomPlan(std::vector<ControlDef>& out) {
    for (int i = 0; i < kEntryCount; ++i) {
        const PatchEntry& e = kPatch[i];
        const PlanSlot& s = kPlan[i];
        out.push_back({e.checkId, Check, e.name, s.x, s.y, s.checkWidth, kPlanRowHeight, 0});
        out.push_back({e.swatchId, ControlKind::Swatch, "", s.x + s.checkWidth + 2, s.y,
                       kSwatchWidth, kPlanRowHeight, kOwnerDrawn});
    }
}

std::vector<ControlDef> buildCatalogue() {
    std::vector<ControlDef> out;
    append(out, kTop);
    append(out, kStep);
    append(out, kSound);
    append(out, kBottom);
    append(out, kRight);
    append(out, kInterface);
    appendRoomPlan(out);
    append(out, kNextStep);
    return out;
}

// Start-up ranges of the main window.
struct RangeSet {
    int min, max;
    std::span<const int> ids;
};

constexpr int kLevelSliders[] = {
    1005, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038,
    1039, 1040, 4080, 1122, 1133, 1136, 1141, 1148, 1396, 1056, 1007, 1047, 1067, 1069, 1070,
    1071, 1072, 1073, 1074, 1075, 1076, 1077, 1078, 1079, 1080, 1081, 1082, 1118, 1127, 1153,
    1157, 1261, 1265, 1314, 1321, 5083, 4087, 1091, 1094, 1422, 1423, 1009};
constexpr int kStepSpin[] = {1001};
constexpr int kVolumes[] = {1010, 1011, 1397, 1057, 1120, 1121};
constexpr int kProgress[] = {1062, 1063, 4078};
constexpr int kMeters[] = {1267, 1272};

constexpr RangeSet kRanges[] = {
    {0, 255, kLevelSliders}, {0, 499, kStepSpin}, {0, 10000, kVolumes},
    {0, 100, kProgress},     {0, 30000, kMeters},
};

constexpr int kLists[] = {1003, 1340};

} // namespace

std::span<const ControlDef> consoleControls() {
    static const std::vector<ControlDef> catalogue = buildCatalogue();
    return inLanguage("Console", std::span<const ControlDef>(catalogue), &ControlDef::caption);
}

void populateConsole(ControlModel& model) {
    declareControls(model, consoleControls());
    for (const RangeSet& r : kRanges)
        for (int id : r.ids)
            model.setRange(id, r.min, r.max);
}

std::span<const int> consoleLists() {
    return kLists;
}

std::span<const ControlTip> consoleToolTips() {
    static constexpr ControlTip tips[] = {
        {1000,
         QT_TRANSLATE_NOOP(
             "Console",
             "Step number, 0-499: the step on the console. Keypad + and - step forward and back")},
        {1001, QT_TRANSLATE_NOOP("Console", "Next or previous step")},
        {4081, QT_TRANSLATE_NOOP(
                   "Console",
                   "Hot key of this step: pressed anywhere in orvane, it makes this step current. "
                   "It takes effect once the step was left and \"Validate HK\" pressed")},
        {4079, QT_TRANSLATE_NOOP("Console", "Registers the hot keys of every step again")},
        {1012,
         QT_TRANSLATE_NOOP("Console",
                           "Shutter 1 follows \"Shutter #1\" instead of the step (channel 413)")},
        {1013,
         QT_TRANSLATE_NOOP(
             "Console", "With \"Manu Shutter #1\": shutter 1 open when checked, closed when not")},
        {1014,
         QT_TRANSLATE_NOOP("Console",
                           "Shutter 2 follows \"Shutter #2\" instead of the step (channel 414)")},
        {1015,
         QT_TRANSLATE_NOOP(
             "Console", "With \"Manu Shutter #2\": shutter 2 open when checked, closed when not")},
        {1016,
         QT_TRANSLATE_NOOP("Console", "Puts its channel full while checked; kept with the step")},
        {1017,
         QT_TRANSLATE_NOOP("Console", "Puts its channel full while checked; kept with the step")},
        {1018,
         QT_TRANSLATE_NOOP("Console", "Puts its channel full while checked; kept with the step")},
        {1019,
         QT_TRANSLATE_NOOP("Console", "Puts its channel full while checked; kept with the step")},
        {1044, QT_TRANSLATE_NOOP("Console", "Puts channel 423 full")},
        {1288, QT_TRANSLATE_NOOP("Console",
                                 "Turns off the protection against erratic moving-head moves")},
        {1291,
         QT_TRANSLATE_NOOP("Console",
                           "Turns off the protection against moving heads going black by mistake")},
        {1293, QT_TRANSLATE_NOOP("Console", "Sends 0 on every smoke channel")},
        {1294, QT_TRANSLATE_NOOP("Console", "Sends 0 on every perfume channel")},
        {1296, QT_TRANSLATE_NOOP("Console", "Sends 0 on every fan channel")},
        {1308, QT_TRANSLATE_NOOP("Console", "Sends 0 on every DMX channel")},
        {1285, QT_TRANSLATE_NOOP("Console",
                                 "Connects to the IP link host and sends it the current colour")},
        {1357, QT_TRANSLATE_NOOP("Console", "Lets the joystick's fire buttons start the fade")},
        {1123, QT_TRANSLATE_NOOP(
                   "Console",
                   "Opens the show time window for playing the show; clears auto fade disable")},
        {1275, QT_TRANSLATE_NOOP("Console", "Shows or hides the timeline of the steps")},
        {1310, QT_TRANSLATE_NOOP("Console", "Shows or hides the global colour window")},
        {1355, QT_TRANSLATE_NOOP("Console", "Opens the easy show builder")},
        {1279, QT_TRANSLATE_NOOP("Console", "Opens manual mode and its predefined entries")},
        {1333, QT_TRANSLATE_NOOP("Console", "Closes the DMX interface and opens it again")},
        {4091,
         QT_TRANSLATE_NOOP(
             "Console",
             "Show control from other tools: OSC (settings oscport, oscbind) and the web remote")},
        {4085, QT_TRANSLATE_NOOP(
                   "Console", "Stores the console into the current step and writes the show file")},
        {4082, QT_TRANSLATE_NOOP("Console", "Saves the show and ends orvane")},
        {1295, QT_TRANSLATE_NOOP("Console", "The extra commands a step can run")},
        {1426, QT_TRANSLATE_NOOP("Console", "The first channel the DMX monitor shows")},
    };
    return inLanguage("Console", std::span<const ControlTip>(tips), &ControlTip::text);
}

} // namespace orvane
