// The sound bank: the folder read into slots, refused files, the list texts,
// item data and hot keys, the loading messages and the 500-sound limit.

#include "show/textutil.h"
#include "soundrig.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

TEST(SoundBank, ListsPlayableFilesInNameOrderAndLeavesDamagedOnesOut) {
    SoundRig rig;
    WavParams stereo;
    WavParams mono8{1, 8000, 8};
    rig.addWav("b gong (SC=G).wav", makeWavMs(stereo, 1000));
    rig.addWav("A intro LOOP=3.wav", makeWavMs(stereo, 500));
    rig.addWav("c.WAV", makeWavMs(mono8, 250));
    rig.addWav("damaged.wav", std::vector<uint8_t>(2000, 0x5A));
    rig.addWav("short.wav", makeWav(stereo, toneData(stereo, 10)));
    rig.addWav("notes.txt", makeWavMs(stereo, 100));
    std::filesystem::create_directory(rig.dir.file("folder.wav"));
    std::vector<std::string> labels;
    rig.controls.observe([&](int id, ControlField f) {
        if (id == 1002 && f == ControlField::Text)
            labels.push_back(rig.controls.text(1002));
    });

    testing::internal::CaptureStderr();
    ASSERT_TRUE(rig.loadBank(true)); // "Reload"
    std::string log = testing::internal::GetCapturedStderr();

    ASSERT_EQ(rig.list.count(), 3);
    const char* texts[] = {"A intro LOOP=3.wav 0:00 500", "b gong (SC=G).wav 0:01 000",
                           "c.WAV 0:00 250"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.list.item(i).text, texts[i]);
        EXPECT_EQ(rig.list.item(i).data, i);
    }
    EXPECT_EQ(rig.sound->bank().slot(0)->loops, 3u);
    EXPECT_EQ(rig.hotkeys, (std::vector<SoundHotkey>{{0x80000001u, {'G', kModAlt}}}));
    EXPECT_NE(log.find("damaged.wav left out: not a sound file that can be decoded"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("short.wav left out: only 40 bytes"), std::string::npos) << log;
    // The operator's log names each refused file with its path and the reason.
    ASSERT_EQ(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[0].rfind("Sound file " + rig.dir.file("damaged.wav") +
                                   " left out: not a sound file that can be decoded",
                               0),
              0u)
        << rig.log[0];
    EXPECT_EQ(rig.log[1], "Sound file " + rig.dir.file("short.wav") +
                              " left out: only 40 bytes of sample data, at least 300 needed");
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), "Loading the sound file A intro LOOP=3.wav...");
    EXPECT_EQ(labels.back(), "");

    // Reload reads the folder again; the hot keys follow the new list positions.
    std::filesystem::remove(rig.dir.file("A intro LOOP=3.wav"));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(rig.loadBank(true));
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(rig.list.count(), 2);
    EXPECT_EQ(rig.hotkeys, (std::vector<SoundHotkey>{{0x80000000u, {'G', kModAlt}}}));
}

TEST(SoundBank, LoadsAtMost500Sounds) {
    TempDir dir;
    WavParams mono8{1, 8000, 8};
    std::string file = asText(makeWav(mono8, toneData(mono8, 400)));
    for (int i = 0; i < 502; ++i)
        writeFile(dir.file(format("s%03d.wav", i)), file);
    SoundBank bank;
    EXPECT_EQ(bank.load(dir.path()), 500);
    EXPECT_EQ(bank.slot(499)->name, "s499.wav");
    EXPECT_EQ(bank.slot(500), nullptr);
    EXPECT_EQ(bank.slot(-1), nullptr);
}

TEST(SoundBank, OnlyRegularFilesAreOpenedAndOthersAreLoggedNotWaitedFor) {
    SoundRig rig;
    WavParams stereo;
    rig.addWav("a.wav", makeWavMs(stereo, 300));
    ASSERT_EQ(::mkfifo(rig.dir.file("pipe.wav").c_str(), 0644), 0);
    std::filesystem::create_symlink(rig.dir.file("a.wav"), rig.dir.file("link.wav"));
    std::filesystem::create_symlink(rig.dir.file("gone"), rig.dir.file("dangling.wav"));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(rig.loadBank()); // a FIFO opened for reading would wait here for a writer
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(rig.list.count(), 2);
    EXPECT_EQ(rig.list.item(0).text, "a.wav 0:00 300");
    EXPECT_EQ(rig.list.item(1).text, "link.wav 0:00 300");
    ASSERT_EQ(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[0], "Sound file " + rig.dir.file("dangling.wav") +
                              " left out: cannot be opened: No such file or directory");
    EXPECT_EQ(rig.log[1],
              "Sound file " + rig.dir.file("pipe.wav") + " left out: not a regular file");
}
