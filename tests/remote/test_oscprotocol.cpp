// OSC datagrams into remote commands, and the state messages back, with
// liblo on both sides of the wire.

#include "remote/oscprotocol.h"
#include "support/tempdir.h"

#include <lo/lo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace orvane;
using orvane::test::readFile;

namespace {

// A message as liblo's own client writes it: types "i", "h", "f", "d", "s",
// "T", "F", "N"; each argument's text is its value.
std::vector<uint8_t> liblo(const char* address, const char* types = "",
                           std::vector<const char*> values = {}) {
    lo_message m = lo_message_new();
    for (size_t k = 0; types[k]; ++k) {
        const char* v = k < values.size() ? values[k] : "0";
        switch (types[k]) {
        case 'i':
            lo_message_add_int32(m, std::stoi(v));
            break;
        case 'h':
            lo_message_add_int64(m, std::stoll(v));
            break;
        case 'f':
            lo_message_add_float(m, std::strcmp(v, "nan") == 0 ? NAN : std::stof(v));
            break;
        case 'd':
            lo_message_add_double(m, std::stod(v));
            break;
        case 's':
            lo_message_add_string(m, v);
            break;
        case 'T':
            lo_message_add_true(m);
            break;
        case 'F':
            lo_message_add_false(m);
            break;
        case 'N':
            lo_message_add_nil(m);
            break;
        }
    }
    size_t size = lo_message_length(m, address);
    std::vector<uint8_t> out(size);
    lo_message_serialise(m, address, out.data(), &size);
    lo_message_free(m);
    return out;
}

std::vector<uint8_t> bundle(const std::vector<std::vector<uint8_t>>& parts) {
    std::vector<uint8_t> out = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (const auto& p : parts) {
        uint32_t n = uint32_t(p.size());
        for (int shift : {24, 16, 8, 0})
            out.push_back(uint8_t(n >> shift));
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

OscRequest interpret(const std::vector<uint8_t>& packet) {
    std::vector<OscMessage> messages;
    std::string reason;
    if (!decodeOscPacket(packet.data(), packet.size(), messages, &reason)) {
        ADD_FAILURE() << "malformed: " << reason;
        return {};
    }
    EXPECT_EQ(messages.size(), 1u);
    return interpretOsc(messages.front());
}

using Kind = OscRequest::Kind;

} // namespace

TEST(OscProtocol, EveryAddressAndItsArguments) {
    struct Case {
        const char* name;
        std::vector<uint8_t> packet;
        Kind kind;
        RemoteCommand command;
        const char* error;
    };
    const Case cases[] = {
        {"go", liblo("/orvane/go"), Kind::Command, {RemoteVerb::Go}, ""},
        {"back", liblo("/orvane/back"), Kind::Command, {RemoteVerb::Back}, ""},
        {"stop", liblo("/orvane/stop"), Kind::Command, {RemoteVerb::Stop}, ""},
        {"pause", liblo("/orvane/pause"), Kind::Command, {RemoteVerb::Pause}, ""},
        {"a surface's button press",
         liblo("/orvane/go", "f", {"1"}),
         Kind::Command,
         {RemoteVerb::Go},
         ""},
        {"a surface's button release", liblo("/orvane/go", "f", {"0"}), Kind::Release, {}, ""},
        {"an int press", liblo("/orvane/stop", "i", {"1"}), Kind::Command, {RemoteVerb::Stop}, ""},
        {"go with a text",
         liblo("/orvane/go", "s", {"now"}),
         Kind::WrongType,
         {},
         "/orvane/go: takes no argument (or 1 to press)"},
        {"step", liblo("/orvane/step", "i", {"12"}), Kind::Command, {RemoteVerb::Step, 12}, ""},
        {"step 64-bit",
         liblo("/orvane/step", "h", {"499"}),
         Kind::Command,
         {RemoteVerb::Step, 499},
         ""},
        {"step out of range",
         liblo("/orvane/step", "i", {"500"}),
         Kind::BadValue,
         {},
         "/orvane/step: step 500 is not in 0-499"},
        {"negative step",
         liblo("/orvane/step", "i", {"-1"}),
         Kind::BadValue,
         {},
         "/orvane/step: step -1 is not in 0-499"},
        {"step as a float",
         liblo("/orvane/step", "f", {"3"}),
         Kind::WrongType,
         {},
         "/orvane/step: takes an int step 0-499"},
        {"step without its number",
         liblo("/orvane/step"),
         Kind::WrongType,
         {},
         "/orvane/step: takes an int step 0-499"},
        {"master float",
         liblo("/orvane/master", "f", {"0.25"}),
         Kind::Command,
         {RemoteVerb::Master, 0, 0.25f},
         ""},
        {"master double",
         liblo("/orvane/master", "d", {"1"}),
         Kind::Command,
         {RemoteVerb::Master, 0, 1.0f},
         ""},
        {"master int",
         liblo("/orvane/master", "i", {"51"}),
         Kind::Command,
         {RemoteVerb::Master, 0, 0.2f},
         ""},
        {"master above 1",
         liblo("/orvane/master", "f", {"1.01"}),
         Kind::BadValue,
         {},
         "/orvane/master: the float must be 0-1"},
        {"master NaN",
         liblo("/orvane/master", "f", {"nan"}),
         Kind::BadValue,
         {},
         "/orvane/master: the float must be 0-1"},
        {"master int 256",
         liblo("/orvane/master", "i", {"256"}),
         Kind::BadValue,
         {},
         "/orvane/master: the int must be 0-255"},
        {"master text",
         liblo("/orvane/master", "s", {"full"}),
         Kind::WrongType,
         {},
         "/orvane/master: takes a float 0-1 or an int 0-255"},
        {"fader 1",
         liblo("/orvane/fader/1", "f", {"0.5"}),
         Kind::Command,
         {RemoteVerb::Fader, 1, 0.5f},
         ""},
        {"fader 24 int",
         liblo("/orvane/fader/24", "i", {"255"}),
         Kind::Command,
         {RemoteVerb::Fader, 24, 1.0f},
         ""},
        {"fader 25", liblo("/orvane/fader/25", "f", {"0.5"}), Kind::Unknown, {}, ""},
        {"fader 0", liblo("/orvane/fader/0", "f", {"0.5"}), Kind::Unknown, {}, ""},
        {"fader 01", liblo("/orvane/fader/01", "f", {"0.5"}), Kind::Unknown, {}, ""},
        {"volume 1",
         liblo("/orvane/volume/1", "f", {"0.75"}),
         Kind::Command,
         {RemoteVerb::Volume, 1, 0.75f},
         ""},
        {"volume 2",
         liblo("/orvane/volume/2", "f", {"0"}),
         Kind::Command,
         {RemoteVerb::Volume, 2, 0.0f},
         ""},
        {"volume as an int",
         liblo("/orvane/volume/1", "i", {"1"}),
         Kind::WrongType,
         {},
         "/orvane/volume/1: takes a float 0-1"},
        {"volume 3", liblo("/orvane/volume/3", "f", {"1"}), Kind::Unknown, {}, ""},
        {"blackout on",
         liblo("/orvane/blackout", "i", {"1"}),
         Kind::Command,
         {RemoteVerb::Blackout, 1},
         ""},
        {"blackout off",
         liblo("/orvane/blackout", "i", {"0"}),
         Kind::Command,
         {RemoteVerb::Blackout, 0},
         ""},
        {"blackout true",
         liblo("/orvane/blackout", "T"),
         Kind::Command,
         {RemoteVerb::Blackout, 1},
         ""},
        {"blackout 2",
         liblo("/orvane/blackout", "i", {"2"}),
         Kind::BadValue,
         {},
         "/orvane/blackout: the int must be 0 or 1"},
        {"blackout nil",
         liblo("/orvane/blackout", "N"),
         Kind::WrongType,
         {},
         "/orvane/blackout: takes an int 0 or 1"},
        {"subscribe", liblo("/orvane/subscribe"), Kind::Subscribe, {}, ""},
        {"another program's address", liblo("/1/fader1", "f", {"0.5"}), Kind::Unknown, {}, ""},
        {"a near miss", liblo("/orvane/go/now"), Kind::Unknown, {}, ""},
        {"case counts", liblo("/ORVANE/GO"), Kind::Unknown, {}, ""},
    };
    for (const Case& c : cases) {
        OscRequest r = interpret(c.packet);
        EXPECT_EQ(int(r.kind), int(c.kind)) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.shown, c.error) << c.name; // the log's copy, the same in English
        if (c.kind == Kind::Command) {
            EXPECT_EQ(int(r.command.verb), int(c.command.verb)) << c.name;
            EXPECT_EQ(r.command.index, c.command.index) << c.name;
            EXPECT_FLOAT_EQ(r.command.value, c.command.value) << c.name;
        }
    }
}

TEST(OscProtocol, BundlesAreOpenedAndActAtOnceInOrder) {
    std::vector<uint8_t> packet =
        bundle({liblo("/orvane/step", "i", {"3"}),
                bundle({liblo("/orvane/master", "f", {"0.5"}), liblo("/orvane/go")})});
    std::vector<OscMessage> messages;
    ASSERT_TRUE(decodeOscPacket(packet.data(), packet.size(), messages));
    std::vector<std::string> addresses;
    for (const OscMessage& m : messages)
        addresses.push_back(m.address);
    EXPECT_EQ(addresses,
              (std::vector<std::string>{"/orvane/step", "/orvane/master", "/orvane/go"}));
}

TEST(OscProtocol, MalformedPacketsAreRefusedWhole) {
    std::vector<uint8_t> good = liblo("/orvane/step", "i", {"3"});
    std::vector<uint8_t> deep = liblo("/orvane/go");
    for (int level = 0; level < 9; ++level)
        deep = bundle({deep});
    std::vector<uint8_t> badSize = bundle({good});
    badSize[19] = 0x40; // the element claims more than the bundle holds
    std::vector<uint8_t> unterminated = good;
    std::fill(unterminated.begin(), unterminated.begin() + 16, 'x');
    std::vector<uint8_t> noComma = good;
    noComma[16] = 'i';
    std::vector<uint8_t> shortArgs(good.begin(), good.end() - 4);
    std::vector<uint8_t> noSlash = liblo("orvane/go");
    struct Case {
        const char* name;
        std::vector<uint8_t> packet;
    };
    const Case cases[] = {
        {"empty", {}},
        {"not a multiple of 4", {'/', 'a', 0}},
        {"an address without its end", unterminated},
        {"types without a comma", noComma},
        {"an int cut short", shortArgs},
        {"an address without a slash", noSlash},
        {"a bundle element too long", badSize},
        {"a bundle without its time tag", {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0}},
        {"a good message, then garbage in a bundle", bundle({good, {0, 0, 0, 0}})},
        {"bundles nested too deep", deep},
    };
    for (const Case& c : cases) {
        std::vector<OscMessage> messages;
        std::string reason;
        EXPECT_FALSE(decodeOscPacket(c.packet.data(), c.packet.size(), messages, &reason))
            << c.name;
        EXPECT_TRUE(messages.empty()) << c.name << ": nothing of it is taken";
        EXPECT_FALSE(reason.empty()) << c.name;
    }
}

// Found by fuzzing: arguments after types of no data lie 4-byte aligned, and
// were read as if 8-byte aligned (UBSan in make asan).
TEST(OscProtocol, ArgumentsAreReadAtAnyAlignment) {
    std::string bytes = readFile(std::string(ORVANE_SOURCE_DIR) +
                                 "/tests/data/fuzz-repro/osc_strings_after_odd_types.osc");
    ASSERT_FALSE(bytes.empty());
    std::vector<OscMessage> messages;
    ASSERT_TRUE(
        decodeOscPacket(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), messages));
    EXPECT_EQ(int(interpretOsc(messages[0]).kind), int(Kind::Unknown));
    // A 64-bit int and a double after a string of odd length.
    std::vector<uint8_t> packet = liblo("/orvane/step", "sh", {"abcde", "7"});
    ASSERT_TRUE(decodeOscPacket(packet.data(), packet.size(), messages));
    EXPECT_EQ(messages[0].args[1].i, 7);
    packet = liblo("/orvane/master", "sd", {"abc", "0.5"});
    ASSERT_TRUE(decodeOscPacket(packet.data(), packet.size(), messages));
    EXPECT_DOUBLE_EQ(messages[0].args[1].f, 0.5);
}

TEST(OscProtocol, StateMessagesAsSubscribersReadThem) {
    RemoteState s;
    s.step = 12;
    s.caption = "Act two";
    s.next = -1;
    s.fading = true;
    s.fadeProgress = 0.25;
    s.master = 0.5;
    s.output = "/dev/ttyUSB0: open";
    struct Case {
        OscStateField field;
        const char* address;
        const char* types;
    };
    const Case cases[] = {
        {OscStateField::Step, "/orvane/state/step", "is"},
        {OscStateField::Next, "/orvane/state/next", "is"},
        {OscStateField::Fade, "/orvane/state/fade", "f"},
        {OscStateField::Master, "/orvane/state/master", "f"},
        {OscStateField::Output, "/orvane/state/output", "s"},
    };
    std::vector<OscMessage> got;
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = encodeOscState(s, c.field);
        std::vector<OscMessage> messages;
        ASSERT_TRUE(decodeOscPacket(bytes.data(), bytes.size(), messages)) << c.address;
        EXPECT_EQ(messages[0].address, c.address);
        EXPECT_EQ(messages[0].types, c.types) << c.address;
        got.push_back(messages[0]);
    }
    EXPECT_EQ(got[0].args[0].i, 12);
    EXPECT_EQ(got[0].args[1].s, "Act two");
    EXPECT_EQ(got[1].args[0].i, -1);
    EXPECT_EQ(got[1].args[1].s, "");
    EXPECT_FLOAT_EQ(float(got[2].args[0].f), 0.25f);
    EXPECT_FLOAT_EQ(float(got[3].args[0].f), 0.5f);
    EXPECT_EQ(got[4].args[0].s, "/dev/ttyUSB0: open");
    // No fade: the progress reads 1.
    s.fading = false;
    std::vector<uint8_t> bytes = encodeOscState(s, OscStateField::Fade);
    std::vector<OscMessage> messages;
    ASSERT_TRUE(decodeOscPacket(bytes.data(), bytes.size(), messages));
    EXPECT_FLOAT_EQ(float(messages[0].args[0].f), 1.0f);
    // A caption of 5000 bytes goes out cut to 1000, never inside a character.
    s.caption = std::string(999, 'a');
    while (s.caption.size() < 5000)
        s.caption += "\xC3\xA9"; // two bytes each
    bytes = encodeOscState(s, OscStateField::Step);
    ASSERT_TRUE(decodeOscPacket(bytes.data(), bytes.size(), messages));
    EXPECT_EQ(messages[0].args[1].s, std::string(999, 'a'));
}
