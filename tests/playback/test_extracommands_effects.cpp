// Extra commands that leave something running: the random and sound-active
// fader walks and their ticks, effect files (LOAD=, LOADLOOP=) and their
// playback on a manual clock, matrix pictures, DMX replay, the video player's
// socket and a real detached process.

#include "console/console.h"
#include "dmx/dmxoutput.h"
#include "dmx/dmxrecording.h"
#include "programs/videoplayerclient.h"
#include "show/patch.h"
#include "support/recordingline.h"
#include "test_extracommands_util.h"

#include <QImage>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

std::vector<int> faders(const FaderList& list) {
    std::vector<int> out;
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list[i]);
    return out;
}

struct WalkCase {
    std::string text;
    std::vector<int> random;
    int min, max;
    std::vector<int> soundActive;
};

class FaderWalk : public ExtraFixture, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(FaderWalk, ListsTheFadersTheWalkReaches) {
    const WalkCase& c = GetParam();
    run(c.text);
    EXPECT_EQ(faders(effects.random().list()), c.random) << c.text;
    EXPECT_EQ(effects.random().bounds().min, c.min);
    EXPECT_EQ(effects.random().bounds().max, c.max);
    EXPECT_EQ(faders(effects.soundActive().list()), c.soundActive);
}

std::string manyFaders(const char* keyword, int n) {
    std::string s = keyword;
    for (int i = 0; i < n; ++i)
        s += (i ? "," : "") + std::to_string(i % 24 + 1);
    return s;
}

std::vector<int> firstFaders(int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(i % 24 + 1);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FaderWalk,
    ::testing::Values(WalkCase{"RANDOM=1,2,3", {1, 2, 3}, 0, 0, {}},
                      // The blank is skipped by the number, but the walk stays on it and ends.
                      WalkCase{"RANDOM=1, 2,3", {1, 2}, 0, 0, {}},
                      WalkCase{"RANDOM=1,2,min=10,MAX=20", {1, 2}, 10, 20, {}},
                      WalkCase{"RANDOM=min=5,max=9,4", {4}, 5, 9, {}},
                      WalkCase{"RANDOM=5,Min= 7,3", {5}, 7, 0, {}},
                      WalkCase{"RANDOM=0,25,24,-3,7", {24}, 0, 0, {}},
                      WalkCase{"RANDOM=1,1,1", {1, 1, 1}, 0, 0, {}},
                      WalkCase{"RANDOM=", {}, 0, 0, {}}, WalkCase{"RANDOM=3,", {3}, 0, 0, {}},
                      WalkCase{manyFaders("RANDOM=", 70), firstFaders(64), 0, 0, {}},
                      WalkCase{"SOUNDACTIVE=3,min=5,4", {}, 0, 0, {3}},
                      WalkCase{"SOUNDACTIVE=24,23\r\nRANDOM=2,max=99", {2}, 0, 99, {24, 23}},
                      WalkCase{manyFaders("SOUNDACTIVE=", 65), {}, 0, 0, firstFaders(64)}));

TEST_F(ExtraFixture, RandomBoundsOutliveTheReset) {
    run("RANDOM=1,min=10,max=20");
    effects.reset();
    EXPECT_EQ(effects.random().list().count(), 0);
    run("RANDOM=2");
    EXPECT_EQ(faders(effects.random().list()), std::vector<int>{2});
    EXPECT_EQ(effects.random().bounds().min, 10);
    EXPECT_EQ(effects.random().bounds().max, 20);
}

TEST_F(ExtraFixture, RandomTickDrawsFromMinToBelowMax) {
    run("RANDOM=1,7,min=10,max=14");
    int unlisted = faderPos(2);
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        effects.tickRandom();
        for (int f : {1, 7}) {
            int level = 255 - faderPos(f);
            ASSERT_GE(level, 10);
            ASSERT_LT(level, 14);
            seen.insert(level);
        }
    }
    EXPECT_EQ(seen, (std::set<int>{10, 11, 12, 13}));
    EXPECT_EQ(faderPos(2), unlisted);
}

TEST_F(ExtraFixture, RandomWithEqualOrCrossedBounds) {
    controls.setPos(levelFaderId(3), 100);
    run("RANDOM=3,min=30,max=30");
    effects.tickRandom();
    EXPECT_EQ(faderPos(3), 255 - 30);

    effects.reset();
    run("RANDOM=3,min=50,max=20");
    controls.setPos(levelFaderId(3), 100);
    effects.tickRandom();
    EXPECT_EQ(faderPos(3), 100) << "max below min leaves the fader alone";

    effects.reset();
    run("RANDOM=3,min=0,max=0");
    effects.tickRandom();
    EXPECT_EQ(faderPos(3), 255);
}

TEST_F(ExtraFixture, SoundActiveFollowsTheMeters) {
    run("SOUNDACTIVE=1,2");
    struct {
        int left, right, level;
    } meters[] = {{0, 0, 0}, {3000, 0, 25}, {15000, 15000, 255}, {30000, 30000, 255}, {1, 1, 0}};
    for (auto m : meters) {
        effects.tickSoundActive(m.left, m.right);
        EXPECT_EQ(255 - faderPos(1), m.level) << m.left << "+" << m.right;
        EXPECT_EQ(255 - faderPos(2), m.level);
    }
}

// --- effect files -------------------------------------------------------------

struct LoadCase {
    const char* name;
    std::vector<std::string> files; // effect files written in the root
    std::string text;
    bool running;
    EffectOptions options;
    std::string file; // the one loaded, relative to the root
};

class Load : public ExtraFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(Load, FindsTheFileAndSetsTheOptions) {
    const LoadCase& c = GetParam();
    std::filesystem::create_directories(root.file("sub"));
    for (const std::string& f : c.files)
        writeEffect(session.store(), root.file(f), {{10, 1.0}, {20, 1.0}});
    run(c.text, 5000ms);
    const EffectPlayback& e = effects.effect();
    ASSERT_EQ(e.running(), c.running);
    if (!c.running)
        return;
    EXPECT_EQ(e.options().fade, c.options.fade);
    EXPECT_EQ(e.options().dontWriteMaster, c.options.dontWriteMaster);
    EXPECT_EQ(e.options().loop, c.options.loop);
    EXPECT_EQ(e.fileName(), root.file(c.file));
    EXPECT_EQ(e.count(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Load,
    ::testing::Values(
        LoadCase{
            "OptionsAnyCase", {"x.efe"}, "LOAD=fade,dwm,x.efe", true, {false, true, true}, "x.efe"},
        // "FADE," must come first: this one looks for a file named FADE.
        LoadCase{"DwmBeforeFadeLooksForFade", {"x.efe"}, "LOAD=DWM,FADE,x.efe", false, {}, ""},
        LoadCase{"DwmBeforeFadeFindsFade",
                 {"FADE"},
                 "LOAD=DWM,FADE,x.efe",
                 true,
                 {false, false, true},
                 "FADE"},
        LoadCase{"Loop", {"x.efe"}, "LOADLOOP=x.efe", true, {true, false, false}, "x.efe"},
        LoadCase{"LoadWinsOverLoop",
                 {"a.efe", "b.efe"},
                 "LOADLOOP=b.efe\r\nLOAD=a.efe",
                 true,
                 {false, false, false},
                 "a.efe"},
        LoadCase{"NameCutAtCommaAndLine",
                 {"x.efe"},
                 "LOAD=FADE,x.efe,MISC1=ON\r\n",
                 true,
                 {false, true, false},
                 "x.efe"},
        LoadCase{"MissingFileIsIgnored", {}, "LOAD=none.efe", false, {}, ""},
        LoadCase{"BackslashAndCaseOfAnotherMachine",
                 {"sub/Chase.efe"},
                 "LOAD=SUB\\CHASE.EFE",
                 true,
                 {},
                 "sub/Chase.efe"},
        LoadCase{"AFolderIsNoFile", {}, "LOAD=sub", false, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExtraFixture, TheShowFileIsNoEffect) {
    std::filesystem::create_directories(root.file("show"));
    writeFile(root.file("show/dmx.ini"), "[effect]\r\nlen=2\r\n");
    controls.setPos(levelFaderId(1), 100);
    run("LOAD=SHOW\\DMX.INI");
    EXPECT_FALSE(effects.effect().running());
    EXPECT_EQ(faderPos(1), 100);
}

struct Playback : ExtraFixture {
    int level() const { return 255 - faderPos(1); }
    int master() const { return 255 - controls.pos(console::kMaster); }
    void tick(Milliseconds now) { effects.tickEffect(now); }
};

TEST_F(Playback, FadeBlendsEachRecordIntoTheNextOverItsDuration) {
    writeEffect(session.store(), root.file("x.efe"), {{0, 1.0}, {100, 0.5}, {200, 0.2}});
    run("LOAD=FADE,x.efe", 1000ms);
    ASSERT_TRUE(effects.effect().running());
    EXPECT_EQ(level(), 0);
    struct {
        int64_t now;
        int level;
        bool running;
    } expected[] = {
        {1500, 50, true},                       // half of record 0's second: (128 x 100) / 256
        {2000, 100, true},                      // record 1 takes over
        {2250, 150, true},                      // half way to record 2
        {2500, 200, true},                      // record 2, the last: no blend, 200 ms
        {2600, 200, true},  {2700, 200, false}, // its time is up: the effect ends
        {5000, 200, false},
    };
    for (auto e : expected) {
        tick(Milliseconds{e.now});
        EXPECT_EQ(level(), e.level) << "at " << e.now;
        EXPECT_EQ(master(), e.level) << "at " << e.now;
        EXPECT_EQ(effects.effect().running(), e.running) << "at " << e.now;
    }
}

TEST_F(Playback, LoopStartsAgainAndDwmLeavesTheMaster) {
    writeEffect(session.store(), root.file("x.efe"), {{10, 0.1}, {20, 0.1}});
    controls.setPos(console::kMaster, 255 - 77);
    run("LOADLOOP=DWM,x.efe", 0ms);
    Milliseconds now = 0ms;
    std::vector<int> levels;
    for (int i = 0; i < 6; ++i) {
        tick(now += 100ms);
        levels.push_back(level());
    }
    EXPECT_EQ(levels, (std::vector<int>{20, 10, 20, 10, 20, 10}));
    EXPECT_TRUE(effects.effect().running());
    EXPECT_EQ(master(), 77);
}

TEST_F(Playback, RudeRecordsAndNoFadeJump) {
    writeEffect(session.store(), root.file("rude.efe"), {{0, 1.0, 1}, {100, 1.0}});
    run("LOAD=FADE,rude.efe", 0ms);
    tick(500ms);
    EXPECT_EQ(level(), 0) << "record 0 is rude: no blend";
    tick(1000ms);
    EXPECT_EQ(level(), 100);

    writeEffect(session.store(), root.file("x.efe"), {{0, 1.0}, {100, 1.0}});
    run("LOAD=x.efe", 0ms);
    tick(999ms);
    EXPECT_EQ(level(), 0);
    tick(1000ms);
    EXPECT_EQ(level(), 100);
}

TEST_F(Playback, ZeroDurationsAdvanceOneRecordATick) {
    writeEffect(session.store(), root.file("x.efe"), {{1, 0}, {2, 0}, {3, 0}});
    run("LOAD=FADE,x.efe", 0ms);
    tick(0ms);
    EXPECT_EQ(level(), 2);
    tick(0ms);
    EXPECT_EQ(level(), 3);
    tick(0ms);
    EXPECT_FALSE(effects.effect().running());
}

TEST_F(Playback, DamagedLongOrEmptyFilesNeverReadPastTheRecords) {
    // 500 claimed, 128 read.
    writeEffect(session.store(), root.file("long.efe"), {{5, 0.1}});
    session.store().WriteStoreValue("effect", "len", "500", root.file("long.efe"));
    run("LOADLOOP=long.efe", 0ms);
    EXPECT_EQ(effects.effect().count(), 128);
    for (Milliseconds now = 0ms; now < 40s; now += 100ms)
        tick(now);

    const char junk[] = "\x00\xff[effect\r\nlen=-7\r\n\x01garbage";
    writeFile(root.file("junk.efe"), std::string(junk, sizeof junk - 1));
    run("LOADLOOP=junk.efe", 0ms);
    EXPECT_EQ(effects.effect().count(), 0);
    EXPECT_FALSE(effects.effect().running());
    tick(10000ms);

    // No "effect" section: the first record (defaults) is shown, nothing runs.
    controls.setPos(levelFaderId(1), 0);
    writeFile(root.file("empty.efe"), "");
    run("LOAD=empty.efe", 0ms);
    EXPECT_EQ(level(), 0);
    EXPECT_FALSE(effects.effect().running());
}

// --- matrix pictures ----------------------------------------------------------

std::string writeBmp(const std::string& path, int w, int h, QRgb (*colour)(int x, int y)) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colour(x, y));
    EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    return path;
}

QRgb gradient(int x, int y) {
    return qRgb(x * 10, y * 10, 7);
}
QRgb red(int, int) {
    return qRgb(255, 0, 0);
}

TEST(MatrixPicture, BlockAverageWrapsAroundThePicture) {
    TempDir dir;
    MatrixPicture picture;
    ASSERT_TRUE(picture.load(writeBmp(dir.file("g.bmp"), 8, 6, gradient)));
    EXPECT_EQ(picture.width(), 8);
    EXPECT_EQ(picture.height(), 6);
    EXPECT_EQ(picture.pixel(3, 2), makeColour(30, 20, 7));
    EXPECT_EQ(picture.pixel(-1, 6), makeColour(70, 0, 7));
    // Toward +x and +y from (0, 0): columns 0-3, rows 0-3.
    EXPECT_EQ(picture.blockAverage(0, 0, 1, 1), makeColour(15, 15, 7));
    // Toward -x from 0: columns 0, 7, 6, 5 -> (0 + 70 + 60 + 50) / 4.
    EXPECT_EQ(picture.blockAverage(0, 0, -1, 1), makeColour(45, 15, 7));
    // Rows 1, 0, 5, 4 -> (10 + 0 + 50 + 40) / 4 = 25.
    EXPECT_EQ(picture.blockAverage(8, 1, 1, -1), makeColour(15, 25, 7));
}

TEST(MatrixPicture, RefusesWhatIsNotABitmap) {
    TempDir dir;
    MatrixPicture picture;
    writeFile(dir.file("junk.bmp"), std::string("BM\x10\x00\x00\x00garbage-garbage", 21));
    EXPECT_FALSE(picture.load(dir.file("junk.bmp")));
    EXPECT_TRUE(picture.empty());
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::red);
    png.save(QString::fromStdString(dir.file("p.png")), "PNG");
    EXPECT_FALSE(picture.load(dir.file("p.png")));
    EXPECT_FALSE(picture.load(dir.file("missing.bmp")));
    writeFile(dir.file("short.bmp"), "B");
    EXPECT_FALSE(picture.load(dir.file("short.bmp")));
    // Neither a FIFO (its open would wait for a writer) nor a folder.
    ASSERT_EQ(::mkfifo(dir.file("fifo.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(picture.load(dir.file("fifo.bmp")));
    std::filesystem::create_directory(dir.file("folder.bmp"));
    EXPECT_FALSE(picture.load(dir.file("folder.bmp")));
}

struct Matrix : ExtraFixture {
    std::vector<int> painted;
    void tick() {
        effects.tickMatrix([this](int entry, uint32_t) { painted.push_back(entry); });
    }
    std::vector<int> roomLamps() const {
        std::vector<int> out;
        for (int i = 0; i < kEntryCount; ++i)
            if (kPatch[i].type == kTypeLamp && kPatch[i].group == kGroupRgbRoom)
                out.push_back(i);
        return out;
    }
};

TEST_F(Matrix, PaintsTheRoomLampsFromThePicture) {
    writeBmp(root.file("red.bmp"), 16, 16, red);
    run("MATRIX=red.bmp,0,0");
    ASSERT_TRUE(effects.matrix().hasPicture());
    tick();
    ASSERT_EQ(painted, roomLamps());
    EXPECT_EQ(painted.size(), 10u);
    for (int i : roomLamps())
        EXPECT_EQ(session.console().lamps()[size_t(i)].colour, makeColour(255, 0, 0));
}

TEST_F(Matrix, NameSpeedsAndTheAddedExtension) {
    writeBmp(root.file("pic.bmp"), 8, 8, gradient);
    run("MATRIX=PIC,1.5,-2");
    EXPECT_EQ(effects.matrix().name(), "PIC.BMP");
    EXPECT_TRUE(effects.matrix().hasPicture());
    EXPECT_FLOAT_EQ(effects.matrix().speedX(), 1.5f);
    EXPECT_FLOAT_EQ(effects.matrix().speedY(), -2.0f);
    tick();
    tick();
    EXPECT_FLOAT_EQ(effects.matrix().offsetX(), 3.0f);
    EXPECT_FLOAT_EQ(effects.matrix().offsetY(), -4.0f);

    // Its own line: commas on the next line are not its arguments.
    effects.reset();
    run("MATRIX=pic.bmp\r\nRANDOM=1,2");
    EXPECT_TRUE(effects.matrix().hasPicture());
    EXPECT_EQ(effects.matrix().speedX(), 0.0f);
}

TEST_F(Matrix, APictureThatDoesNotDecodeDrawsNothing) {
    writeFile(root.file("bad.bmp"), "BMnot really a bitmap");
    for (int i : roomLamps())
        session.console().lamps()[size_t(i)].colour = 0x123456;
    run("MATRIX=bad.bmp,1,1");
    EXPECT_FALSE(effects.matrix().hasPicture());
    tick();
    EXPECT_TRUE(painted.empty());
    EXPECT_EQ(session.console().lamps()[size_t(roomLamps()[0])].colour, 0x123456u);

    run("MATRIX=missing,1,1");
    tick();
    EXPECT_TRUE(painted.empty());
}

TEST_F(Matrix, HugeOrOddSpeedsStayInsideThePicture) {
    writeBmp(root.file("g.bmp"), 8, 8, gradient);
    run("MATRIX=g.bmp,1e30,nan");
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_LT(std::abs(effects.matrix().offsetX()), 8.0f);
    EXPECT_EQ(effects.matrix().offsetY(), 0.0f);
    effects.reset();
    EXPECT_FALSE(effects.matrix().hasPicture());
    EXPECT_EQ(effects.matrix().name(), "");
}

TEST_F(Matrix, AbsoluteNamesAreTakenAsGivenAndSpeedsStayFloats) {
    TempDir elsewhere;
    writeBmp(elsewhere.file("far.bmp"), 8, 8, gradient);
    run("MATRIX=" + elsewhere.file("far.bmp") + ",1e300,-1e300");
    EXPECT_TRUE(effects.matrix().hasPicture());
    EXPECT_GT(effects.matrix().speedX(), 0.0f);
    EXPECT_LT(effects.matrix().speedY(), 0.0f);
    EXPECT_TRUE(std::isfinite(effects.matrix().speedX()));
    tick();
    EXPECT_LT(std::abs(effects.matrix().offsetX()), 8.0f);
    // Without an extension in its last part, ".BMP" is added there.
    writeBmp(elsewhere.file("pic.BMP"), 8, 8, gradient);
    effects.reset();
    run("MATRIX=" + elsewhere.file("pic"));
    EXPECT_TRUE(effects.matrix().hasPicture());
    EXPECT_EQ(effects.matrix().name(), elsewhere.file("pic.BMP"));
}

TEST_F(ExtraFixture, LoadTakesAnAbsoluteEffectName) {
    TempDir elsewhere;
    writeEffect(session.store(), elsewhere.file("far.efe"), {{200, 1.0}, {100, 1.0}});
    run("LOAD=" + elsewhere.file("far.efe"));
    EXPECT_TRUE(effects.effect().running());
    EXPECT_EQ(effects.effect().count(), 2);
}

// --- DMX replay ---------------------------------------------------------------

TEST_F(ExtraFixture, ReplayOpensTheFileForTheOutputTick) {
    RecordingLine line;
    DmxOutputOptions options;
    options.message = [](std::string_view, std::string_view) {};
    options.dmxPortSetting = [] { return std::string("/dev/ttyDMX"); };
    options.runThread = false;
    unsetenv("ORVANE_DMX_PORT");
    DmxOutput output(line, options);
    ASSERT_EQ(output.start(), 0);
    extra.services().startReplay = [&](const std::string& path) {
        return output.startReplay(path);
    };

    std::string records;
    for (int i = 0; i < 9; ++i) {
        Universe u{};
        u.fill(uint8_t(i));
        RecordBytes r = encodeRecord(u);
        records.append(reinterpret_cast<const char*>(r.data()), r.size());
    }
    writeFile(root.file("dmxraw.bin"), records);

    run("REPLAYDMX=missing.bin");
    output.runTick(30);
    EXPECT_EQ(output.pollStatus().value_or(""), "");

    run("REPLAYDMX=DMXRAW.BIN,MISC1=ON\r\n");
    output.runTick(60);
    EXPECT_EQ(output.pollStatus().value_or("(none)"), "replaying dmx raw 3");
}

TEST_F(ExtraFixture, ReplayNameIsCut) {
    writeFile(root.file("r.bin"), "");
    run("REPLAYDMX=r.bin,x\r\nMISC1=ON");
    EXPECT_EQ(replays, std::vector<std::string>{root.file("r.bin")});
    run("REPLAYDMX=" + std::string(1200, 'a'));
    EXPECT_EQ(replays.size(), 1u);
}

// --- the video player's socket ------------------------------------------------

class PlayerServer {
public:
    explicit PlayerServer(const std::string& path) : m_path(path) { listenAgain(); }
    ~PlayerServer() {
        dropClient();
        if (m_listen >= 0)
            ::close(m_listen);
        ::unlink(m_path.c_str());
    }
    void listenAgain() {
        ::unlink(m_path.c_str());
        m_listen = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, m_path.c_str(), sizeof addr.sun_path - 1);
        EXPECT_EQ(::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(m_listen, 4), 0);
    }
    void stopListening() {
        ::close(m_listen);
        m_listen = -1;
        ::unlink(m_path.c_str());
    }
    // The next message a client sent: the length word and the text.
    std::pair<uint32_t, std::string> receive() {
        if (m_client < 0)
            m_client = ::accept(m_listen, nullptr, nullptr);
        unsigned char length[4];
        if (!readAll(length, 4))
            return {0, "(nothing)"};
        uint32_t n = length[0] | length[1] << 8 | length[2] << 16 | uint32_t(length[3]) << 24;
        std::string text(n, '\0');
        readAll(text.data(), n);
        return {n, text};
    }
    void dropClient() {
        if (m_client >= 0)
            ::close(m_client);
        m_client = -1;
    }

private:
    bool readAll(void* buf, size_t n) {
        auto* p = static_cast<char*>(buf);
        while (n > 0) {
            ssize_t r = ::recv(m_client, p, n, 0);
            if (r <= 0)
                return false;
            p += r;
            n -= size_t(r);
        }
        return true;
    }
    std::string m_path;
    int m_listen = -1;
    int m_client = -1;
};

TEST_F(ExtraFixture, VideoPlayerGetsLengthAndCommandAndReconnects) {
    setenv("ORVANE_PIPE_DIR", root.path().c_str(), 1);
    VideoPlayerClient player;
    extra.services().videoPlayer = &player;

    run("VP=play:intro"); // nobody listens yet: nothing, no error
    EXPECT_FALSE(player.connected());

    PlayerServer server(root.file(kVideoPlayerSocket));
    run("VP=play:intro");
    EXPECT_EQ(server.receive(), std::make_pair(10u, std::string("play:intro")));
    run("VP=stop:in\r\nMISC1=ON");
    EXPECT_EQ(server.receive(), std::make_pair(17u, std::string("stop:in\r\nMISC1=ON")));

    // The player goes away: the write fails and the connection is dropped ...
    server.dropClient();
    server.stopListening();
    run("VP=play:a");
    EXPECT_FALSE(player.connected());
    // ... and the next command connects to the new player.
    server.listenAgain();
    run("VP=play:b");
    EXPECT_TRUE(player.connected());
    EXPECT_EQ(server.receive(), std::make_pair(6u, std::string("play:b")));
    unsetenv("ORVANE_PIPE_DIR");
}

TEST(PipeDirectory, FromTheEnvironmentInItsOrder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = runtime ? runtime : "";
    setenv("ORVANE_PIPE_DIR", "/a/pipes", 1);
    setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    EXPECT_EQ(pipeDirectory(), "/a/pipes");
    unsetenv("ORVANE_PIPE_DIR");
    EXPECT_EQ(pipeDirectory(), "/run/user/7/orvane");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(pipeDirectory(), "/tmp/orvane-" + std::to_string(getuid()));
    if (runtime)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

// --- a real process -----------------------------------------------------------

TEST(DetachedProcess, RunsTheShellCommandWithoutInheritedFiles) {
    TempDir dir;
    int leaked = ::open("/dev/null", O_RDONLY); // no close-on-exec
    ASSERT_GT(leaked, 2);
    std::string out = dir.file("out");
    // The check runs before any redirection of the shell's own.
    std::string command = "if test -e /proc/$$/fd/" + std::to_string(leaked) +
                          "; then r=leaked; else r=clean; fi; echo $r > " + out + ".tmp && mv " +
                          out + ".tmp " + out;
    DetachedProcessStarter starter;
    ASSERT_TRUE(starter.startDetached(shellCommand(command)));
    ::close(leaked);
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(out), "clean\n");
}

TEST(DetachedProcess, AMissingProgramIsNoCrash) {
    DetachedProcessStarter starter;
    EXPECT_TRUE(starter.startDetached({"/nonexistent/program"})); // started, then fails alone
    EXPECT_FALSE(starter.startDetached({}));
    EXPECT_FALSE(executablePath().empty());
}

} // namespace
