#pragma once
// The compiled-in channel patch: the 42 controllable functions of the console.
// Constant data, safe from any thread.

#include "show/steprecord.h"

#include <array>
#include <cstdint>

namespace orvane {

// Function types decide which values an entry keeps, under which keys, and how
// the composer computes its channels.
enum FunctionType : uint8_t {
    kTypeLamp = 0,   // 9-channel RGB lamp
    kTypeDimmer = 1, // no entry uses it
    kTypePulsedFan = 2,
    kTypeFanLevel = 3,
    kTypeNone = 4, // no entry uses it
    kTypeSmoke = 5,
    kTypeFogPair = 6,
    kTypeShutter = 7,
    kTypePulsed = 8,
    kTypeTwoChannel = 9,
};

// Console groups (group buttons and group-visibility buttons).
enum PatchGroup : uint8_t {
    kGroupRgbRoom = 0,
    kGroupRgbBack = 1,
    kGroupFans = 3,
    kGroupSmokes = 4,
    kGroupBackSpot = 5,
    kGroupFogs = 6,
    kGroupShutters = 7,
    kGroupUv = 8,
};

struct PatchEntry {
    const char* name; // caption of the check control
    uint8_t type;     // FunctionType
    uint8_t group;    // PatchGroup
    char key;         // keyboard key character, 0 = none
    int checkId;      // selection check box on the room plan
    int swatchId;     // owner-drawn swatch beside it
    int address;      // 1-based first channel, 0 = placed automatically
    float x, y;       // position on the picture for the picture colour
};

extern const std::array<PatchEntry, kEntryCount> kPatch;

// Channels an entry of this type occupies.
int channelWidth(int type);

// First universe index (0-based) of every entry, automatic placement from channel 256.
const std::array<int, kEntryCount>& patchFirstIndex();

} // namespace orvane
