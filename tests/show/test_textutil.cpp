// Numbers in files read and written with the C conventions, whatever the
// locale the program runs in.

#include "show/textutil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <tuple>

using namespace orvane;

namespace {

// The C library's own reading in the C locale: the reference.
double cReading(const std::string& s) {
    static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(s.c_str(), nullptr, c);
}

// Switches the process to a comma-decimal locale for one test, when the
// machine has one.
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8"})
            if (std::setlocale(LC_ALL, name)) {
                m_active = true;
                break;
            }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace

TEST(TextUtil, LeadingDoubleReadsAsTheCLibraryDoesInTheCLocale) {
    const char* inputs[] = {"2.5",     "2.500000", " \t-0.0019x",
                            "+3",      ".5",       "5.",
                            "1e3",     "1E-3",     "1e",
                            "1e+",     "2,5",      "",
                            "abc",     "-",        ".",
                            "1e300",   "1e999",    "-1e999",
                            "1e-999",  "0.000001", "inf",
                            "-Inf",    "nan",      "0x10",
                            "0x1p3",   "0x",       "0xg",
                            "12abc",   "  7  ",    "00012.50",
                            "1.5e300", "4e-320",   "999999999999999999999999"};
    for (const char* in : inputs) {
        double expected = cReading(in);
        double got = leadingDouble(in);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(got)) << in;
        else
            EXPECT_EQ(got, expected) << in;
    }
    // Never past the end of the view.
    EXPECT_EQ(leadingDouble(std::string_view("2.59", 3)), 2.5);
}

TEST(TextUtil, NumbersKeepTheirPointInACommaLocale) {
    CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    ASSERT_EQ(std::strtod("2.5", nullptr), 2.0); // the locale really is in effect
    EXPECT_EQ(leadingDouble("2.500000"), 2.5);
    EXPECT_EQ(leadingDouble("0.0019"), 0.0019);
    EXPECT_EQ(formatFixed(2.5, 6), "2.500000");
    EXPECT_EQ(format("%.2f|%f|%g", 0.25, 2.5, 1.5), "0.25|2.500000|1.5");
}

TEST(TextUtil, FormatFixedIsPrintfInTheCLocale) {
    for (double v : {0.0, 2.5, 0.0019, -3.125, 1e300, 123456.789, 0.005, 0.015, 2147483.0}) {
        for (int decimals : {0, 2, 6})
            EXPECT_EQ(formatFixed(v, decimals), format("%.*f", decimals, v)) << v;
    }
}

TEST(TextUtil, ClampedIntegersSaturateInsteadOfWrapping) {
    struct Case {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"128", 128}, {"-5", 0},   {"2147483648", 255}, {"-2147483648", 0}, {"99999999999999", 255},
        {"", 0},      {" +7x", 7}, {"256", 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(leadingIntClamped(c.text, 0, 255), c.expected) << c.text;
    // The plain reading saturates too: a number past 32 bits never wraps.
    for (auto [text, value, past] :
         {std::tuple{"2147483647", INT32_MAX, false}, std::tuple{"2147483648", INT32_MAX, true},
          std::tuple{"4294967296", INT32_MAX, true}, std::tuple{"4294967297", INT32_MAX, true},
          std::tuple{"-2147483648", INT32_MIN, false}, std::tuple{"-4294967296", INT32_MIN, true},
          std::tuple{"12x", 12, false}}) {
        EXPECT_EQ(leadingInt(text), value) << text;
        EXPECT_EQ(leadingIntPast32Bits(text), past) << text;
    }
}
