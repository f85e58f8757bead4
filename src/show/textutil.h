#pragma once
// Small text helpers shared by the show store, profile files and parsers.
// Numbers are read and written with the C conventions ("." as the decimal
// point, no grouping) whatever the process locale: files travel between
// machines and languages.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// ASCII case folding: keys and section names are plain ASCII, and the C
// library's locale-aware tolower is far too slow for the show table's lookups.
inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c;
}

inline bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    if (a == b) // the usual case, and a fast one
        return true;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}
std::string toLower(std::string_view s);

// The text without the blanks and tabs at either end.
std::string_view trimBlanks(std::string_view s);

// The text without its carriage returns (a caption shown on one line).
std::string withoutCarriageReturns(std::string_view text);

// The leading decimal integer of a text (optional blanks, optional sign), as the
// C library's atoi reads it, without overflow: a number past 32 bits gives the
// nearer 32-bit bound, never its low bits (4294967296 is not 0).
int32_t leadingInt(std::string_view s);

// Whether that number lies past 32 bits (the check reports it).
bool leadingIntPast32Bits(std::string_view s);

// The same reading, but a value outside lo..hi (however many digits it has)
// gives the nearer bound.
int32_t leadingIntClamped(std::string_view s, int32_t lo, int32_t hi);

// A decimal-to-double conversion that reads as much as it can ("2.5x" is 2.5,
// "" and "abc" are 0.0, "1e999" is infinity) and never reads past the text.
// Always "." as the decimal point, whatever the locale.
double leadingDouble(std::string_view s);

// A double as printf's "%.*f" writes it in the C locale ("2.500000").
std::string formatFixed(double value, int decimals);

// Cuts a UTF-8 text to at most maxBytes bytes without splitting a character.
std::string_view cutUtf8(std::string_view s, size_t maxBytes);

// Characters of a UTF-8 text: bytes that continue a character do not count.
size_t utf8Length(std::string_view s);

// printf-style formatting into a std::string, with the C locale's conventions
// for numbers whatever the process locale.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace orvane
