// Profile files: the rules effect files and the user profile rely on.

#include "show/inifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using orvane::test::readFile;
using orvane::test::TempDir;
using orvane::test::writeFile;

TEST(IniFile, ReadsEveryAcceptedSpellingAndFirstMatchWins) {
    TempDir dir;
    std::string path = dir.file("a.efe");
    writeFile(path, "; comment\n[General]\nlen = 5\n\nLEN=9\r\n[general]\nname=second\n"
                    "[Other]\r\nkey=value with = sign\r\n");
    ProfileFiles p;
    EXPECT_EQ(p.readInt(path, "GENERAL", "Len", -1), 5);
    EXPECT_EQ(p.readString(path, "general", "name", "none"), "none");
    EXPECT_EQ(p.readString(path, "other", "KEY", ""), "value with = sign");
    EXPECT_EQ(p.readInt(path, "missing", "len", 42), 42);
    EXPECT_EQ(p.readString(path, "other", "key", "", 6), "value");
    EXPECT_EQ(p.readInt(dir.file("absent"), "a", "b", 7), 7);
}

TEST(IniFile, WritesCrLfAndReplacesValuesInPlace) {
    TempDir dir;
    std::string path = dir.file("b.efe");
    ProfileFiles p;
    EXPECT_TRUE(p.writeString(path, "0", "check1", "1"));
    EXPECT_TRUE(p.writeString(path, "1", "master", "12"));
    EXPECT_TRUE(p.writeString(path, "0", "CHECK1", "0"));
    EXPECT_EQ(readFile(path), "[0]\r\ncheck1=0\r\n[1]\r\nmaster=12\r\n");
}

TEST(IniFile, BatchWritesOnceAndSeesItsOwnChanges) {
    TempDir dir;
    std::string path = dir.file("c.efe");
    ProfileFiles p;
    p.beginBatch();
    for (int i = 0; i < 100; ++i)
        p.writeString(path, std::to_string(i), "v", std::to_string(i * 2));
    EXPECT_EQ(p.readInt(path, "50", "v", -1), 100);
    EXPECT_EQ(readFile(path), "");
    EXPECT_TRUE(p.endBatch());
    ProfileFiles fresh;
    EXPECT_EQ(fresh.readInt(path, "99", "v", -1), 198);
}

TEST(IniFile, SeesChangesMadeOnDiskByOthers) {
    TempDir dir;
    std::string path = dir.file("d.ini");
    ProfileFiles p;
    writeFile(path, "[s]\nk=1\n");
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 1);
    writeFile(path, "[s]\nk=22\n");
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 22);
}

TEST(IniFile, ReadAndWrittenBackEveryKeyReadsTheSame) {
    const std::string texts[] = {
        std::string(ORVANE_SOURCE_DIR) +
            "/tests/data/fuzz-repro/ini_keyless_line_becomes_section.ini",
    };
    std::string keyless = readFile(texts[0]);
    for (const std::string& text :
         {keyless, std::string("[a]\n=[0\nk=1\n;c=2\n[b]\r\n  x = y  \r\n[a]\nk=3\n"),
          std::string("junk before\n[s]\nno equals\n\r[t]\nk=\xE9\n")}) {
        IniDocument doc = IniDocument::parse(text);
        IniDocument again = IniDocument::parse(doc.serialize());
        EXPECT_EQ(again.sectionNames(), doc.sectionNames()) << text;
        for (const std::string& s : doc.sectionNames())
            for (const char* k : {"", "k", "x", "len", "=", "c", ";c"})
                EXPECT_EQ(again.get(s, k), doc.get(s, k)) << text << " [" << s << "] " << k;
    }
    // The key-less line stays a line of its section, not a new section.
    IniDocument doc = IniDocument::parse(keyless);
    EXPECT_EQ(doc.sectionNames(), std::vector<std::string>{"eft"});
    EXPECT_EQ(doc.get("eft", "len"), "1");
    EXPECT_NE(doc.serialize().find("\r\n=[0\r\n"), std::string::npos);
}

TEST(IniFile, AFileOfManySectionsFindsEachKeyInItsFirstSection) {
    std::string text = "[effect]\nlen=2\n";
    for (int i = 0; i < 20000; ++i)
        text += "[" + std::to_string(900000 + i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[123456]\nmaster=9\n[123456]\nmaster=1\n";
    IniDocument doc = IniDocument::parse(text);
    EXPECT_EQ(doc.get("919999", "K"), "19999");
    EXPECT_EQ(doc.get("123456", "master"), "9");
    EXPECT_EQ(doc.get("123457", "master"), std::nullopt);
    doc.set("900005", "k", "changed");
    doc.set("900005", "new", "added");
    doc.erase("900005", "K");
    EXPECT_EQ(doc.get("900005", "k"), std::nullopt);
    EXPECT_EQ(doc.get("900005", "new"), "added");
}

TEST(IniFile, OnlyARegularFileIsRead) {
    TempDir dir;
    std::string path = dir.file("fifo.efe");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    ProfileFiles p;
    EXPECT_EQ(p.readInt(path, "effect", "len", -1), -1); // at once, without blocking
}

TEST(IniFile, ABatchLooksAtAFileOnceAndTheNextBatchAgain) {
    TempDir dir;
    std::string path = dir.file("e.efe");
    writeFile(path, "[s]\nk=1\n");
    ProfileFiles p;
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 1);
    writeFile(path, "[s]\nk=22\n");
    p.beginBatch();
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 22); // the first look of a batch sees the disk
    writeFile(path, "[s]\nk=333\n");
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 22);
    EXPECT_TRUE(p.endBatch());
    p.beginBatch();
    EXPECT_EQ(p.readInt(path, "s", "k", 0), 333);
    EXPECT_TRUE(p.endBatch());
}

TEST(IniFile, MemoryStaysBoundedWhateverFilesAreRead) {
    TempDir dir;
    ProfileFiles p;
    // Many files read one after the other: only the latest few stay in memory,
    // and each still reads right when asked again.
    for (int i = 0; i < 12; ++i) {
        std::string path = dir.file("f" + std::to_string(i) + ".efe");
        writeFile(path, "[s]\nk=" + std::to_string(i) + "\n");
        EXPECT_EQ(p.readInt(path, "s", "k", -1), i);
        EXPECT_LE(p.cachedFiles(), kProfileFilesCached);
    }
    EXPECT_EQ(p.readInt(dir.file("f0.efe"), "s", "k", -1), 0);
    // A file of more lines than any effect holds reads as an empty one.
    std::string many = "[s]\nk=1\n";
    for (size_t i = 0; i < kProfileFileMaxLines; ++i)
        many += "x\n";
    writeFile(dir.file("many.efe"), many);
    EXPECT_EQ(p.readInt(dir.file("many.efe"), "s", "k", -1), -1);
    EXPECT_EQ(IniDocument::parse("[s]\nk=1\n", 2).get("s", "k"), "1");
    EXPECT_FALSE(IniDocument::parse("[s]\nk=1\nx\n", 2).hasSection("s"));
}
