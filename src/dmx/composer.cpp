#include "dmx/composer.h"

#include "show/patch.h"

#include <algorithm>

namespace orvane {
namespace {

// Computed levels become channel values by truncation toward zero, keeping the low
// eight bits: a level that reaches 256 comes out as 0.
uint8_t toByte(double x) {
    return static_cast<uint8_t>(static_cast<int64_t>(x));
}

// Channels are numbered from 1 as on the fixtures; index 0 carries channel 1.
uint8_t& at(Universe& u, int channel) {
    return u[channel - 1];
}

constexpr int kShu1Channel = 413;
constexpr int kShu2Channel = 414;
constexpr int kMh1Channel = 423;
constexpr int kCurrentColour = 8;
constexpr int kMergedChannels = 198;

// One pass over the 42 patch entries, with the cross-fade factors of the composition.
class PatchPass {
public:
    PatchPass(const StepRecord& live, const StepRecord& next, int fade,
              const ComposerOptions& options, Universe& u, uint32_t& fanPulse, bool& pulsing)
        : m_live(live), m_next(next), m_options(options), m_u(u), m_fanPulse(fanPulse),
          m_pulsing(pulsing) {
        m_mc = live.master / 255.0;
        m_mn = next.master / 255.0;
        // A rude fade jumps: function values stay on the live side.
        m_w = live.faderude != 0 ? 1.0 : 1.0 - fade / 255.0;
        m_nw = 1.0 - m_w;
    }

    void run() {
        m_u.fill(0);
        const auto& first = patchFirstIndex();
        for (int i = 0; i < kEntryCount; ++i)
            entry(i, first[i]);
    }

private:
    double blend(double live, double next) const { return live * m_w + next * m_nw; }
    // Intensities carry the master of their own side into the cross-fade.
    double mastered(double live, double next) const {
        return next * m_mn * m_nw + live * m_mc * m_w;
    }

    void entry(int i, int b) {
        const ValuePair& l = m_live.pair[i];
        const ValuePair& n = m_next.pair[i];
        switch (kPatch[i].type) {
        case kTypeLamp:
            lamp(i, b);
            break;
        case kTypeDimmer: // no entry is a dimmer; one would keep its level in the first byte
            m_u[b] = toByte(mastered(l.first, n.first));
            break;
        case kTypePulsedFan:
            m_u[b] = pulse(blend(l.first, n.first));
            if (m_options.disableFans)
                m_u[b] = 0;
            break;
        case kTypeFanLevel:
            m_u[b] = m_options.disableFans ? 0 : toByte(blend(l.first, n.first));
            break;
        case kTypeSmoke:
            m_u[b] = m_options.disableSmokes ? 0 : toByte(blend(l.first, n.first));
            break;
        case kTypeFogPair:
            fogPair(i, b);
            break;
        case kTypeShutter:
            shutter(i, b);
            break;
        case kTypePulsed:
            m_u[b] = pulse(blend(l.first, n.first));
            break;
        case kTypeTwoChannel:
            m_u[b] = toByte(mastered(l.second, n.second));
            m_u[b + 1] = toByte(blend(l.first, n.first));
            break;
        default: // type 4 has no channel
            break;
        }
    }

    void lamp(int i, int b) {
        const LampValues& l = m_live.lamp[i];
        const LampValues& n = m_next.lamp[i];
        m_u[b] = toByte(mastered(l.intensity, n.intensity));
        m_u[b + 1] = toByte(blend(redOf(l.colour), redOf(n.colour)));
        m_u[b + 2] = toByte(blend(greenOf(l.colour), greenOf(n.colour)));
        m_u[b + 3] = toByte(blend(blueOf(l.colour), blueOf(n.colour)));
        m_u[b + 4] = 0;
        m_u[b + 5] = 0;
        m_u[b + 6] = toByte(blend(l.strobe, n.strobe));
        m_u[b + 7] = l.mode; // mode and speed jump, they are not faded
        m_u[b + 8] = l.speed;
    }

    // Fans and pulsed lamps switch fully on or off; the higher the level, the more of
    // the counter's ten phases they spend on. Every pulsed entry advances the counter.
    uint8_t pulse(double level) {
        ++m_fanPulse;
        const double d = level * 10 / 255;
        // Between nothing and nine tenths the entry goes on and off.
        m_pulsing = m_pulsing || (d > 0 && d < 9);
        if (d == 0 || d < static_cast<double>(m_fanPulse % 10))
            return 0;
        return 255;
    }

    void fogPair(int i, int b) {
        const ValuePair& l = m_live.pair[i];
        const ValuePair& n = m_next.pair[i];
        const bool on = !m_options.disablePerfumes;
        m_u[b + 1] = on && toByte(blend(l.first, n.first)) != 0 ? 255 : 0;
        m_u[b] = on && toByte(blend(l.second, n.second)) != 0 ? 255 : 0;
    }

    // The shutters close on a high level (the channel is inverted and two-state),
    // unless the console holds them by hand.
    void shutter(int i, int b) {
        const int channel = b + 1;
        if (channel != kShu1Channel && channel != kShu2Channel) {
            m_u[b] = m_u[b] >= 128 ? 255 : 0;
            return;
        }
        const bool first = channel == kShu1Channel;
        if (first ? m_options.manuShutter1 : m_options.manuShutter2) {
            m_u[b] = (first ? m_options.shutter1 : m_options.shutter2) ? 255 : 0;
            return;
        }
        const double level = blend(m_live.pair[i].first, m_next.pair[i].first);
        const int64_t t = static_cast<int64_t>(255 - level);
        m_u[b] = t >= 128 ? 255 : 0;
    }

    const StepRecord& m_live;
    const StepRecord& m_next;
    const ComposerOptions& m_options;
    Universe& m_u;
    uint32_t& m_fanPulse;
    bool& m_pulsing;
    double m_mc = 0, m_mn = 0, m_w = 1, m_nw = 0;
};

// The keyboard flash markers force a level full or off whatever the master.
uint8_t levelChannel(int level, double mc) {
    if (level == kLevelForcedFull)
        return 255;
    if (level == kLevelForcedOff)
        return 0;
    return toByte(level * mc);
}

double washFactor(int level, double mc) {
    if (level == kLevelForcedFull)
        return 1.0;
    if (level == kLevelForcedOff)
        return 0.0;
    return level / 255.0 * mc;
}

// k is the 1-based colour or level number.
uint32_t colourOf(const StepRecord& r, int k) {
    return r.colour[k - 1];
}
int levelOf(const StepRecord& r, int k) {
    return r.fader[k - 1];
}

// Red, green, blue scaled by the factor, and optionally the white made of their minimum.
void writeWash(Universe& u, int channel, uint32_t colour, double factor, bool white) {
    const uint8_t r = redOf(colour), g = greenOf(colour), b = blueOf(colour);
    at(u, channel) = toByte(r * factor);
    at(u, channel + 1) = toByte(g * factor);
    at(u, channel + 2) = toByte(b * factor);
    if (white)
        at(u, channel + 3) = toByte(std::min({r, g, b}) * factor);
}

// Colour scaled by its level alone, without the master.
void writeUnmastered(Universe& u, int channel, uint32_t colour, int level) {
    at(u, channel) = toByte(double(redOf(colour)) * level / 255);
    at(u, channel + 1) = toByte(double(greenOf(colour)) * level / 255);
    at(u, channel + 2) = toByte(double(blueOf(colour)) * level / 255);
}

void writeLevelsAndChecks(Universe& u, const StepRecord& live, double mc) {
    for (int k = 1; k <= 16; ++k)
        at(u, k) = levelChannel(levelOf(live, k), mc);
    for (int k = 5; k <= 8; ++k)
        at(u, 24 + k - 5) = live.check[k - 1] != 0 ? 255 : 0;
}

void writeScanners(Universe& u, const StepRecord& live) {
    std::copy_n(live.scanner[0].channel.begin(), 7, &at(u, 28));
    std::copy_n(live.scanner[1].channel.begin(), 4, &at(u, 59));
    std::copy_n(live.scanner[2].channel.begin(), 4, &at(u, 63));
}

void writeWashes(Universe& u, const StepRecord& live, double mc) {
    auto factor = [&](int level) { return washFactor(levelOf(live, level), mc); };
    writeWash(u, 35, colourOf(live, 1), factor(17), true);
    writeWash(u, 43, colourOf(live, 3), factor(19), true);
    writeWash(u, 47, colourOf(live, 4), factor(20), true);
    writeWash(u, 51, colourOf(live, 5), factor(21), true);
    writeWash(u, 67, colourOf(live, 7), factor(23), false);
    writeUnmastered(u, 86, colourOf(live, 9), levelOf(live, 24));
}

// Four 5-channel lamps: colour 10-13 at level 25-28, then a fixed 255 and 0.
void writeFiveChannelLamps(Universe& u, const StepRecord& live) {
    for (int n = 0; n < 4; ++n) {
        const int channel = 155 + 5 * n;
        writeUnmastered(u, channel, colourOf(live, 10 + n), levelOf(live, 25 + n));
        at(u, channel + 3) = 255;
        at(u, channel + 4) = 0;
    }
}

// Head 1 is a sixteen-channel head, heads 2-5 are fourteen-channel heads.
struct HeadLayout {
    int firstChannel;
    int width;
    int dimmer;                  // byte index of the dimmer
    int shutter;                 // byte index of the shutter, -1 for none
    std::array<int, 4> position; // byte indexes of the position
};

constexpr std::array<HeadLayout, kHeadCount> kHeadLayout = {{
    {70, 16, 3, -1, {0, 1, 13, 14}},
    {99, 14, 6, 5, {0, 1, 2, 3}},
    {113, 14, 6, 5, {0, 1, 2, 3}},
    {127, 14, 6, 5, {0, 1, 2, 3}},
    {141, 14, 6, 5, {0, 1, 2, 3}},
}};

// Pan 21000 and tilt 26000, each as high and fine byte.
constexpr std::array<uint8_t, 4> kParkPosition = {82, 8, 101, 144};

bool lit(const StepRecord& r, int head) {
    return r.head[head].channel[kHeadLayout[head].dimmer] != 0;
}

// A head that lights up in the next step moves there while still dark; a head that
// goes dark holds the current step's position while it fades out.
void prePosition(Universe& u, int head, const StepRecord& current, const StepRecord& next) {
    const bool litNow = lit(current, head);
    if (litNow == lit(next, head))
        return;
    const HeadBlock& source = litNow ? current.head[head] : next.head[head];
    const HeadLayout& layout = kHeadLayout[head];
    for (int p : layout.position)
        at(u, layout.firstChannel + p) = source.channel[p];
}

void writeHeads(Universe& u, const StepRecord& live, const StepRecord* current,
                const StepRecord* next, bool antiCrazy) {
    for (int h = 0; h < kHeadCount; ++h) {
        const HeadLayout& layout = kHeadLayout[h];
        std::copy_n(live.head[h].channel.begin(), layout.width, &at(u, layout.firstChannel));
        if (antiCrazy && current && next)
            prePosition(u, h, *current, *next);
    }
}

// With the master at zero a fourteen-channel head that is dark or shuttered parks,
// so that it never swings visibly on a black stage.
void parkDarkHeads(Universe& u, const StepRecord& live) {
    if (live.master != 0)
        return;
    for (int h = 1; h < kHeadCount; ++h) {
        const HeadLayout& layout = kHeadLayout[h];
        const auto& c = live.head[h].channel;
        if (c[layout.dimmer] != 0 && c[layout.shutter] != 0)
            continue;
        for (int k = 0; k < 4; ++k)
            at(u, layout.firstChannel + layout.position[k]) = kParkPosition[k];
    }
}

// How the manual-mode merge fills each of channels 1-198.
enum class MergeRule : uint8_t { Zero, Highest, Top, Wash0, Wash1, Wash2, Wash3 };

constexpr std::array<int, 4> kWashRedChannels = {43, 47, 51, 55};

constexpr std::array<MergeRule, kMergedChannels> makeMergeRules() {
    std::array<MergeRule, kMergedChannels> rules{};
    auto set = [&rules](int first, int last, MergeRule rule) {
        for (int c = first; c <= last; ++c)
            rules[c - 1] = rule;
    };
    set(1, 19, MergeRule::Highest);
    set(24, 27, MergeRule::Highest);
    set(35, 42, MergeRule::Highest);
    set(67, 69, MergeRule::Highest);
    set(86, 98, MergeRule::Highest);
    for (int white : {46, 50, 54, 58})
        set(white, white, MergeRule::Highest);
    set(28, 34, MergeRule::Top);
    set(59, 66, MergeRule::Top);
    set(70, 85, MergeRule::Top);
    set(99, 154, MergeRule::Top);
    // A wash's red, green and blue come together from its leading entry, so that
    // the operator sees the colour of the look that leads, never a mix of two.
    set(43, 45, MergeRule::Wash0);
    set(47, 49, MergeRule::Wash1);
    set(51, 53, MergeRule::Wash2);
    set(55, 57, MergeRule::Wash3);
    return rules;
}

constexpr std::array<MergeRule, kMergedChannels> kMergeRules = makeMergeRules();

// Highest level, the lowest index on ties.
int topEntry(std::span<const uint8_t, kPredefinedCount> levels) {
    int top = 0;
    for (int j = 1; j < kPredefinedCount; ++j)
        if (levels[j] > levels[top])
            top = j;
    return top;
}

// Highest level x the wash's strongest colour channel, the lowest index on ties;
// entry 0 when every product is 0. A blue or green look leads as a red one does.
int washLeader(std::span<const uint8_t, kPredefinedCount> levels,
               const PredefinedUniverses& predefined, int redChannel) {
    int leader = 0, best = 0;
    for (int j = 0; j < kPredefinedCount; ++j) {
        const uint8_t* wash = &predefined[j][redChannel - 1];
        const int product = levels[j] * std::max({wash[0], wash[1], wash[2]});
        if (product > best) {
            best = product;
            leader = j;
        }
    }
    return leader;
}

uint8_t highestScaled(std::span<const uint8_t, kPredefinedCount> levels,
                      const PredefinedUniverses& predefined, int index) {
    int best = 0;
    for (int j = 0; j < kPredefinedCount; ++j)
        best = std::max(best, levels[j] * predefined[j][index] / 255);
    return static_cast<uint8_t>(best);
}

} // namespace

void Composer::Compose(const StepRecord& live, Universe& dest, const StepRecord* next,
                       const StepRecord* current, int fade, const ComposerOptions& options) {
    m_pulsing = false;
    if (next)
        PatchPass(live, *next, fade, options, dest, m_fanPulse, m_pulsing).run();

    const double mc = live.master / 255.0;
    writeLevelsAndChecks(dest, live, mc);
    writeScanners(dest, live);
    writeWashes(dest, live, mc);
    writeHeads(dest, live, current, next, !options.disableAntiCrazy);
    writeFiveChannelLamps(dest, live);
    // "MH1" owns channel 423, over the value of "LY1" on the same channel.
    at(dest, kMh1Channel) = options.mh1 ? 255 : 0;
    if (!options.disableFalseBlack)
        parkDarkHeads(dest, live);

    const uint32_t c = colourOf(live, kCurrentColour);
    m_currentColour = {redOf(c), greenOf(c), blueOf(c)};
}

void Composer::mergePredefined(std::span<const StepRecord, kPredefinedCount> records,
                               std::span<const uint8_t, kPredefinedCount> levels,
                               PredefinedUniverses& predefined, Universe& staging,
                               const ComposerOptions& options) {
    for (int j = 0; j < kPredefinedCount; ++j)
        Compose(records[j], predefined[j], nullptr, nullptr, 0, options);
    mixPredefined(records, levels, predefined, staging);
}

void Composer::mixPredefined(std::span<const StepRecord, kPredefinedCount> records,
                             std::span<const uint8_t, kPredefinedCount> levels,
                             const PredefinedUniverses& predefined, Universe& staging) {
    // As the composition of the last look left it.
    const uint32_t c = colourOf(records[kPredefinedCount - 1], kCurrentColour);
    m_currentColour = {redOf(c), greenOf(c), blueOf(c)};
    const int top = topEntry(levels);
    std::array<int, 4> leader{};
    for (int w = 0; w < 4; ++w)
        leader[w] = washLeader(levels, predefined, kWashRedChannels[w]);

    for (int i = 0; i < kMergedChannels; ++i) {
        switch (kMergeRules[i]) {
        case MergeRule::Highest:
            staging[i] = highestScaled(levels, predefined, i);
            break;
        case MergeRule::Top:
            staging[i] = predefined[top][i];
            break;
        case MergeRule::Zero:
            staging[i] = 0;
            break;
        default: {
            // Like every mixed channel, the wash follows its look's fader.
            const int w = static_cast<int>(kMergeRules[i]) - static_cast<int>(MergeRule::Wash0);
            staging[i] = static_cast<uint8_t>(levels[leader[w]] * predefined[leader[w]][i] / 255);
        }
        }
    }
}

} // namespace orvane
