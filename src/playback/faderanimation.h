#pragma once
// RANDOM= and SOUNDACTIVE=: level faders that the main timer moves on every
// tick, to random levels or to the level of the playing sound. Faders are the
// 24 numbered level faders of the console (positions inverted: level v is
// position 255 - v). User-interface thread only.

#include <array>
#include <cstdint>
#include <random>
#include <string_view>

namespace orvane {

class ControlModel;

constexpr int kAnimatedFadersMax = 64;
constexpr int kLevelFaders = 24;

// Up to 64 fader numbers 1..24; the same fader may stand more than once.
class FaderList {
public:
    void clear() { m_count = 0; }
    bool full() const { return m_count >= kAnimatedFadersMax; }
    void add(int fader); // numbers outside 1..24 and additions to a full list are ignored
    int count() const { return m_count; }
    int operator[](int i) const { return m_faders[size_t(i)]; }

private:
    std::array<uint8_t, kAnimatedFadersMax> m_faders{};
    int m_count = 0;
};

struct RandomBounds {
    int min = 0;
    int max = 0;
};

// The walk of RANDOM= (bounds given) and SOUNDACTIVE= (no bounds) over the text
// from `pos`, the character after the keyword: items separated by commas, each
// "min=n" / "max=n" (any case, with bounds only) or a fader number. The walk
// ends at the first item not followed directly by a comma, or when the list is
// full.
void walkFaderList(std::string_view text, size_t pos, FaderList& list, RandomBounds* bounds);

// The control id of level fader 1..24.
int levelFaderId(int fader);

class RandomFaders {
public:
    explicit RandomFaders(uint32_t seed = std::random_device{}()) : m_random(seed) {}

    // RANDOM=: the list is replaced; the bounds keep what the text does not give.
    void parse(std::string_view text, size_t pos);
    void clear() { m_list.clear(); } // bounds outlive activations
    // One main-timer tick: every listed fader gets a level min <= level < max;
    // max equal to min gives min; max below min leaves the faders alone.
    void tick(ControlModel& controls);

    const FaderList& list() const { return m_list; }
    const RandomBounds& bounds() const { return m_bounds; }

private:
    FaderList m_list;
    RandomBounds m_bounds;
    std::minstd_rand m_random;
};

class SoundActiveFaders {
public:
    void parse(std::string_view text, size_t pos); // SOUNDACTIVE=
    void clear() { m_list.clear(); }
    // One main-timer tick while a sound device is open: level (left + right) * 255
    // / 30000 from the two level meters (0..30000 each), clamped to 0..255.
    void tick(ControlModel& controls, int left, int right);

    const FaderList& list() const { return m_list; }

private:
    FaderList m_list;
};

} // namespace orvane
