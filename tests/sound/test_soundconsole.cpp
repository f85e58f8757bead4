// The sound controls driven by control id, playing through SDL's dummy driver
// (real-time) or its disk driver (which keeps every byte handed to the device).

#include "soundrig.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr int kPlay = 1004, kStop = 1006, kTimeText = 1024, kPause = 1041, kPlayRecord = 1046,
              kPlayReplay = 1055, kPosition = 1112, kMeterLeft = 1267, kMeterRight = 1272;

std::string loopPart(const std::string& text) {
    size_t at = text.rfind("- ");
    return at == std::string::npos ? "" : text.substr(at);
}

int16_t sampleAt(const std::string& bytes, size_t index) {
    int16_t s;
    std::memcpy(&s, bytes.data() + 2 * index, 2);
    return s;
}

// The frames of a 16-bit stereo stream that are not silence.
std::string withoutSilence(const std::string& bytes) {
    std::string out;
    for (size_t at = 0; at + 4 <= bytes.size(); at += 4)
        if (bytes.compare(at, 4, std::string(4, '\0')) != 0)
            out.append(bytes, at, 4);
    return out;
}

std::string played(const std::vector<uint8_t>& data) {
    return std::string(data.begin(), data.end() - 256);
}

} // namespace

TEST(SoundConsole, LoopedSoundPlaysItsCountThenAdvancesWhenAsked) {
    for (bool nextOnStop : {true, false}) {
        SoundRig rig;
        rig.addWav("intro LOOP=3.wav", makeWavMs(WavParams{}, 200));
        ASSERT_TRUE(rig.loadBank());
        rig.controls.setChecked(1108, nextOnStop);
        rig.play("intro");
        std::vector<std::string> loops;
        std::string lastText;
        int advances = 0;
        bool ended = rig.waitFor([&] {
            advances += rig.sound->tick().advance;
            lastText = rig.controls.text(kTimeText);
            std::string loop = loopPart(lastText);
            if (loops.empty() || loops.back() != loop)
                loops.push_back(loop);
            return !rig.sound->deviceOpen();
        });
        ASSERT_TRUE(ended);
        EXPECT_EQ(loops, (std::vector<std::string>{"- 1/3", "- 2/3", "- 3/3"}));
        EXPECT_EQ(lastText, "0:00 198/ 0:00 198- 3/3");
        EXPECT_EQ(advances, nextOnStop ? 1 : 0);
        EXPECT_EQ(rig.recordingStops, 1); // the end of the last loop is a Stop
        rig.sound->tick();
        EXPECT_EQ(rig.controls.text(kTimeText), "");
    }
}

TEST(SoundConsole, SeekSnapsToTheNearerBlockAndStaysPaused) {
    struct Case {
        WavParams params;
        int slider, expected; // -1: the seek reached the end and stopped
    } cases[] = {
        {{}, 1001, 1000},
        {{}, 1002, 1000},
        {{}, 1003, 1004},
        {{}, 88200, 88200},
        {{}, 88202, 88200},
        {{}, 176143, -1}, // 176144 is the length
        {{3, 8000, 16}, 6003, 6000},
        {{3, 8000, 16}, 6004, 6006},
    };
    for (const Case& c : cases) {
        SoundRig rig;
        rig.addWav("a.wav", makeWavMs(c.params, 1000));
        ASSERT_TRUE(rig.loadBank());
        rig.play("a.wav");
        ASSERT_TRUE(rig.waitFor([&] { return rig.sound->playingPosition() > 0; }));
        rig.sound->tick();
        rig.controls.click(kPause);
        rig.controls.setPos(kPosition, c.slider);
        rig.controls.raise(ControlEvent::Released, kPosition);
        rig.sound->tick();
        if (c.expected < 0) {
            EXPECT_FALSE(rig.sound->deviceOpen()) << c.slider;
            continue;
        }
        EXPECT_EQ(rig.sound->playingPosition(), uint32_t(c.expected)) << c.slider;
        EXPECT_EQ(rig.controls.pos(kPosition), c.expected) << c.slider;
        std::string elapsed = durationText(uint64_t(c.expected) * 1000 / c.params.bytesPerSecond());
        EXPECT_EQ(rig.controls.text(kTimeText).rfind(elapsed + "/ ", 0), 0u) << c.slider;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        EXPECT_EQ(rig.sound->playingPosition(), uint32_t(c.expected)) << "paused";
        rig.controls.click(kPause);
        EXPECT_TRUE(
            rig.waitFor([&] { return rig.sound->playingPosition() > uint32_t(c.expected); }));
    }
}

TEST(SoundConsole, PauseKeepsThePositionAndResumePlaysOnWithoutAGap) {
    SoundRig rig(Driver::Disk);
    WavParams s;
    std::vector<uint8_t> data = toneData(s, 22050);
    rig.addWav("a.wav", makeWav(s, data));
    ASSERT_TRUE(rig.loadBank());
    rig.play("a.wav");
    ASSERT_TRUE(rig.waitFor([&] { return rig.sound->playingPosition() >= 16384; }));
    rig.sound->tick();
    rig.controls.click(kPause);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    uint32_t held = rig.sound->playingPosition();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(rig.sound->playingPosition(), held);
    EXPECT_LT(held, 88200u - 256);
    rig.controls.click(kPause);
    ASSERT_TRUE(rig.waitFor([&] {
        rig.sound->tick();
        return !rig.sound->deviceOpen();
    }));
    // Every byte of the played part reached the device once, in order.
    EXPECT_TRUE(withoutSilence(rig.deviceBytes()) == played(data));
}

TEST(SoundConsole, VolumeSlidersReachTheDeviceSamples) {
    struct Case {
        int stepLeft, stepRight, masterLeft, masterRight; // slider positions, top = loud
        int32_t gainLeft, gainRight;                      // of 65535
    } cases[] = {
        {0, 0, 0, 0, 65535, 65535},
        {5000, 2500, 0, 5000, 32767, 24575}, // 5000 and 3750 of 10000
        {10000, 0, 0, 9000, 0, 6553},        // silent left, 1000 of 10000 right
    };
    for (const Case& c : cases) {
        SoundRig rig(Driver::DiskFlatOut);
        WavParams s;
        std::vector<uint8_t> data = toneData(s, 8820);
        rig.addWav("a.wav", makeWav(s, data));
        ASSERT_TRUE(rig.loadBank());
        rig.controls.setPos(1010, c.stepLeft);
        rig.controls.setPos(1011, c.stepRight);
        rig.controls.setPos(1397, c.masterLeft);
        rig.controls.setPos(1057, c.masterRight);
        rig.sound->updateVolumes();
        rig.play("a.wav");
        ASSERT_TRUE(rig.waitFor([&] {
            rig.sound->tick();
            return !rig.sound->deviceOpen();
        }));
        std::string out = rig.deviceBytes();
        // The device may play a buffer of silence before the sound starts.
        out.erase(0, out.find_first_not_of('\0') & ~size_t(3));
        std::string in = played(data);
        ASSERT_GE(out.size(), in.size());
        int wrong = 0;
        for (size_t i = 0; i < in.size() / 2; ++i) {
            int32_t gain = i % 2 ? c.gainRight : c.gainLeft;
            wrong += sampleAt(out, i) != int16_t(sampleAt(in, i) * gain / 65535);
        }
        EXPECT_EQ(wrong, 0) << c.stepLeft << " " << c.stepRight;
    }
}

TEST(SoundConsole, ButtonsMetersHotkeysAndStopFollowThePlayback) {
    SoundRig rig;
    WavParams s;
    std::vector<uint8_t> level;
    for (int i = 0; i < 22050; ++i) {
        put16(level, 12000);
        put16(level, uint32_t(int16_t(-6000)) & 0xFFFF);
    }
    rig.addWav("level.wav", makeWav(s, level));
    rig.addWav("other.wav", makeWavMs(s, 300));
    ASSERT_TRUE(rig.loadBank());
    auto playing = [&](bool on) {
        for (int id : {kPlay, kPlayRecord, kPlayReplay})
            EXPECT_EQ(rig.controls.enabled(id), !on) << id;
        for (int id : {kPause, kPosition})
            EXPECT_EQ(rig.controls.enabled(id), on) << id;
    };

    EXPECT_FALSE(rig.sound->tick().soundLevel);
    playing(false);
    rig.play("level");
    ASSERT_TRUE(rig.waitFor([&] { return rig.sound->playingPosition() > 0; }));
    SoundTick t = rig.sound->tick();
    playing(true);
    EXPECT_EQ(rig.controls.pos(kMeterLeft), 12000);
    EXPECT_EQ(rig.controls.pos(kMeterRight), 6000);
    EXPECT_EQ(t.soundLevel, 153); // (12000 + 6000) x 255 / 30000

    // Play is disabled while a sound plays; a double-click starts the other one.
    rig.list.select(1);
    rig.controls.click(kPlay);
    EXPECT_EQ(rig.controls.state(kPosition).max, 88200 - 256);
    rig.controls.doubleClick(1003);
    EXPECT_EQ(rig.controls.state(kPosition).max, 52920 - 256);

    int stops = rig.recordingStops;
    rig.controls.click(kStop);
    EXPECT_FALSE(rig.sound->deviceOpen());
    EXPECT_EQ(rig.controls.pos(kMeterLeft), 0);
    rig.sound->tick();
    playing(false);
    rig.controls.click(kStop); // ends a DMX recording even with no sound open
    EXPECT_EQ(rig.recordingStops, stops + 2);

    // A sound hot key stops, selects its list position, enables Play and plays.
    auto hotKey = [&](int position) {
        rig.sound->stop();
        rig.list.select(position);
        rig.controls.setEnabled(kPlay, true);
        rig.sound->play();
    };
    hotKey(0);
    EXPECT_TRUE(rig.sound->deviceOpen());
    EXPECT_EQ(rig.controls.state(kPosition).max, 88200 - 256);
    hotKey(5); // a position the list no longer has
    EXPECT_FALSE(rig.sound->deviceOpen());
}

TEST(SoundConsole, VolumeFollowsTheSlidersTheFadeAndTheNextStep) {
    struct Case {
        const char* name;
        int fade;
        bool rude, fadeIn, nextStepSound;
        uint32_t volume;
        int barLeft, barRight;
    } cases[] = {
        {"no fade", 0, false, false, false, packVolume(32767, 24575), 5000, 3750},
        {"hand fade holds the volume", 100, false, false, false, kFullVolume, 5000, 3750},
        {"rude fade", 100, true, false, false, packVolume(32767, 24575), 5000, 3750},
        {"fade in toward the next step", 128, false, true, true, packVolume(16383, 45055), 2500,
         6875},
        {"fade in, next step without volume", 128, false, true, false, packVolume(32767, 24575),
         5000, 3750},
        {"fade in, rude", 128, true, true, true, packVolume(32767, 24575), 0, 0},
    };
    StepRecord next;
    next.sound1 = 10000; // silent left
    next.sound2 = 0;     // full right
    for (const Case& c : cases) {
        SoundRig rig;
        for (auto [id, pos] : {std::pair{1010, 5000}, {1011, 2500}, {1397, 0}, {1057, 5000}})
            rig.controls.setPos(id, pos);
        rig.controls.setPos(1009, c.fade);
        rig.controls.setChecked(1101, c.rude);
        rig.controls.setChecked(1083, c.fadeIn);
        next.stepsound = c.nextStepSound;
        rig.sound->updateVolumes();
        rig.sound->crossFadeVolume(next);
        EXPECT_EQ(rig.sound->output().volume(), c.volume) << c.name;
        EXPECT_EQ(rig.controls.pos(1120), c.barLeft) << c.name;
        EXPECT_EQ(rig.controls.pos(1121), c.barRight) << c.name;
    }

    SoundRig rig;
    rig.sound->output().setVolume(packVolume(32767, 0));
    rig.sound->applyStartupVolume();
    EXPECT_EQ(rig.controls.pos(1010), 5001);
    EXPECT_EQ(rig.controls.pos(1011), 10000);
    EXPECT_EQ(rig.controls.pos(1120), 4999);
    EXPECT_EQ(rig.controls.pos(1121), 0);
}

TEST(SoundConsole, LockedBoxesCoupleTheirPair) {
    struct Case {
        int lock, moved, other;
        bool follows;
    } cases[] = {
        {1114, 1010, 1011, true}, {1114, 1011, 1010, true},  {0, 1010, 1011, false},
        {1117, 1057, 1397, true}, {1117, 1010, 1011, false},
    };
    SoundRig rig;
    for (const Case& c : cases) {
        rig.controls.setChecked(1114, false);
        rig.controls.setChecked(1117, false);
        for (int id : {1010, 1011, 1397, 1057})
            rig.controls.setPos(id, 10000);
        if (c.lock)
            rig.controls.setChecked(c.lock, true);
        rig.controls.scroll(c.moved, 3000);
        EXPECT_EQ(rig.controls.pos(c.other), c.follows ? 3000 : 10000) << c.moved;
    }
}

TEST(SoundConsole, WithoutASoundDeviceNothingPlaysAndTheControlsStayIdle) {
    testing::internal::CaptureStderr();
    SoundRig rig(Driver::Missing);
    rig.addWav("a.wav", makeWavMs(WavParams{}, 300));
    ASSERT_TRUE(rig.loadBank());
    rig.play("a.wav");
    rig.sound->tick();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(rig.sound->deviceOpen());
    EXPECT_EQ(rig.controls.text(kTimeText), "");
    EXPECT_TRUE(rig.controls.enabled(kPlay));
    EXPECT_NE(log.find("orvane: no sound output"), std::string::npos) << log;
}

TEST(SoundConsole, ASoundInAnotherFormatGetsItsOwnDevice) {
    SoundRig rig;
    WavParams mono8{1, 8000, 8};
    rig.addWav("a.wav", makeWavMs(WavParams{}, 1000));
    rig.addWav("b.wav", makeWavMs(mono8, 1000));
    ASSERT_TRUE(rig.loadBank());
    for (const char* name : {"a.wav", "b.wav", "a.wav"}) {
        rig.list.select(name[0] - 'a');
        rig.controls.doubleClick(1003); // replaces the sound that plays
        ASSERT_TRUE(rig.waitFor([&] { return rig.sound->playingPosition() > 0; })) << name;
        rig.sound->tick();
        EXPECT_TRUE(rig.sound->deviceOpen()) << name;
    }
    EXPECT_EQ(rig.controls.state(kPosition).max, 176400 - 256);
}

TEST(SoundConsole, TwentyFourBitAndFloatSoundsReachTheDeviceAsFloatSamples) {
    for (WavParams s : {WavParams{2, 48000, 24}, WavParams{2, 44100, 32, 3}}) {
        SoundRig rig(Driver::DiskFlatOut);
        const uint32_t frames = 4800;
        rig.addWav("a.wav", makeWav(s, toneData(s, frames)));
        ASSERT_TRUE(rig.loadBank());
        rig.play("a.wav");
        // Positions count bytes of the decoded float frames (8 bytes each).
        EXPECT_EQ(rig.controls.state(kPosition).max, int(frames * 8 - 256)) << s.bits;
        ASSERT_TRUE(rig.waitFor([&] {
            rig.sound->tick();
            return !rig.sound->deviceOpen();
        }));
        std::string out = rig.deviceBytes();
        // The device may play silence before the sound starts.
        size_t start = out.find_first_not_of('\0') & ~size_t(7);
        ASSERT_NE(start, std::string::npos);
        const uint32_t played = frames - 256 / 8;
        ASSERT_GE(out.size() - start, played * 8) << s.bits;
        int wrong = 0;
        for (uint32_t i = 0; i < played; ++i)
            for (uint32_t c = 0; c < 2; ++c) {
                float v;
                std::memcpy(&v, out.data() + start + (i * 2 + c) * 4, 4);
                wrong += v != toneSampleFloat(i, c);
            }
        EXPECT_EQ(wrong, 0) << s.bits;
        // Nothing of the unplayed tail follows.
        EXPECT_EQ(out.find_first_not_of('\0', start + played * 8), std::string::npos) << s.bits;
    }
}
