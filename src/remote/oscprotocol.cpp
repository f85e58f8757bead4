#include "remote/oscprotocol.h"

#include "show/language.h"
#include "show/textutil.h"

#include <QtGlobal>
#include <lo/lo.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace orvane {

namespace {

constexpr int kMaxBundleDepth = 8;
constexpr size_t kMaxMessagesPerPacket = 1024;
constexpr size_t kMaxTextBytes = 1000;
constexpr int kLastStep = 499;
constexpr int kLevelFaders = 24;
constexpr std::string_view kPrefix = "/orvane/";

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

template <typename T> T readAs(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

struct MessageFree {
    void operator()(lo_message m) const { lo_message_free(m); }
};
using MessagePtr = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageFree>;

bool fail(std::string* reason, std::string text) {
    if (reason)
        *reason = std::move(text);
    return false;
}

bool decodeMessage(const uint8_t* data, size_t size, std::vector<OscMessage>& out,
                   std::string* reason) {
    int result = 0;
    // liblo copies what it checks; it never writes to the datagram.
    MessagePtr m(lo_message_deserialise(const_cast<uint8_t*>(data), size, &result));
    if (!m)
        return fail(reason, fillIn(translate("Osc", "not an OSC message (liblo error %1)"),
                                   {std::to_string(result)}));
    // The message is valid, so the address is a terminated string at the start.
    const char* address = reinterpret_cast<const char*>(data);
    if (address[0] != '/')
        return fail(reason, translate("Osc", "an address that does not begin with /"));
    if (out.size() >= kMaxMessagesPerPacket)
        return fail(reason, fillIn(translate("Osc", "more than %1 messages"),
                                   {std::to_string(kMaxMessagesPerPacket)}));
    OscMessage msg;
    msg.address = address;
    const char* types = lo_message_get_types(m.get());
    msg.types = types ? types : "";
    lo_arg** argv = lo_message_get_argv(m.get());
    for (size_t k = 0; k < msg.types.size(); ++k) {
        OscValue v;
        v.type = msg.types[k];
        // liblo keeps the arguments 4-byte aligned: read them as bytes.
        const char* at = reinterpret_cast<const char*>(argv[k]);
        switch (v.type) {
        case 'i':
            v.i = readAs<int32_t>(at);
            break;
        case 'h':
            v.i = readAs<int64_t>(at);
            break;
        case 'f':
            v.f = readAs<float>(at);
            break;
        case 'd':
            v.f = readAs<double>(at);
            break;
        case 'T':
            v.i = 1;
            break;
        case 's':
        case 'S':
            v.s = at;
            break;
        default: // F, and types no command takes
            break;
        }
        msg.args.push_back(std::move(v));
    }
    out.push_back(std::move(msg));
    return true;
}

bool decodeAny(const uint8_t* data, size_t size, int depth, std::vector<OscMessage>& out,
               std::string* reason) {
    static constexpr char kBundle[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', '\0'};
    if (size < 8 || std::memcmp(data, kBundle, 8) != 0)
        return decodeMessage(data, size, out, reason);
    if (depth >= kMaxBundleDepth)
        return fail(reason, translate("Osc", "bundles nested too deep"));
    if (size < 16)
        return fail(reason, translate("Osc", "a bundle shorter than its header"));
    size_t at = 16; // past the time tag: a bundle acts at once, whatever it says
    while (at < size) {
        if (size - at < 4)
            return fail(reason, translate("Osc", "a bundle element without its size"));
        size_t length = bigEndian32(data + at);
        at += 4;
        if (length == 0 || length % 4 != 0 || length > size - at)
            return fail(reason, fillIn(translate("Osc", "a bundle element of %1 bytes"),
                                       {std::to_string(length)}));
        if (!decodeAny(data + at, length, depth + 1, out, reason))
            return false;
        at += length;
    }
    return true;
}

bool isNumber(const OscValue& v) {
    return std::strchr("ihfdTF", v.type) != nullptr;
}

double numberOf(const OscValue& v) {
    return v.type == 'f' || v.type == 'd' ? v.f : double(v.i);
}

OscRequest command(RemoteVerb verb, int index = 0, float value = 0) {
    OscRequest r;
    r.kind = OscRequest::Kind::Command;
    r.command = {verb, index, value};
    return r;
}

// why: a text marked for translation in the context "Osc". The sender gets
// it in English; the window's log in the operator's language.
OscRequest refused(OscRequest::Kind kind, const OscMessage& m, const char* why) {
    OscRequest r;
    r.kind = kind;
    r.error = m.address + ": " + why;
    r.shown = m.address + ": " + translate("Osc", why);
    return r;
}

// A press without arguments, or one number: non-zero presses, zero releases.
OscRequest trigger(const OscMessage& m, OscRequest pressed) {
    if (m.args.empty())
        return pressed;
    if (m.args.size() == 1 && isNumber(m.args[0])) {
        if (numberOf(m.args[0]) != 0)
            return pressed;
        OscRequest r;
        r.kind = OscRequest::Kind::Release;
        return r;
    }
    return refused(OscRequest::Kind::WrongType, m,
                   QT_TRANSLATE_NOOP("Osc", "takes no argument (or 1 to press)"));
}

// A level: a float 0-1, or an int 0-255 (when ints are taken).
OscRequest level(const OscMessage& m, RemoteVerb verb, int index, bool intsToo) {
    const char* wanted = intsToo ? QT_TRANSLATE_NOOP("Osc", "takes a float 0-1 or an int 0-255")
                                 : QT_TRANSLATE_NOOP("Osc", "takes a float 0-1");
    if (m.args.size() != 1)
        return refused(OscRequest::Kind::WrongType, m, wanted);
    const OscValue& v = m.args[0];
    if (v.type == 'f' || v.type == 'd') {
        if (!(v.f >= 0.0 && v.f <= 1.0)) // NaN fails too
            return refused(OscRequest::Kind::BadValue, m,
                           QT_TRANSLATE_NOOP("Osc", "the float must be 0-1"));
        return command(verb, index, float(v.f));
    }
    if (intsToo && (v.type == 'i' || v.type == 'h')) {
        if (v.i < 0 || v.i > 255)
            return refused(OscRequest::Kind::BadValue, m,
                           QT_TRANSLATE_NOOP("Osc", "the int must be 0-255"));
        return command(verb, index, float(v.i) / 255.0f);
    }
    return refused(OscRequest::Kind::WrongType, m, wanted);
}

OscRequest step(const OscMessage& m) {
    if (m.args.size() != 1 || (m.args[0].type != 'i' && m.args[0].type != 'h'))
        return refused(OscRequest::Kind::WrongType, m,
                       QT_TRANSLATE_NOOP("Osc", "takes an int step 0-499"));
    int64_t n = m.args[0].i;
    if (n < 0 || n > kLastStep) {
        OscRequest r;
        r.kind = OscRequest::Kind::BadValue;
        const std::string args[] = {m.address, std::to_string(n), std::to_string(kLastStep)};
        // untranslated-begin: the sender's /orvane/error
        r.error = fillIn("%1: step %2 is not in 0-%3", {args[0], args[1], args[2]});
        // untranslated-end
        r.shown =
            fillIn(translate("Osc", "%1: step %2 is not in 0-%3"), {args[0], args[1], args[2]});
        return r;
    }
    return command(RemoteVerb::Step, int(n));
}

OscRequest blackout(const OscMessage& m) {
    if (m.args.size() != 1)
        return refused(OscRequest::Kind::WrongType, m,
                       QT_TRANSLATE_NOOP("Osc", "takes an int 0 or 1"));
    const OscValue& v = m.args[0];
    if (v.type == 'T' || v.type == 'F')
        return command(RemoteVerb::Blackout, int(v.i));
    if (v.type != 'i' && v.type != 'h')
        return refused(OscRequest::Kind::WrongType, m,
                       QT_TRANSLATE_NOOP("Osc", "takes an int 0 or 1"));
    if (v.i != 0 && v.i != 1)
        return refused(OscRequest::Kind::BadValue, m,
                       QT_TRANSLATE_NOOP("Osc", "the int must be 0 or 1"));
    return command(RemoteVerb::Blackout, int(v.i));
}

// "1".."24" exactly: no sign, no leading zero, nothing after.
int faderNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 2 || digits[0] == '0')
        return 0;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= kLevelFaders ? n : 0;
}

} // namespace

bool decodeOscPacket(const uint8_t* data, size_t size, std::vector<OscMessage>& out,
                     std::string* reason) {
    out.clear();
    if (size == 0 || size % 4 != 0)
        return fail(reason, fillIn(translate("Osc", "%1 bytes, not a multiple of 4"),
                                   {std::to_string(size)}));
    if (!decodeAny(data, size, 0, out, reason)) {
        out.clear();
        return false;
    }
    return true;
}

OscRequest interpretOsc(const OscMessage& m) {
    std::string_view address = m.address;
    if (address.substr(0, kPrefix.size()) != kPrefix)
        return {};
    std::string_view name = address.substr(kPrefix.size());
    if (name == "go")
        return trigger(m, command(RemoteVerb::Go));
    if (name == "back")
        return trigger(m, command(RemoteVerb::Back));
    if (name == "stop")
        return trigger(m, command(RemoteVerb::Stop));
    if (name == "pause")
        return trigger(m, command(RemoteVerb::Pause));
    if (name == "subscribe") {
        OscRequest r;
        r.kind = OscRequest::Kind::Subscribe;
        return trigger(m, r);
    }
    if (name == "step")
        return step(m);
    if (name == "master")
        return level(m, RemoteVerb::Master, 0, true);
    if (name == "blackout")
        return blackout(m);
    if (name == "volume/1" || name == "volume/2")
        return level(m, RemoteVerb::Volume, name.back() - '0', false);
    if (name.substr(0, 6) == "fader/")
        if (int n = faderNumber(name.substr(6)))
            return level(m, RemoteVerb::Fader, n, true);
    return {};
}

std::vector<uint8_t> encodeOscMessage(std::string_view address, std::string_view types,
                                      const std::vector<OscOut>& args) {
    MessagePtr m(lo_message_new());
    for (size_t k = 0; k < types.size() && k < args.size(); ++k) {
        switch (types[k]) {
        case 'i':
            lo_message_add_int32(m.get(), args[k].i);
            break;
        case 'f':
            lo_message_add_float(m.get(), args[k].f);
            break;
        default:
            lo_message_add_string(m.get(), args[k].s.c_str());
            break;
        }
    }
    std::string path(address);
    size_t size = lo_message_length(m.get(), path.c_str());
    std::vector<uint8_t> out(size);
    lo_message_serialise(m.get(), path.c_str(), out.data(), &size);
    out.resize(size);
    return out;
}

std::vector<uint8_t> encodeOscState(const RemoteState& s, OscStateField field) {
    auto integer = [](int v) { return OscOut{v, 0, {}}; };
    auto real = [](double v) { return OscOut{0, float(v), {}}; };
    auto text = [](const std::string& t) {
        return OscOut{0, 0, std::string(cutUtf8(t, kMaxTextBytes))};
    };
    switch (field) {
    case OscStateField::Step:
        return encodeOscMessage("/orvane/state/step", "is", {integer(s.step), text(s.caption)});
    case OscStateField::Next:
        return encodeOscMessage("/orvane/state/next", "is", {integer(s.next), text(s.nextCaption)});
    case OscStateField::Output:
        return encodeOscMessage("/orvane/state/output", "s", {text(s.output)});
    case OscStateField::Master:
        return encodeOscMessage("/orvane/state/master", "f", {real(s.master)});
    case OscStateField::Fade:
        return encodeOscMessage("/orvane/state/fade", "f", {real(s.fading ? s.fadeProgress : 1.0)});
    }
    return {};
}

std::vector<uint8_t> encodeOscError(std::string_view text) {
    return encodeOscMessage("/orvane/error", "s",
                            {OscOut{0, 0, std::string(cutUtf8(text, kMaxTextBytes))}});
}

} // namespace orvane
