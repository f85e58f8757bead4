// What a check learns of a sound folder: the sounds the bank would hold, with
// the very list entries and hot keys the bank gives them, and every file it
// would leave out.

#include "console/controlmodel.h"
#include "show/language.h"
#include "show/textutil.h"
#include "sound/soundbank.h"
#include "support/tempdir.h"
#include "wavmaker.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

TEST(SoundPreview, HoldsWhatTheBankLoadsAndNamesWhatItLeavesOut) {
    TempDir dir;
    WavParams stereo;
    writeFile(dir.file("b gong (SC=G).wav"), asText(makeWavMs(stereo, 1000)));
    writeFile(dir.file("A intro.wav"), asText(makeWavMs(stereo, 500)));
    writeFile(dir.file("damaged.wav"), std::string(2000, 'Z'));
    writeFile(dir.file("song.MP3"), "ID3");
    writeFile(dir.file("take.flac"), "fLaC");
    writeFile(dir.file("notes.txt"), "not a sound");
    std::filesystem::create_directory(dir.file("folder.wav"));
    std::filesystem::create_directory(dir.file("folder.ogg"));

    testing::internal::CaptureStderr();
    SoundBankPreview preview = previewSoundBank(dir.path());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a preview writes no log";

    SoundBank bank;
    testing::internal::CaptureStderr();
    bank.load(dir.path());
    testing::internal::GetCapturedStderr();
    ListModel list;
    std::vector<SoundHotkey> keys = bank.fillList(list);
    ASSERT_EQ(preview.sounds.size(), 2u);
    ASSERT_EQ(list.count(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(preview.sounds[size_t(i)].listText, list.item(i).text);
    EXPECT_EQ(preview.sounds[0].name, "A intro.wav");
    EXPECT_EQ(preview.sounds[0].hotKey, std::nullopt);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(preview.sounds[1].hotKey, keys[0].key);

    ASSERT_EQ(preview.leftOut.size(), 3u);
    EXPECT_EQ(preview.leftOut[0].path, dir.file("damaged.wav"));
    EXPECT_EQ(preview.leftOut[0].reason.rfind("not a sound file that can be decoded", 0), 0u);
    EXPECT_EQ(preview.leftOut[1].path, dir.file("song.MP3"));
    EXPECT_EQ(preview.leftOut[2].path, dir.file("take.flac"));
    EXPECT_EQ(preview.leftOut[2].reason, "not a .wav file: the bank reads only those");
}

TEST(SoundPreview, WhyAFileIsLeftOutIsSaidInTheOperatorsLanguage) {
    TempDir dir;
    writeFile(dir.file("damaged.wav"), std::string(2000, 'Z'));
    writeFile(dir.file("take.flac"), "fLaC");
    ASSERT_TRUE(useLanguage(Language::French));
    SoundBankPreview preview = previewSoundBank(dir.path());
    useLanguage(Language::English);
    ASSERT_EQ(preview.leftOut.size(), 2u);
    EXPECT_EQ(preview.leftOut[0].reason.rfind("pas un fichier audio décodable (", 0), 0u)
        << preview.leftOut[0].reason;
    EXPECT_EQ(preview.leftOut[1].reason, "pas un fichier .wav : la banque ne lit que ceux-là");
}

TEST(SoundPreview, FilesPastThe500thSoundAreLeftOutAndSaidSo) {
    TempDir dir;
    WavParams mono8{1, 8000, 8};
    std::string file = asText(makeWav(mono8, toneData(mono8, 400)));
    writeFile(dir.file("a-damaged.wav"), "RIFF");
    for (int i = 0; i < 502; ++i)
        writeFile(dir.file(format("s%03d.wav", i)), file);

    SoundBankPreview preview = previewSoundBank(dir.path());
    EXPECT_EQ(preview.sounds.size(), 500u);
    EXPECT_EQ(preview.sounds.back().name, "s499.wav");
    ASSERT_EQ(preview.leftOut.size(), 3u);
    EXPECT_EQ(preview.leftOut[1].path, dir.file("s500.wav"));
    EXPECT_EQ(preview.leftOut[2].reason, "the bank holds at most 500 sounds");

    // Loading says the same, through the refusal and on stderr.
    std::vector<std::string> refused;
    SoundBank bank;
    testing::internal::CaptureStderr();
    EXPECT_EQ(bank.load(dir.path(), {},
                        [&](const std::string& path, const std::string& reason) {
                            refused.push_back(path + ": " + reason);
                        }),
              500);
    std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[2], dir.file("s501.wav") + ": the bank holds at most 500 sounds");
    EXPECT_NE(log.find("s501.wav left out: the bank holds at most 500 sounds"), std::string::npos);
}
