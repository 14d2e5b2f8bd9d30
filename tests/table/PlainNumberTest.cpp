// The quick ways of reading and writing plain numbers give the values and
// texts of the full ways, digit for digit.

#include "table/PlainNumber.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using namespace korthal;

namespace {

// The general format built from glibc's own rounding of 15 digits.
std::string referenceGeneral(double v, char decimal)
{
    if (v == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", static_cast<long double>(v));
    std::string s = buf;
    std::string sign;
    if (s[0] == '-') {
        sign = "-";
        s.erase(0, 1);
    }
    const auto e = s.find('e');
    const int exponent = std::stoi(s.substr(e + 1));
    std::string mant = s.substr(0, 1) + s.substr(2, e - 2);
    while (mant.size() > 1 && mant.back() == '0')
        mant.pop_back();
    std::string out;
    if (exponent < -5 || exponent >= 15)
        out = mant.substr(0, 1) + (mant.size() > 1 ? decimal + mant.substr(1) : "") + "E" +
              std::to_string(exponent);
    else if (exponent < 0)
        out = "0" + std::string(1, decimal) + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mant;
    else if (mant.size() <= static_cast<std::size_t>(exponent + 1))
        out = mant + std::string(static_cast<std::size_t>(exponent + 1) - mant.size(), '0');
    else
        out = mant.substr(0, static_cast<std::size_t>(exponent + 1)) + decimal +
              mant.substr(static_cast<std::size_t>(exponent + 1));
    return sign + out;
}

// A random plain decimal text with a comma: up to 19 digits, sometimes an
// exponent, sometimes a sign.
std::string randomDecimal(std::mt19937_64& gen)
{
    std::uniform_int_distribution<int> digit(0, 9), len(1, 19), pick(0, 9), exp(-40, 40);
    std::string s;
    if (pick(gen) < 3)
        s += pick(gen) < 5 ? '-' : '+';
    const int n = len(gen);
    const int point = std::uniform_int_distribution<int>(0, n)(gen);
    for (int i = 0; i < n; ++i) {
        if (i == point)
            s += ',';
        s += static_cast<char>('0' + digit(gen));
    }
    if (pick(gen) < 2)
        s += (pick(gen) < 5 ? "E" : "e") + std::to_string(exp(gen));
    return s;
}

}  // namespace

TEST(PlainNumber, QuickReadingGivesTheValuesOfTheFullReading)
{
    std::mt19937_64 gen(1253);
    int exact = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = randomDecimal(gen);
        std::string dotted = text;
        for (char& c : dotted)
            if (c == ',')
                c = '.';
        const char* first = dotted.data() + (dotted[0] == '+' ? 1 : 0);
        long double want = 0;
        const auto w = std::from_chars(first, dotted.data() + dotted.size(), want);
        ASSERT_EQ(w.ec, std::errc()) << text;

        const NumberResult r = parseDecimal(text, ',');
        ASSERT_TRUE(r.ok) << text;
        EXPECT_EQ(std::memcmp(&r.value, &want, 10), 0) << text;

        DecimalDigits d;
        if (!splitDecimal(text, ',', d))
            continue;
        double got = 0, wantDouble = 0;
        std::from_chars(first, dotted.data() + dotted.size(), wantDouble);
        if (exactDouble(d, got)) {
            ++exact;
            EXPECT_EQ(got, wantDouble) << text;
            EXPECT_EQ(std::signbit(got), std::signbit(wantDouble)) << text;
        }
    }
    EXPECT_GT(exact, 10000);

    // The forms the full reading refuses are refused by the quick one too.
    DecimalDigits d;
    for (const char* bad : {"", "-", "+", ",", "1e", "1E+", "e5", "1,2,3", "1 2", "--1", "0x10",
                            "12345678901234567890", "1e99999"})
        EXPECT_FALSE(splitDecimal(bad, ',', d)) << bad;
    for (const char* bad : {"", "-", ",", "1e", "e5", "1,2,3", "--1", "0x10", "1e99999", "nan"})
        EXPECT_FALSE(parseDecimal(bad, ',').ok) << bad;
    EXPECT_EQ(parseDecimal("  -0,5E1 ", ',').value, -5);
    EXPECT_TRUE(std::signbit(parseDecimal("-0", ',').value));
}

TEST(PlainNumber, QuickGeneralFormatWritesTheDigitsOfTheFullOne)
{
    std::mt19937_64 gen(87);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> survey(-5e6, 5e6), magnitude(-7, 17);
    for (int i = 0; i < 300000; ++i) {
        double v = 0;
        if (i % 3 == 2) {
            // Every size a plain number has, and halfway cases of the 16th digit.
            v = std::pow(10.0, magnitude(gen));
            if (i % 2)
                v = (std::floor(v * 1e6) + 0.5) / 1e6;
        } else if (i % 3 == 0) {
            const std::uint64_t b = bits(gen);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v))
                continue;
        } else {
            // Coordinates with a few decimals, where ties of the 16th digit occur.
            v = std::round(survey(gen) * 1e4) / 1e4;
        }
        std::string got;
        appendGeneral(got, v, ',');
        ASSERT_EQ(got, referenceGeneral(v, ',')) << v;
        ASSERT_EQ(generalFormat(static_cast<Extended>(v), ','), got);
    }
    // Halfway cases of the 15th digit round to even, as printf does.
    for (double v : {12345678901234.5, 12345678901233.5, 0.1, 1e-5, 1e-6, 123456789012345678.0,
                     -0.000001, 1234.5})
        EXPECT_EQ(generalFormat(static_cast<Extended>(v), ','), referenceGeneral(v, ',')) << v;
    EXPECT_EQ(generalFormat(1234.5L, ','), "1234,5");
    EXPECT_EQ(generalFormat(-1e-6L, ','), "-1E-6");
    EXPECT_EQ(generalFormat(123456789012345678.0L, ','), "1,23456789012346E17");
}
