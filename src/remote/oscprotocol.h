#pragma once
// The OSC side of show control, without sockets: datagrams into messages
// (liblo checks every message; bundles are opened here, whatever their time
// tag, and act at once), messages into remote commands, and the state
// messages subscribers receive. Pure logic, any thread.
//
// Addresses and their arguments:
//   /orvane/go, /orvane/back, /orvane/stop, /orvane/pause    none
//   /orvane/step                 int 0-499
//   /orvane/master               float 0-1, or int 0-255
//   /orvane/fader/N (N 1-24)     float 0-1, or int 0-255
//   /orvane/volume/1, /2         float 0-1
//   /orvane/blackout             int 0 or 1 (true and false too)
//   /orvane/subscribe            none
// A command without arguments also takes one number, as the buttons of OSC
// surfaces send it: 1 on the press acts, 0 on the release does nothing.
// Floats are 32 or 64 bits, ints 32 or 64 bits.

#include "playback/remotecommand.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct OscValue {
    char type = 'i'; // the OSC type tag
    int64_t i = 0;   // i, h, T (1), F (0)
    double f = 0;    // f, d
    std::string s;   // s, S
};

struct OscMessage {
    std::string address;
    std::string types; // without the leading ','
    std::vector<OscValue> args;
};

// Every message of a datagram, bundles opened (at most 8 deep), in order.
// False, with the reason (for the window's log, in the operator's language),
// when any part of it is malformed: then nothing of it is taken.
bool decodeOscPacket(const uint8_t* data, size_t size, std::vector<OscMessage>& out,
                     std::string* reason = nullptr);

// What a message asks.
struct OscRequest {
    enum class Kind : uint8_t {
        Command,   // command: to the console
        Subscribe, // the sender wants the state
        Release,   // a button's release: nothing to do
        Unknown,   // no such address
        WrongType, // arguments of the wrong type or number; error holds why
        BadValue,  // in type but out of range; error holds why
    };
    Kind kind = Kind::Unknown;
    RemoteCommand command;
    std::string error; // for the sender's /orvane/error, in English
    std::string shown; // the same for the window's log, in the operator's language
};

OscRequest interpretOsc(const OscMessage& message);

// The state messages, in the order subscribers get them.
enum class OscStateField : uint8_t { Step, Next, Output, Master, Fade };
constexpr int kOscStateFields = 5;

// The OSC message of one state field: /orvane/state/step i s,
// /orvane/state/next i s (-1 and "" past the last step), /orvane/state/fade f
// (1 when no fade runs), /orvane/state/master f, /orvane/state/output s.
// Texts longer than 1000 bytes are cut at a character.
std::vector<uint8_t> encodeOscState(const RemoteState& state, OscStateField field);
// /orvane/error s
std::vector<uint8_t> encodeOscError(std::string_view text);
// Any message of ints, floats and strings, as types says ("isf"): for tests
// and tools that speak to the server.
struct OscOut {
    int32_t i = 0;
    float f = 0;
    std::string s{};
};
std::vector<uint8_t> encodeOscMessage(std::string_view address, std::string_view types,
                                      const std::vector<OscOut>& args);

} // namespace orvane
