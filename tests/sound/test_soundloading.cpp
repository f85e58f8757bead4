// The bank read off the user-interface thread: a decoder that never returns
// (a test double that waits on a gate the test opens only at its end) costs
// the bound and no more, the sounds after it still arrive, the abandoned file
// is not tried again until it changes, the console's shutdown does not wait
// for it, and a step's sound asked for while the bank fills plays on arrival.

#include "soundrig.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace orvane;
using namespace orvane::test;

namespace {

// Files that begin with "HANG" send the decoder into a wait that ends only
// when the test releases it; every other file is decoded as the bank does.
struct HangingDecoder {
    struct Shared {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        std::atomic<int> hangs{0};
        std::atomic<int> returned{0};
    };
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();

    DecodeOptions options(Milliseconds bound) const {
        DecodeOptions o;
        o.bound = bound;
        o.decoder = [s = shared](std::span<const uint8_t> file, std::string& error) {
            if (file.size() >= 4 && std::memcmp(file.data(), "HANG", 4) == 0) {
                ++s->hangs;
                std::unique_lock<std::mutex> lock(s->mutex);
                s->released.wait(lock, [&] { return s->open; });
                ++s->returned;
                error = "released";
                return std::optional<DecodedSound>();
            }
            return decodeWavFromMemory(file, error);
        };
        return o;
    }
    void release() const {
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->open = true;
        }
        shared->released.notify_all();
    }
};

std::vector<std::string> listTexts(const ListModel& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i)
        texts.push_back(list.item(i).text);
    return texts;
}

} // namespace

TEST(SoundLoading, AHangingDecoderCostsTheBoundAndTheOtherSoundsStillArrive) {
    HangingDecoder decoder;
    SoundRig rig(Driver::Dummy, decoder.options(200ms));
    rig.addWav("a.wav", makeWavMs(WavParams{}, 300));
    rig.addWav("b (SC=B).wav", {'H', 'A', 'N', 'G'});
    rig.addWav("c (SC=C).wav", makeWavMs(WavParams{}, 400));

    testing::internal::CaptureStderr();
    ASSERT_TRUE(rig.loadBank());
    std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(decoder.shared->hangs, 1);
    EXPECT_EQ(decoder.shared->returned, 0); // abandoned, still waiting
    EXPECT_GT(rig.arrivals, 0);
    EXPECT_EQ(listTexts(rig.list),
              (std::vector<std::string>{"a.wav 0:00 300", "c (SC=C).wav 0:00 400"}));
    EXPECT_EQ(rig.list.item(1).data, 1); // the next slot, not the file's place
    EXPECT_EQ(rig.hotkeys, (std::vector<SoundHotkey>{{0x80000001u, {'C', kModAlt}}}));
    const std::string why = "not decoded within 200 ms (the decoder did not return: the file "
                            "may be damaged)";
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_EQ(rig.log[0], "Sound file " + rig.dir.file("b (SC=B).wav") + " left out: " + why);
    EXPECT_NE(stderrText.find("b (SC=B).wav left out: " + why), std::string::npos);
    EXPECT_EQ(rig.controls.text(1002), "");

    // Reloading leaves the abandoned file out at once: no second thread for it.
    rig.log.clear();
    ASSERT_TRUE(rig.loadBank(true));
    EXPECT_EQ(decoder.shared->hangs, 1);
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_NE(rig.log[0].find("not tried again until it changes"), std::string::npos) << rig.log[0];
    // Once the file changes, it is read again.
    rig.addWav("b (SC=B).wav", makeWavMs(WavParams{}, 500));
    ASSERT_TRUE(rig.loadBank(true));
    EXPECT_EQ(rig.list.count(), 3);
    decoder.release();
}

TEST(SoundLoading, ShutdownDoesNotWaitForADecoderThatNeverReturns) {
    HangingDecoder decoder;
    SoundRig rig(Driver::Dummy, decoder.options(Milliseconds{600'000}));
    rig.addWav("a.wav", {'H', 'A', 'N', 'G'});
    rig.sound->loadBank();
    ASSERT_TRUE(rig.waitFor([&] { return decoder.shared->hangs == 1; }));
    rig.sound->shutdown();
    EXPECT_EQ(decoder.shared->returned, 0);
    EXPECT_FALSE(rig.sound->loading());
    decoder.release();
}

TEST(SoundLoading, AStepSoundAskedForWhileTheBankFillsPlaysWhenItArrives) {
    for (bool stoppedFirst : {false, true}) {
        HangingDecoder decoder;
        SoundRig rig(Driver::Dummy, decoder.options(300ms));
        rig.addWav("a.wav", {'H', 'A', 'N', 'G'});
        rig.addWav("b.wav", makeWavMs(WavParams{}, 1000));
        rig.sound->loadBank();
        EXPECT_TRUE(rig.sound->playWhenLoaded("B.WAV"));
        if (stoppedFirst)
            rig.controls.click(1006); // Stop: the operator, or the next step
        ASSERT_TRUE(rig.waitFor([&] {
            rig.sound->takeArrivals();
            return !rig.sound->loading();
        }));
        EXPECT_EQ(rig.sound->deviceOpen(), !stoppedFirst) << stoppedFirst;
        EXPECT_EQ(rig.list.selected(), stoppedFirst ? -1 : 0) << stoppedFirst;
        // A complete bank has nothing more to bring.
        EXPECT_FALSE(rig.sound->playWhenLoaded("missing.wav"));
        decoder.release();
    }
}
