#pragma once
// The secret every request to the web remote carries. Safe from any thread.

#include <string>
#include <string_view>

namespace orvane {

// True when given is the expected token. The time taken depends only on the
// lengths, never on where the texts differ, so the token cannot be found one
// character at a time by timing answers. An empty expected token matches nothing.
bool sameToken(std::string_view given, std::string_view expected);

// A new random token: 32 characters of A-Z a-z 0-9 - _ (192 bits from the
// system's random source), safe in a URL as it is.
std::string makeWebToken();

// The token a request carries: the text after "Bearer " in its Authorization
// header, else its "token" query value. Empty when it carries none.
std::string requestToken(std::string_view authorization, std::string_view queryToken);

} // namespace orvane
