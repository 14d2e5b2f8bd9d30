#include "table/PlainNumber.h"

#include "table/TextUtil.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <langinfo.h>
#include <locale.h>

namespace korthal {

Separators localeSeparators()
{
    Separators s{'.', ','};
    // The process locale's numeric category, read without changing it.
    const char* name = std::setlocale(LC_NUMERIC, nullptr);
    locale_t loc = newlocale(LC_NUMERIC_MASK, name ? name : "C", static_cast<locale_t>(nullptr));
    if (loc) {
        const char* dp = nl_langinfo_l(RADIXCHAR, loc);
        const char* ts = nl_langinfo_l(THOUSEP, loc);
        if (dp && std::strlen(dp) == 1)
            s.decimal = dp[0];
        // Multi-byte separators (a narrow no-break space, say) count as a blank.
        if (ts && std::strlen(ts) == 1)
            s.thousands = ts[0];
        else if (ts && *ts)
            s.thousands = ' ';
        else
            s.thousands = '\0';
        freelocale(loc);
    }
    if (s.thousands == '\0' || s.thousands == s.decimal)
        s.thousands = s.decimal == ',' ? '.' : ',';
    return s;
}

std::string conversionError(std::string_view text)
{
    return "Το \"" + std::string(text) + "\" δεν είναι έγκυρος αριθμός";
}

namespace {

constexpr double kPow10Double[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr Extended kPow10Extended[] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
    1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
    1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool splitDecimal(std::string_view t, char decimalSeparator, DecimalDigits& out)
{
    const char* p = t.data();
    const char* const e = p + t.size();
    out = DecimalDigits{};
    if (p < e && (*p == '+' || *p == '-'))
        out.negative = *p++ == '-';
    // Leading zeros carry no digit; after them at most 19 digits fit.
    const char* const start = p;
    while (p < e && *p == '0')
        ++p;
    std::uint64_t v = 0;
    const char* const intDigits = p;
    for (; p < e; ++p) {
        const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (d > 9)
            break;
        v = v * 10 + d;
    }
    auto significant = p - intDigits;
    bool any = p > start;
    if (p < e && *p == decimalSeparator) {
        const char* const frac = ++p;
        if (significant == 0) {
            while (p < e && *p == '0')
                ++p;
        }
        const char* const digits = p;
        for (; p < e; ++p) {
            const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
            if (d > 9)
                break;
            v = v * 10 + d;
        }
        significant += p - digits;
        out.exponent = -static_cast<int>(p - frac);
        any = any || p > frac;
    }
    if (!any || significant > 19)
        return false;
    out.digits = v;
    if (p < e && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        const bool minus = q < e && *q == '-';
        if (q < e && (*q == '+' || *q == '-'))
            ++q;
        int x = 0;
        const char* const first = q;
        for (; q < e && isDigit(*q); ++q) {
            x = x * 10 + (*q - '0');
            if (x > 9999)
                return false;
        }
        if (q > first) {
            out.exponent += minus ? -x : x;
            p = q;
        }
    }
    return p == e;
}

bool exactDouble(const DecimalDigits& d, double& value)
{
    if (d.digits > (std::uint64_t{1} << 53))
        return false;
    double v = static_cast<double>(d.digits);
    if (d.digits == 0)
        v = 0;
    else if (d.exponent >= 0 && d.exponent <= 22)
        v *= kPow10Double[d.exponent];
    else if (d.exponent < 0 && d.exponent >= -22)
        v /= kPow10Double[-d.exponent];
    else
        return false;
    value = d.negative ? -v : v;
    return true;
}

bool exactExtended(const DecimalDigits& d, Extended& value)
{
    Extended v = static_cast<Extended>(d.digits);
    if (d.digits == 0)
        v = 0;
    else if (d.exponent >= 0 && d.exponent <= 27)
        v *= kPow10Extended[d.exponent];
    else if (d.exponent < 0 && d.exponent >= -27)
        v /= kPow10Extended[-d.exponent];
    else
        return false;
    value = d.negative ? -v : v;
    return true;
}

NumberResult parseDecimal(std::string_view text, char decimalSeparator)
{
    NumberResult r;
    // Most texts are plain and short: their value is one exact operation.
    {
        DecimalDigits d;
        if (splitDecimal(trimBlanks(text), decimalSeparator, d) && exactExtended(d, r.value)) {
            r.ok = true;
            return r;
        }
    }
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < n && isBlank(text[i]))
        ++i;
    std::string canon;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        canon += text[i++];
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        canon += text[i++];
        ++digits;
    }
    if (i < n && text[i] == decimalSeparator) {
        canon += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            canon += text[i++];
            ++digits;
        }
    }
    if (digits > 0 && i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == '+' || text[j] == '-'))
            exp += text[j++];
        std::size_t expDigits = 0;
        while (j < n && isDigit(text[j])) {
            exp += text[j++];
            ++expDigits;
        }
        if (expDigits > 0) {
            canon += exp;
            i = j;
        }
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (digits == 0 || i != n) {
        r.error = conversionError(text);
        return r;
    }
    const char* first = canon.data();
    if (*first == '+')
        ++first;
    long double v = 0;
    auto [ptr, ec] = std::from_chars(first, canon.data() + canon.size(), v);
    if (ec != std::errc() || ptr != canon.data() + canon.size() || !std::isfinite(v)) {
        r.error = conversionError(text);
        return r;
    }
    r.value = v;
    r.ok = true;
    return r;
}

namespace {

// The 15 significant digits of a > 0, correctly rounded, as an integer in
// [1e14, 1e15), and the power of ten of the first digit. One exact
// multiplication in Extended gives them unless a lies too close to halfway
// between two 15-digit numbers (the error of that product is below 1e-4 of
// the last digit), or far outside the range of plain numbers: then false.
bool quickDigits(double a, std::uint64_t& n, int& exponent)
{
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int e2 = static_cast<int>((bits >> 52) & 0x7FF) - 1022;  // a = f·2^e2, f in [0.5, 1)
    if (e2 < -1000 || e2 > 1000)
        return false;  // subnormal, infinite or not a number
    // floor(log10 a) is this or one more.
    int e = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398119521));
    Extended scaled = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const int p = 14 - e;
        if (p < -27 || p > 27)
            return false;
        scaled = p >= 0 ? static_cast<Extended>(a) * kPow10Extended[p]
                        : static_cast<Extended>(a) / kPow10Extended[-p];
        if (scaled < 1e15L)
            break;
        ++e;
    }
    if (!(scaled >= 1e14L && scaled < 1e15L))
        return false;
    n = static_cast<std::uint64_t>(scaled);
    const Extended frac = scaled - static_cast<Extended>(n);
    if (std::fabs(frac - 0.5L) < 1e-3L)
        return false;
    if (frac > 0.5L && ++n == 1000000000000000ull) {
        n = 100000000000000ull;
        ++e;
    }
    exponent = e;
    return true;
}

}  // namespace

void appendGeneral(std::string& out, double value, char decimal)
{
    char text[kGeneralMax];
    out.append(text, writeGeneral(text, value, decimal));
}

char* writeGeneral(char* to, double value, char decimal)
{
    if (value == 0 || !std::isfinite(value)) {
        *to = '0';
        return to + 1;
    }
    char mant[16];
    int len = 15;
    int exponent = 0;
    std::uint64_t n = 0;
    if (quickDigits(std::fabs(value), n, exponent)) {
        std::to_chars(mant, mant + sizeof mant, n);
    } else {
        // d.dddddddddddddde±x: the 15 digits correctly rounded.
        char buf[40];
        const char* end =
            std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14).ptr;
        const char* p = buf;
        len = 0;
        for (; p < end && *p != 'e'; ++p)
            if (*p != '.')
                mant[len++] = *p;
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
    }
    while (len > 1 && mant[len - 1] == '0')
        --len;
    char* t = to;
    if (value < 0)
        *t++ = '-';
    auto put = [&t](const char* from, std::size_t count) {
        std::memcpy(t, from, count);
        t += count;
    };
    const auto ulen = static_cast<std::size_t>(len);
    if (exponent < -5 || exponent >= 15) {
        *t++ = mant[0];
        if (len > 1) {
            *t++ = decimal;
            put(mant + 1, ulen - 1);
        }
        *t++ = 'E';
        t = std::to_chars(t, to + kGeneralMax, exponent).ptr;
    } else if (exponent < 0) {
        *t++ = '0';
        *t++ = decimal;
        for (int i = 0; i < -exponent - 1; ++i)
            *t++ = '0';
        put(mant, ulen);
    } else if (len <= exponent + 1) {
        put(mant, ulen);
        for (int i = len; i < exponent + 1; ++i)
            *t++ = '0';
    } else {
        const auto whole = static_cast<std::size_t>(exponent + 1);
        put(mant, whole);
        *t++ = decimal;
        put(mant + whole, ulen - whole);
    }
    return t;
}

std::string generalFormat(Extended value, char decimal, int digits)
{
    if (value == 0 || !std::isfinite(value))
        return "0";
    // A double's text is the same whether its digits come from the double
    // or from the same value widened.
    if (digits == 15 && static_cast<Extended>(static_cast<double>(value)) == value) {
        std::string out;
        appendGeneral(out, static_cast<double>(value), decimal);
        return out;
    }
    char buf[128];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                                   digits - 1);
    if (ec != std::errc())
        return "0";
    std::string sci(buf, ptr);
    bool negative = sci[0] == '-';
    if (negative)
        sci.erase(0, 1);
    auto epos = sci.find('e');
    int exponent = std::atoi(sci.c_str() + epos + 1);
    std::string mant;
    for (std::size_t i = 0; i < epos; ++i)
        if (sci[i] != '.')
            mant += sci[i];
    while (mant.size() > 1 && mant.back() == '0')
        mant.pop_back();
    std::string out;
    if (exponent < -5 || exponent >= digits) {
        out = mant.substr(0, 1);
        if (mant.size() > 1)
            out += decimal + mant.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out = "0";
        out += decimal;
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0') + mant;
    } else {
        auto intDigits = static_cast<std::size_t>(exponent + 1);
        if (mant.size() <= intDigits) {
            out = mant + std::string(intDigits - mant.size(), '0');
        } else {
            out = mant.substr(0, intDigits);
            out += decimal;
            out += mant.substr(intDigits);
        }
    }
    return negative ? "-" + out : out;
}

}  // namespace korthal
