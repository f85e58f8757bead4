#include "show/patch.h"

namespace orvane {

// The whole table in one place. Automatic entries take their channels from 256 on,
// in table order; the rest sit on fixed addresses.
// clang-format off
const std::array<PatchEntry, kEntryCount> kPatch = {{
    //  name    type              group           key  check swatch addr  x     y
    {"0",    kTypeLamp,       kGroupRgbRoom,  '0', 1394, 1393,   0, 0.5f, 1.0f},
    {"1",    kTypeLamp,       kGroupRgbRoom,  '1', 1399, 1395,   0, 0.0f, 1.0f},
    {"2",    kTypeLamp,       kGroupRgbRoom,  '2', 1401, 1400,   0, 1.0f, 0.75f},
    {"3",    kTypeLamp,       kGroupRgbRoom,  '3', 1403, 1402,   0, 0.0f, 0.75f},
    {"4",    kTypeLamp,       kGroupRgbRoom,  '4', 1405, 1404,   0, 1.0f, 0.5f},
    {"5",    kTypeLamp,       kGroupRgbRoom,  '5', 1407, 1406,   0, 0.0f, 0.5f},
    {"6",    kTypeLamp,       kGroupRgbRoom,  '6', 1409, 1408,   0, 1.0f, 0.25f},
    {"7",    kTypeLamp,       kGroupRgbRoom,  '7', 1411, 1410,   0, 0.0f, 0.25f},
    {"8",    kTypeLamp,       kGroupRgbRoom,  '8', 1413, 1412,   0, 1.0f, 0.0f},
    {"9",    kTypeLamp,       kGroupRgbRoom,  '9', 1415, 1414,   0, 0.0f, 0.0f},
    {"C1",   kTypeLamp,       kGroupRgbBack,  0,   1428, 1398,   0, 0.0f, 0.0f},
    {"C2",   kTypeLamp,       kGroupRgbBack,  0,   1429, 1430,   0, 0.0f, 0.0f},
    {"C3",   kTypeLamp,       kGroupRgbBack,  0,   1431, 1432,   0, 0.0f, 0.0f},
    {"C4",   kTypeLamp,       kGroupRgbBack,  0,   1433, 1434,   0, 0.0f, 0.0f},
    {"F1",   kTypePulsedFan,  kGroupFans,     0,   1437, 1436,   0, 0.0f, 0.0f},
    {"F2",   kTypePulsedFan,  kGroupFans,     0,   1439, 1438,   0, 0.0f, 0.0f},
    {"F3",   kTypePulsedFan,  kGroupFans,     0,   1441, 1440,   0, 0.0f, 0.0f},
    {"F4",   kTypePulsedFan,  kGroupFans,     0,   1443, 1442,   0, 0.0f, 0.0f},
    {"F5",   kTypePulsedFan,  kGroupFans,     0,   1445, 1444,   0, 0.0f, 0.0f},
    {"F6",   kTypePulsedFan,  kGroupFans,     0,   1447, 1446,   0, 0.0f, 0.0f},
    {"F7",   kTypePulsedFan,  kGroupFans,     0,   1449, 1448,   0, 0.0f, 0.0f},
    {"F8",   kTypePulsedFan,  kGroupFans,     0,   1451, 1450,   0, 0.0f, 0.0f},
    {"F9",   kTypePulsedFan,  kGroupFans,     0,   1453, 1452,  20, 0.0f, 0.0f},
    {"F10",  kTypePulsedFan,  kGroupFans,     0,   1455, 1454,  21, 0.0f, 0.0f},
    {"F11",  kTypeFanLevel,   kGroupFans,     0,   1458, 1457,   0, 0.0f, 0.0f},
    {"F12",  kTypeFanLevel,   kGroupFans,     0,   1460, 1459,   0, 0.0f, 0.0f},
    {"F13",  kTypeFanLevel,   kGroupFans,     0,   1464, 1463,   0, 0.0f, 0.0f},
    {"F14",  kTypeFanLevel,   kGroupFans,     0,   1466, 1465,   0, 0.0f, 0.0f},
    {"S1",   kTypeSmoke,      kGroupSmokes,   0,   1462, 1461, 407, 0.0f, 0.0f},
    {"S2",   kTypeSmoke,      kGroupSmokes,   0,   1470, 1469, 408, 0.0f, 0.0f},
    {"S3",   kTypeSmoke,      kGroupSmokes,   0,   1476, 1475, 409, 0.0f, 0.0f},
    {"SHU1", kTypeShutter,    kGroupShutters, 0,   1478, 1477, 413, 0.0f, 0.0f},
    {"SHU2", kTypeShutter,    kGroupShutters, 0,   1488, 1487, 414, 0.0f, 0.0f},
    {"BS1",  kTypeLamp,       kGroupBackSpot, 0,   1468, 1467, 398, 0.0f, 0.0f},
    {"FP1",  kTypeFogPair,    kGroupFogs,     0,   1472, 1471,  39, 0.0f, 0.0f},
    {"FP2",  kTypeFogPair,    kGroupFogs,     0,   1474, 1473,  41, 0.0f, 0.0f},
    {"UV1",  kTypePulsed,     kGroupUv,       0,   1480, 1479, 420, 0.0f, 0.0f},
    {"UV2",  kTypePulsed,     kGroupUv,       0,   1482, 1481, 421, 0.0f, 0.0f},
    {"L1",   kTypeTwoChannel, kGroupRgbRoom,  0,   1484, 1483, 424, 0.0f, 0.0f},
    {"L2",   kTypeTwoChannel, kGroupRgbRoom,  0,   1486, 1485, 426, 0.0f, 0.0f},
    {"F15",  kTypePulsedFan,  kGroupFans,     0,   1492, 1491, 422, 0.0f, 0.0f},
    {"LY1",  kTypePulsed,     kGroupRgbRoom,  0,   1494, 1493, 423, 0.0f, 0.0f},
}};
// clang-format on

int channelWidth(int type) {
    switch (type) {
    case kTypeLamp:
        return 9;
    case kTypeFogPair:
    case kTypeTwoChannel:
        return 2;
    case kTypeNone:
        return 0;
    default:
        return 1;
    }
}

static std::array<int, kEntryCount> computeFirstIndex() {
    std::array<int, kEntryCount> first{};
    int next = 255; // channel 256, 0-based
    for (int i = 0; i < kEntryCount; ++i) {
        if (kPatch[i].address == 0) {
            first[i] = next;
            next += channelWidth(kPatch[i].type);
        } else {
            first[i] = kPatch[i].address - 1;
        }
    }
    return first;
}

const std::array<int, kEntryCount>& patchFirstIndex() {
    static const std::array<int, kEntryCount> first = computeFirstIndex();
    return first;
}

} // namespace orvane
