#include "show/stepkeys.h"

#include "show/patch.h"
#include "show/textutil.h"

namespace orvane {

static void fillEntry(StepKeys::EntryKeys& k, int i) {
    auto key = [i](const char* suffix) { return format("F%d%s", i, suffix); };
    switch (kPatch[i].type) {
    case kTypeLamp:
        k.colour = key("C");
        k.strobe = key("S");
        k.intensity = key("I");
        k.mode = key("M");
        k.speed = key("V");
        break;
    case kTypeTwoChannel:
        k.first = key("s");
        k.second = key("i");
        break;
    case kTypeFogPair:
        k.first = key("P");
        k.second = key("PF");
        break;
    case kTypeDimmer:
        k.first = key("D");
        break;
    case kTypePulsedFan:
        k.first = key("F");
        break;
    case kTypeFanLevel:
        k.first = key("G");
        break;
    case kTypeSmoke:
        k.first = key("X");
        break;
    case kTypeShutter:
    case kTypePulsed:
        k.first = key("Y");
        break;
    default:
        break;
    }
}

static void fillScanner(StepKeys::BlockKeys& b, int n) {
    // Scanner 1 has no number in its keys; scanners 2 and 3 keep no bytes 4 and 5.
    std::string prefix = n == 0 ? "scan" : format("scan%d", n + 1);
    for (int c = 0; c < kScannerBytes; ++c) {
        if (n > 0 && (c == 4 || c == 5))
            continue;
        b.channel[c] = n == 0 ? format("scandata%d", c) : format("scandata%d%d", n + 1, c);
    }
    b.x = prefix + "x";
    b.y = prefix + "y";
    b.raw = prefix + "raw";
}

static void fillHead(StepKeys::BlockKeys& b, int n) {
    int bytes = n == 0 ? kHead1Bytes : kHeadBytes;
    for (int c = 0; c < bytes; ++c)
        b.channel[c] = format("movinghead%d%d", n + 1, c);
    // untranslated-begin: keys of the show file
    b.x = format("movinghead%dx", n + 1);
    b.y = format("movinghead%dy", n + 1);
    b.raw = format("movinghead%draw", n + 1);
    // untranslated-end
}

static StepKeys build() {
    StepKeys k;
    for (int i = 0; i < kEntryCount; ++i)
        fillEntry(k.entry[i], i);
    for (int f = 0; f < kFaderCount; ++f)
        k.fader[f] = format("%d", f + 1);
    for (int c = 0; c < kColourCount; ++c) {
        k.red[c] = format("color_r%d", c + 1);
        k.green[c] = format("color_g%d", c + 1);
        k.blue[c] = format("color_b%d", c + 1);
    }
    for (int c = 0; c < kCheckCount; ++c)
        k.check[c] = format("check%d", c + 1);
    for (int s = 0; s < kScannerCount; ++s)
        fillScanner(k.scanner[s], s);
    for (int h = 0; h < kHeadCount; ++h)
        fillHead(k.head[h], h);
    return k;
}

const StepKeys& StepKeys::get() {
    static const StepKeys keys = build();
    return keys;
}

} // namespace orvane
