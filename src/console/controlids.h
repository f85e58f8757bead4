#pragma once
// The controls of the main window (dialog 102) that the program reaches by id,
// each under one name. The table of every control, with its caption and place,
// is the main window's control table.

namespace orvane::console {

constexpr int kStepNumber = 1000;
constexpr int kStepSpin = 1001;
constexpr int kStepInfo = 1002;
constexpr int kSoundList = 1003;
constexpr int kPlay = 1004;
constexpr int kMaster = 1005;
constexpr int kStop = 1006;
constexpr int kNextMaster = 1007;
constexpr int kFade = 1009;
constexpr int kAudioLeft = 1010;
constexpr int kAudioRight = 1011;
constexpr int kFirstSwitch = 1012;
constexpr int kNextFirstSwitch = 1020;
constexpr int kTimeText = 1024;
constexpr int kPause = 1041;
constexpr int kInsertStep = 1042;
constexpr int kDeleteStep = 1043;
constexpr int kPlayRecord = 1046;
constexpr int kPositionBar = 1049;
constexpr int kStepName = 1052;
constexpr int kPlayReplay = 1055;
constexpr int kMasterVolumeRight = 1057;
constexpr int kTimeUp = 1058;
constexpr int kRampUp = 1059;
constexpr int kTimeDown = 1060;
constexpr int kRampDown = 1061;
constexpr int kRampUpProgress = 1062;
constexpr int kRampDownProgress = 1063;
constexpr int kFadeIn = 1083;
constexpr int kFadeTime = 1084;
constexpr int kGoto = 1088;
constexpr int kGotoStep = 1092;
constexpr int kSaveEffect = 1097;
constexpr int kLoadEffect = 1099;
constexpr int kRudeFade = 1101;
constexpr int kPlayAtBegin = 1104;
constexpr int kNextOnStop = 1108;
constexpr int kSoundName = 1110;
constexpr int kPosition = 1112;
constexpr int kTogglePause = 1113;
constexpr int kSoundLocked = 1114;
constexpr int kStepSound = 1115;
constexpr int kVolumeLocked = 1117;
constexpr int kLoadOnlyLight = 1119;
constexpr int kVolumeBarLeft = 1120;
constexpr int kVolumeBarRight = 1121;
constexpr int kShowTime = 1123;
constexpr int kDuplicateStep = 1126;
constexpr int kMeterLeft = 1267;
constexpr int kTest1 = 1269;
constexpr int kTest2 = 1270;
constexpr int kMeterRight = 1272;
constexpr int kShowTimeline = 1275;
constexpr int kManualMode = 1279;
constexpr int kIpLink = 1285;
constexpr int kHelp = 1295;
constexpr int kAllDmxToZero = 1308;
constexpr int kLog = 1309;
constexpr int kGlobalColour = 1310;
constexpr int kResetDmx = 1333;
constexpr int kPredefinedEffect = 1340;
constexpr int kSoundReload = 1349;
constexpr int kEasyShowBuilder = 1355;
constexpr int kJoystick = 1357;
constexpr int kExtra = 1364;
constexpr int kEffectReload = 1375;
constexpr int kEffectRefresh = 1379;
constexpr int kStatus = 1392;
constexpr int kMasterVolumeLeft = 1397;
constexpr int kRed = 1417;
constexpr int kGreen = 1418;
constexpr int kBlue = 1419;
constexpr int kIntensity = 1420;
constexpr int kStrobe = 1421;
constexpr int kIntensitySlider = 1422;
constexpr int kStrobeSlider = 1423;
constexpr int kMonitorStart = 1426;
constexpr int kPicture = 1427;
constexpr int kFadeProgress = 4078;
constexpr int kValidateHotKeys = 4079;
constexpr int kHotKey = 4081;
constexpr int kQuit = 4082;
constexpr int kAutoFade = 4084;
constexpr int kSave = 4085;
// The DMX interface indicator: device, state and the time of its last change.
constexpr int kDmxInterface = 4090;
// Which remote surfaces (OSC, the web remote) are on, and where.
constexpr int kRemoteSurfaces = 4091;
// Where a running fade leads ("fading to N caption"); empty when none runs.
constexpr int kFadeStatus = 4092;

} // namespace orvane::console
