#pragma once
// The web remote's settings, from section [settings] of the user profile:
// "webport" (the remote is off without it), "webbind" (the address it listens
// on, 127.0.0.1 when absent) and "webtoken" (the secret every request carries;
// when absent, a random one is made and stored in the profile).
// User-interface thread only (it reads and writes the user profile).

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

class ProfileFiles;

constexpr const char* kWebDefaultBind = "127.0.0.1";
// A hand-set token shorter than this is used, with a warning.
constexpr size_t kWebShortToken = 12;

struct WebSettings {
    bool enabled = false; // "webport" is set to a usable port
    uint16_t port = 0;
    std::string bindAddress = kWebDefaultBind;
    std::string token;
    bool tokenMade = false; // made now and stored in the profile
    // What the operator should read in the log: a setting that cannot be used
    // (then enabled is false), a token that could not be stored, a short token.
    std::vector<std::string> problems;
};

WebSettings readWebSettings(ProfileFiles& profiles);

// A port number written in decimal, 1-65535, nothing else; 0 when the text is
// not one.
uint16_t parsePort(std::string_view text);

// The address a browser opens: http://<address>:<port>/?token=<token>, with
// the token percent-encoded (no query without a token) and an IPv6 address in
// brackets. An address that
// listens everywhere (0.0.0.0, ::) is written as this machine's name, which a
// browser elsewhere can reach.
std::string webRemoteUrl(const std::string& bindAddress, uint16_t port, const std::string& token);

// "127.0.0.1:8080", "[::1]:8080": where the console says the remote listens.
std::string webWhere(const std::string& bindAddress, uint16_t port);

} // namespace orvane
