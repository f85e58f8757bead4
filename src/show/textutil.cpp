#include "show/textutil.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace orvane {

std::string toLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

// The C library's character classes look at the locale; these texts are ASCII.
static bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
static bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int32_t leadingInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    uint32_t value = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        value = value * 10u + uint32_t(s[i] - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

double leadingDouble(std::string_view s) {
    char buf[64];
    size_t n = std::min(s.size(), sizeof buf - 1);
    s.copy(buf, n);
    buf[n] = '\0';
    return std::strtod(buf, nullptr);
}

std::string_view cutUtf8(std::string_view s, size_t maxBytes) {
    if (s.size() <= maxBytes)
        return s;
    size_t n = maxBytes;
    // Step back over continuation bytes so no character is split.
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return s.substr(0, n);
}

size_t utf8Length(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string format(const char* fmt, ...) {
    char small[256];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    if (n < 0)
        return {};
    if (size_t(n) < sizeof small)
        return std::string(small, size_t(n));
    std::string out(size_t(n), '\0');
    va_start(ap, fmt);
    std::vsnprintf(out.data(), out.size() + 1, fmt, ap);
    va_end(ap);
    return out;
}

} // namespace orvane
