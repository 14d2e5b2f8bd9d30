#include "network/NumberText.h"

#include "geodesy/Angles.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <limits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace korthal {

char thousandsFromIndex(int index)
{
    switch (index) {
    case 0: return '.';
    case 1: return ',';
    case 2: return ' ';
    default: return '\0';
    }
}

int thousandsToIndex(char c)
{
    switch (c) {
    case '.': return 0;
    case ',': return 1;
    case ' ': return 2;
    default: return 3;
    }
}

char decimalFromIndex(int index)
{
    return index == 0 ? '.' : ',';
}

int decimalToIndex(char c)
{
    return c == '.' ? 0 : 1;
}

Separators afterThousandsChange(Separators s)
{
    if (s.thousands == '.')
        s.decimal = ',';
    else if (s.thousands == ',')
        s.decimal = '.';
    return s;
}

Separators afterDecimalChange(Separators s)
{
    if (s.decimal == '.' && s.thousands == '.')
        s.thousands = ',';
    else if (s.decimal == ',' && s.thousands == ',')
        s.thousands = '.';
    return s;
}

NumberResult NumberText::ParseNumber(std::string_view input, char userDecimal) const
{
    std::string s(input);
    if (display_.thousands != '\0') {
        std::string t;
        t.reserve(s.size());
        for (char c : s)
            if (c != display_.thousands)
                t += c;
        s = std::move(t);
    }
    if (system_.decimal != userDecimal) {
        auto pos = s.find(userDecimal);
        if (pos != std::string::npos)
            s[pos] = system_.decimal;
    }
    if (s.empty()) {
        NumberResult zero;
        zero.ok = true;
        return zero;
    }
    NumberResult r = parseDecimal(s, system_.decimal);
    if (!r.ok)
        r.error = conversionError(input);
    return r;
}

namespace {

std::string_view trimBlanks(std::string_view s)
{
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string_view::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

}  // namespace

NumberResult NumberText::readDisplayed(std::string_view input) const
{
    NumberResult fail;
    fail.error = conversionError(input);
    const std::string_view s = trimBlanks(input);
    const std::size_t n = s.size();
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::string canon;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        canon += s[i++];
    // The whole part: groups of three after the first group of one to three
    // digits when the thousands separator is used at all.
    bool grouped = false;
    std::size_t group = 0;
    for (; i < n; ++i) {
        if (isDigit(s[i])) {
            canon += s[i];
            ++group;
        } else if (display_.thousands != '\0' && s[i] == display_.thousands) {
            if (grouped ? group != 3 : (group == 0 || group > 3))
                return fail;
            grouped = true;
            group = 0;
        } else {
            break;
        }
    }
    if (grouped && group != 3)
        return fail;
    if (i < n && s[i] == display_.decimal) {
        canon += '.';
        for (++i; i < n && isDigit(s[i]); ++i)
            canon += s[i];
    }
    // Only an exponent may follow.
    if (i < n && s[i] != 'e' && s[i] != 'E')
        return fail;
    canon.append(s.substr(i));
    NumberResult r = parseDecimal(canon, '.');
    if (!r)
        return fail;
    return r;
}

NumberResult NumberText::readShown(std::string_view s) const
{
    if (s.empty()) {
        NumberResult zero;
        zero.ok = true;
        return zero;
    }
    if (NumberResult r = readDisplayed(s))
        return r;
    NumberResult r = parseDecimal(s, system_.decimal);
    if (!r)
        r.error = conversionError(s);
    return r;
}

NumberResult NumberText::readTyped(std::string_view s) const
{
    NumberResult r = parseDecimal(s, system_.decimal);
    if (r)
        return r;
    if (NumberResult shown = readDisplayed(s))
        return shown;
    if (r.error.empty())
        r.error = conversionError(s);
    return r;
}

namespace {
// The widest field and the most decimals a specifier can ask for.
constexpr int kMaxWidth = 255;
constexpr int kMaxPrecision = 99;

struct Specifier {
    bool left = false;
    int width = -1;
    int precision = -1;
    char type = 0;
};

// Parses "%[-][width][.prec]type" at the start of s; returns the length used
// (0 when s is not a specifier).
std::size_t parseSpecifier(std::string_view s, Specifier& fmt)
{
    if (s.empty() || s[0] != '%')
        return 0;
    std::size_t i = 1;
    if (i < s.size() && s[i] == '-') {
        fmt.left = true;
        ++i;
    }
    // Widths and precisions stop at `limit`, however many digits follow.
    auto readInt = [&](int& out, int limit) {
        bool any = false;
        int v = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            v = std::min(limit, v * 10 + (s[i] - '0'));
            ++i;
            any = true;
        }
        if (any)
            out = v;
    };
    readInt(fmt.width, kMaxWidth);
    if (i < s.size() && s[i] == '.') {
        ++i;
        fmt.precision = 0;
        readInt(fmt.precision, kMaxPrecision);
    }
    if (i >= s.size())
        return 0;
    char t = s[i];
    if (t >= 'A' && t <= 'Z')
        t = static_cast<char>(t - 'A' + 'a');
    if (std::strchr("nfdsegu", t) == nullptr)
        return 0;
    fmt.type = t;
    return i + 1;
}

Extended asExtended(const FormatArg& arg)
{
    if (auto p = std::get_if<Extended>(&arg))
        return *p;
    if (auto p = std::get_if<long long>(&arg))
        return static_cast<Extended>(*p);
    return 0;
}

// The nearest integer, the ends of the range for values beyond it and 0 for
// not a number (llround leaves those undefined).
long long roundToInteger(Extended v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18L)
        return std::numeric_limits<long long>::max();
    if (v <= -9.2e18L)
        return std::numeric_limits<long long>::min();
    return std::llround(v);
}

// Fixed notation with `decimals` decimals, '.' as the point; locale-free.
// Halves round away from zero, as a surveyor rounds by hand.
std::string fixedDigits(Extended v, int decimals)
{
    // Not a number or infinite (an estimation that broke down): a word, as
    // the standard formatting writes it, instead of digits.
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    // Room for the integer digits of the largest Extended (4933) and the
    // most decimals a specifier can ask for.
    char buf[5200];
    const int extra = 30;
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                   decimals + extra);
    if (ec != std::errc())
        return "0";
    std::string s(buf, ptr);
    // Cut the extra digits and round the rest by hand.
    bool up = s[s.size() - static_cast<std::size_t>(extra)] >= '5';
    s.resize(s.size() - static_cast<std::size_t>(extra));
    if (decimals == 0)
        s.pop_back();  // the point
    if (up) {
        std::size_t i = s.size();
        bool carry = true;
        while (carry && i > 0) {
            --i;
            if (s[i] == '.' || s[i] == '-')
                continue;
            if (s[i] == '9') {
                s[i] = '0';
            } else {
                ++s[i];
                carry = false;
            }
        }
        if (carry)
            s.insert(s[0] == '-' ? 1 : 0, "1");
    }
    // A negative value that rounds to zero shows no sign.
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

std::string pad(std::string s, const Specifier& fmt)
{
    if (fmt.width > 0) {
        // Width counts characters; UTF-8 continuation bytes take no room.
        std::size_t len = 0;
        for (char c : s)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                ++len;
        auto w = static_cast<std::size_t>(fmt.width);
        if (len < w) {
            std::string fill(w - len, ' ');
            s = fmt.left ? s + fill : fill + s;
        }
    }
    return s;
}

}  // namespace

std::string formatPiece(std::string_view fmt, const FormatArg& arg, Separators system)
{
    Specifier sp;
    std::size_t used = parseSpecifier(fmt, sp);
    if (used == 0)
        return std::string(fmt);
    std::string body;
    switch (sp.type) {
    case 'n':
    case 'f': {
        int prec = sp.precision < 0 ? 2 : sp.precision;
        std::string digits = fixedDigits(asExtended(arg), prec);
        bool negative = !digits.empty() && digits[0] == '-';
        if (negative)
            digits.erase(0, 1);
        auto point = digits.find('.');
        std::string intPart = digits.substr(0, point);
        std::string frac = point == std::string::npos ? "" : digits.substr(point + 1);
        if (sp.type == 'n' && system.thousands != '\0') {
            std::string grouped;
            const std::size_t len = intPart.size();
            for (std::size_t i = 0; i < len; ++i) {
                if (i > 0 && (len - i) % 3 == 0)
                    grouped += system.thousands;
                grouped += intPart[i];
            }
            intPart = grouped;
        }
        body = (negative ? "-" : "") + intPart;
        if (!frac.empty())
            body += system.decimal + frac;
        break;
    }
    case 'd':
    case 'u': {
        long long v = 0;
        if (auto p = std::get_if<long long>(&arg))
            v = *p;
        else
            v = roundToInteger(asExtended(arg));
        body = std::to_string(v);
        break;
    }
    case 's': {
        if (auto p = std::get_if<std::string>(&arg))
            body = *p;
        if (sp.precision >= 0 && body.size() > static_cast<std::size_t>(sp.precision))
            body.resize(static_cast<std::size_t>(sp.precision));
        break;
    }
    case 'g':
        body = generalFormat(asExtended(arg), system.decimal, sp.precision > 0 ? sp.precision : 15);
        break;
    case 'e': {
        char buf[128];
        int prec = sp.precision < 0 ? 15 : sp.precision;
        auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, asExtended(arg),
                                       std::chars_format::scientific, prec > 0 ? prec - 1 : 0);
        body = ec == std::errc() ? std::string(buf, ptr) : "0";
        for (char& c : body) {
            if (c == '.')
                c = system.decimal;
            else if (c == 'e')
                c = 'E';
        }
        break;
    }
    default:
        break;
    }
    return pad(body, sp) + std::string(fmt.substr(used));
}

std::string NumberText::FormatNumber(std::string_view fmt, const std::vector<FormatArg>& args) const
{
    // Cut at every '%': the first piece runs to the second '%', each further
    // piece from its '%' to the next one.
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    std::size_t first = fmt.find('%');
    std::size_t next = first == std::string_view::npos ? std::string_view::npos
                                                       : fmt.find('%', first + 1);
    while (true) {
        if (next == std::string_view::npos) {
            pieces.push_back(fmt.substr(start));
            break;
        }
        pieces.push_back(fmt.substr(start, next - start));
        start = next;
        next = fmt.find('%', start + 1);
    }

    const char placeholder = '\xFF';
    std::string out;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        std::string_view piece = pieces[k];
        std::size_t pct = piece.find('%');
        std::string text(piece.substr(0, pct));
        if (pct != std::string_view::npos) {
            FormatArg arg = k < args.size() ? args[k] : FormatArg{std::string()};
            text += formatPiece(piece.substr(pct), arg, system_);
        }
        if (piece.find('n') != std::string_view::npos) {
            if (system_.decimal != display_.decimal) {
                auto pos = text.find(system_.decimal);
                if (pos != std::string::npos)
                    text[pos] = placeholder;
            }
            if (system_.thousands != display_.thousands && system_.thousands != '\0') {
                std::string t;
                t.reserve(text.size());
                for (char c : text) {
                    if (c == system_.thousands) {
                        if (display_.thousands != '\0')
                            t += display_.thousands;
                    } else {
                        t += c;
                    }
                }
                text = std::move(t);
            }
            if (system_.decimal != display_.decimal) {
                auto pos = text.find(placeholder);
                if (pos != std::string::npos)
                    text[pos] = display_.decimal;
            }
        }
        out += text;
    }
    return out;
}

std::string NumberText::formatFixed(Extended value, int decimals) const
{
    return FormatNumber("%." + std::to_string(decimals) + "n", {value});
}

std::string NumberText::formatPacked(Extended packed, int decimals) const
{
    return formatFixed(PackedToShow(packed, decimals), decimals);
}

std::string NumberText::floatToText(Extended value) const
{
    return generalFormat(value, system_.decimal);
}

std::string NumberText::floatToShownText(Extended value) const
{
    return generalFormat(value, display_.decimal);
}

}  // namespace korthal
