// Profile files: the rules effect files and the user profile rely on.

#include "show/inifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

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
