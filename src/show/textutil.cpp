#include "show/textutil.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <locale.h>

namespace orvane {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string withoutCarriageReturns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

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

namespace {

// Blanks, then an optional sign: where the digits start and whether negative.
size_t skipBlanksAndSign(std::string_view s, bool& negative) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    return i;
}

} // namespace

namespace {

// The leading integer, held at a magnitude past any 32-bit bound once its
// digits go beyond one.
int64_t leadingWide(std::string_view s) {
    bool negative = false;
    size_t i = skipBlanksAndSign(s, negative);
    int64_t value = 0;
    constexpr int64_t kBeyond = int64_t(1) << 40;
    for (; i < s.size() && isDigit(s[i]); ++i)
        value = std::min(value * 10 + (s[i] - '0'), kBeyond);
    return negative ? -value : value;
}

} // namespace

int32_t leadingInt(std::string_view s) {
    return leadingIntClamped(s, INT32_MIN, INT32_MAX);
}

int32_t leadingIntClamped(std::string_view s, int32_t lo, int32_t hi) {
    return int32_t(std::clamp<int64_t>(leadingWide(s), lo, hi));
}

bool leadingIntPast32Bits(std::string_view s) {
    int64_t v = leadingWide(s);
    return v < INT32_MIN || v > INT32_MAX;
}

namespace {

// from_chars reports a magnitude it cannot hold without a value; the C
// conversion gives infinity for a huge one and zero for a tiny one. The order
// of magnitude of the digits and the exponent tells which.
double outOfRange(std::string_view number, bool negative) {
    size_t e = number.find_first_of("eE");
    std::string_view mantissa = number.substr(0, e);
    int64_t exponent =
        e == std::string_view::npos ? 0 : leadingIntClamped(number.substr(e + 1), -100000, 100000);
    size_t point = std::min(mantissa.find('.'), mantissa.size());
    size_t first = mantissa.find_first_of("123456789");
    int64_t order = first == std::string_view::npos ? 0
                    : first < point                 ? int64_t(point - first)
                                                    : -int64_t(first - point - 1);
    double magnitude = order + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

} // namespace

double leadingDouble(std::string_view s) {
    bool negative = false;
    size_t i = skipBlanksAndSign(s, negative);
    std::string_view rest = s.substr(i);
    const char* begin = rest.data();
    const char* end = rest.data() + rest.size();
    auto fmt = std::chars_format::general;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        begin += 2;
        fmt = std::chars_format::hex;
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(begin, end, value, fmt);
    if (ec == std::errc::result_out_of_range)
        return outOfRange(std::string_view(begin, size_t(ptr - begin)), negative);
    if (ec != std::errc())
        return negative ? -0.0 : 0.0;
    return negative ? -value : value;
}

std::string formatFixed(double value, int decimals) {
    char buf[400]; // the largest double in fixed notation, and its decimals
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                           std::clamp(decimals, 0, 60));
    if (r.ec != std::errc())
        return format("%.*f", decimals, value);
    return std::string(buf, size_t(r.ptr - buf));
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

namespace {

// The C locale for this thread while formatting, whatever the process uses.
class CNumbers {
public:
    CNumbers() {
        static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        m_previous = c ? ::uselocale(c) : locale_t(nullptr);
    }
    ~CNumbers() {
        if (m_previous)
            ::uselocale(m_previous);
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    locale_t m_previous;
};

} // namespace

size_t utf8Length(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string format(const char* fmt, ...) {
    CNumbers c;
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
