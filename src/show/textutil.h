#pragma once
// Small text helpers shared by the show store, profile files and parsers.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string toLower(std::string_view s);

// The leading decimal integer of a text (optional blanks, optional sign), as the
// C library's atoi would read it but without overflow: the low 32 bits are kept.
int32_t leadingInt(std::string_view s);

// A decimal-to-double conversion that reads as much as it can ("2.5x" is 2.5,
// "" and "abc" are 0.0) and never reads past the text.
double leadingDouble(std::string_view s);

// Cuts a UTF-8 text to at most maxBytes bytes without splitting a character.
std::string_view cutUtf8(std::string_view s, size_t maxBytes);

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace orvane
