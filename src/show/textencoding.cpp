#include "show/textencoding.h"

#include "show/textutil.h"

#include <array>
#include <cstdint>

namespace orvane {

namespace {

// Code points of bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<uint16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at s[i], 0 when there is none
// (overlong forms, surrogates and values past U+10FFFF are not valid).
size_t sequenceAt(std::string_view s, size_t i, uint32_t* cp = nullptr) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) {
        if (cp)
            *cp = c;
        return 1;
    }
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size())
        return 0;
    uint32_t v = c & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        v = v << 6 | (b(i + k) & 0x3F);
    }
    if ((n == 3 && v < 0x800) || (n == 4 && v < 0x10000) || v > 0x10FFFF ||
        (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    if (cp)
        *cp = v;
    return n;
}

std::optional<uint8_t> windows1252Byte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return uint8_t(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp)
            return uint8_t(0x80 + i);
    return std::nullopt;
}

} // namespace

bool isValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        size_t n = sequenceAt(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

TextEncoding detectEncoding(std::string_view wholeFile) {
    return isValidUtf8(wholeFile) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c);
    }
    return out;
}

std::string utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        size_t n = sequenceAt(utf8, i, &cp);
        if (n == 0) { // not UTF-8 after all: the byte as it is
            out += utf8[i++];
            continue;
        }
        out += char(windows1252Byte(cp).value_or('?'));
        i += n;
    }
    return out;
}

std::string decodeStored(std::string_view stored, TextEncoding encoding) {
    return encoding == TextEncoding::Windows1252 ? windows1252ToUtf8(stored) : std::string(stored);
}

std::string encodeStored(std::string_view utf8, TextEncoding encoding) {
    return encoding == TextEncoding::Windows1252 ? utf8ToWindows1252(utf8) : std::string(utf8);
}

size_t characterCount(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252)
        return text.size();
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++n) {
        size_t len = sequenceAt(text, i);
        i += len ? len : 1;
    }
    return n;
}

std::string_view cutStored(std::string_view text, size_t maxBytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252)
        return text.substr(0, maxBytes);
    return cutUtf8(text, maxBytes);
}

std::optional<std::string> vedaMessage(std::string_view utf8, TextEncoding encoding) {
    std::string message = encodeStored(utf8, encoding);
    size_t chars = characterCount(message, encoding);
    if (chars > kVedaCharacters)
        return std::nullopt;
    message.append(kVedaCharacters - chars, ' ');
    return message;
}

} // namespace orvane
