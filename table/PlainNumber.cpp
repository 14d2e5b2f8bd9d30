#include "table/PlainNumber.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace korthal {

Separators separatorsFrom(std::string_view decimal, std::string_view thousands)
{
    Separators s{'.', ','};
    if (decimal.size() == 1)
        s.decimal = decimal[0];
    // Multi-byte separators (a narrow no-break space, say) count as a blank.
    if (thousands.size() == 1)
        s.thousands = thousands[0];
    else
        s.thousands = thousands.empty() ? '\0' : ' ';
    if (s.thousands == '\0' || s.thousands == s.decimal)
        s.thousands = s.decimal == ',' ? '.' : ',';
    return s;
}

Separators localeSeparators()
{
    // The process locale's numeric category, read without changing it.
    const char* name = std::setlocale(LC_NUMERIC, nullptr);
    locale_t loc = newlocale(LC_NUMERIC_MASK, name ? name : "C", static_cast<locale_t>(nullptr));
    if (!loc)
        return separatorsFrom(".", ",");
    const char* dp = nl_langinfo_l(RADIXCHAR, loc);
    const char* ts = nl_langinfo_l(THOUSEP, loc);
    const Separators s = separatorsFrom(dp ? dp : ".", ts ? ts : "");
    freelocale(loc);
    return s;
}

std::string conversionError(std::string_view text)
{
    return "Το \"" + std::string(text) + "\" δεν είναι έγκυρος αριθμός";
}

NumberResult parseDecimal(std::string_view text, char decimalSeparator)
{
    NumberResult r;
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

std::string generalFormat(Extended value, char decimal, int digits)
{
    if (value == 0 || !std::isfinite(value))
        return "0";
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
