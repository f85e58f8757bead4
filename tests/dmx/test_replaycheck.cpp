// Whether a replay file plays whole, read with the replay's own reader: files
// the recorder writes do; missing, empty, cut and overlong ones do not.

#include "dmx/dmxrecording.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

TEST(ReplayCheck, ARecordingPlaysWholeAndDamagedFilesSayWhyNot) {
    TempDir dir;
    std::string path = dir.file("dmxraw.bin");
    DmxRecordWriter writer;
    writer.adopt(openForRecording(path));
    Universe u{};
    for (int i = 0; i < 100; ++i) {
        u[0] = uint8_t(i);
        ASSERT_TRUE(writer.write(u));
    }
    writer.close();
    EXPECT_EQ(replayFileProblem(path), std::nullopt);

    std::string whole = readFile(path);
    struct Case {
        std::string contents;
        std::optional<std::string> problem;
    } cases[] = {
        {"", "holds no DMX record"},
        {std::string("\0\0", 2), std::nullopt}, // an empty record plays as one frame
        {whole + "\x02", "ends inside record 101: its 1 bytes are not played"},
        {whole.substr(0, 514 * 3 + 100), "ends inside record 4: its 100 bytes are not played"},
        {whole + std::string("\x01\x02", 2) + std::string(513, '\0'),
         "record 101 is longer than 512 bytes: the replay stops there"},
    };
    for (const Case& c : cases) {
        writeFile(path, c.contents);
        EXPECT_EQ(replayFileProblem(path), c.problem) << c.contents.size() << " bytes";
    }
    EXPECT_EQ(replayFileProblem(dir.file("absent.bin")),
              "cannot be opened: No such file or directory");
}
