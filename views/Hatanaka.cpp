#include "views/Hatanaka.h"

#include "table/TextUtil.h"

#include <algorithm>
#include <cstring>

namespace korthal::rinex {

namespace {

constexpr int kMaxTypes = 999;
// Satellite numbers 0..99 for each system letter A-Z.
constexpr int kSatelliteSlots = 26 * 100;

bool contains(std::string_view s, std::string_view what)
{
    return s.find(what) != std::string_view::npos;
}

std::string_view label(std::string_view line)
{
    return line.size() > 60 ? line.substr(60) : std::string_view();
}

// A whole decimal integer with an optional sign; at most 18 digits.
bool parseInteger(std::string_view s, std::int64_t& out)
{
    bool negative = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i == s.size() || s.size() - i > 18)
        return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(s[i]) - '0';
        if (d > 9)
            return false;
        v = v * 10 + static_cast<std::int64_t>(d);
    }
    out = negative ? -v : v;
    return true;
}

// Text differencing: a blank keeps the character of `base`, '&' makes a
// blank, any other character replaces it; `base` grows as needed.
void applyTextDifference(std::string& base, std::string_view diff)
{
    if (base.size() < diff.size())
        base.resize(diff.size(), ' ');
    for (std::size_t i = 0; i < diff.size(); ++i) {
        const char c = diff[i];
        if (c == '&')
            base[i] = ' ';
        else if (c != ' ')
            base[i] = c;
    }
}

void trimRight(std::string& s, std::size_t from)
{
    std::size_t end = s.size();
    while (end > from && s[end - 1] == ' ')
        --end;
    s.resize(end);
}

}  // namespace

bool SystemTypeCounts::set(char system, int n)
{
    if (system == ' ')
        system = 'G';
    if (system < 'A' || system > 'Z')
        return false;
    count[static_cast<std::size_t>(system - 'A')] = n;
    return true;
}

int SystemTypeCounts::of(char system) const
{
    if (system == ' ')
        system = 'G';
    if (system < 'A' || system > 'Z')
        return 0;
    return count[static_cast<std::size_t>(system - 'A')];
}

bool formatFixedPoint(std::int64_t value, int decimals, int width, std::string& out)
{
    char buf[32];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = value < 0;
    // The magnitude as unsigned, so that the most negative value is no
    // special case.
    std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(value)
                               : static_cast<std::uint64_t>(value);
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m > 0);
    if (negative)
        *--p = '-';
    const auto len = static_cast<int>(end - p);
    if (len > width)
        return false;
    out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(p, static_cast<std::size_t>(len));
    return true;
}

struct HatanakaLines::Satellite {
    std::int64_t lastEpoch = -2;
    std::vector<DifferenceArc> arcs;
    std::string flags;  // LLI and strength digit of each type
};

HatanakaLines::HatanakaLines(LineLayer& in, ReadState& state)
    : in_(in), state_(state), satelliteIndex_(kSatelliteSlots, 0)
{
    out_.reserve(1 << 16);
}

HatanakaLines::~HatanakaLines() = default;

bool HatanakaLines::fail(const std::string& why)
{
    state_.fail(TextError::Kind::Damaged,
                "Λάθος στη γραμμή " + std::to_string(in_.lineNumber()) + " του αρχείου " +
                    quotedName(state_.name) + " (συμπίεση Hatanaka): " + why + ".",
                in_.lineNumber());
    return false;
}

bool HatanakaLines::readInput(std::string_view& line, const char* what)
{
    if (in_.next(line))
        return true;
    if (!state_.error)
        fail(std::string("το αρχείο τελειώνει πριν από ") + what);
    return false;
}

void HatanakaLines::emit(std::string_view text)
{
    out_.append(text);
    out_.push_back('\n');
}

HatanakaLines::Satellite& HatanakaLines::satellite(std::string_view id)
{
    const char system = id[0] == ' ' ? 'G' : id[0];
    const int tens = id[1] == ' ' ? 0 : id[1] - '0';
    const int units = id[2] - '0';
    const int slot = (system - 'A') * 100 + tens * 10 + units;
    int& index = satelliteIndex_[static_cast<std::size_t>(slot)];
    if (index == 0) {
        satellites_.emplace_back();
        index = static_cast<int>(satellites_.size());
    }
    return satellites_[static_cast<std::size_t>(index - 1)];
}

bool HatanakaLines::next(std::string_view& line)
{
    while (outPos_ >= out_.size()) {
        out_.clear();
        outPos_ = 0;
        if (!fill())
            return false;
    }
    const std::size_t nl = out_.find('\n', outPos_);
    line = std::string_view(out_).substr(outPos_, nl - outPos_);
    consumed_ += nl + 1 - outPos_;
    outPos_ = nl + 1;
    ++outLine_;
    return true;
}

bool HatanakaLines::fill()
{
    if (state_.error)
        return false;
    return inHeader_ ? headerLine() : epoch();
}

bool HatanakaLines::headerLine()
{
    std::string_view line;
    if (!in_.next(line)) {
        if (!state_.error)
            fail(headerLines_ == 0 ? "το αρχείο είναι κενό"
                                   : "το αρχείο τελειώνει χωρίς \"END OF HEADER\"");
        return false;
    }
    ++headerLines_;
    const std::string_view lab = label(line);
    if (headerLines_ == 1) {
        if (!contains(lab, "CRINEX VERS")) {
            fail("δεν είναι αρχείο Compact RINEX (λείπει το \"CRINEX VERS   / TYPE\")");
            return false;
        }
        const std::string_view v = trimBlanks(line.substr(0, 20));
        if (v.rfind("1.", 0) == 0)
            version_ = 1;
        else if (v.rfind("3.", 0) == 0)
            version_ = 3;
        else {
            fail("άγνωστη έκδοση Compact RINEX \"" + std::string(v) + "\"");
            return false;
        }
        return true;
    }
    if (headerLines_ == 2)
        return true;  // program and date of the compression
    if (contains(lab, "RINEX VERSION / TYPE")) {
        const std::string_view v = trimBlanks(line.substr(0, 9));
        const bool two = !v.empty() && v[0] == '2';
        if ((version_ == 1) != two) {
            fail("η έκδοση Compact RINEX " + std::to_string(version_) +
                 ".0 δεν αντιστοιχεί σε RINEX έκδοσης " + std::string(v));
            return false;
        }
    } else if (contains(lab, "# / TYPES OF OBSERV") && version_ == 1) {
        std::int64_t n = 0;
        const std::string_view count = trimBlanks(line.substr(0, 6));
        if (!count.empty()) {
            if (!parseInteger(count, n) || n < 0 || n > kMaxTypes) {
                fail("λάθος πλήθος τύπων παρατηρήσεων");
                return false;
            }
            rinex2Types_ = static_cast<int>(n);
        }
    } else if (contains(lab, "SYS / # / OBS TYPES") && version_ == 3 && !line.empty() &&
               line[0] != ' ') {
        std::int64_t n = 0;
        if (line.size() < 6 || !parseInteger(trimBlanks(line.substr(3, 3)), n) || n < 0 ||
            n > kMaxTypes || !types_.set(line[0], static_cast<int>(n))) {
            fail("λάθος γραμμή \"SYS / # / OBS TYPES\"");
            return false;
        }
    }
    emit(line);
    if (contains(lab, "END OF HEADER") || (lab.empty() && contains(line, "END OF HEADER")))
        inHeader_ = false;
    return true;
}

bool HatanakaLines::epoch()
{
    std::string_view line;
    if (!in_.next(line))
        return false;  // the end of the file, or the fault below it
    const char start = version_ == 1 ? '&' : '>';
    if (!line.empty() && line[0] == start) {
        // A whole epoch line: the compression starts afresh.
        reference_.assign(line);
        haveReference_ = true;
        epochs_ += 2;  // no satellite continues from the last epoch
        clock_.active = false;
    } else {
        if (!haveReference_)
            return fail("η πρώτη εποχή δεν είναι γραμμένη ολόκληρη");
        applyTextDifference(reference_, line);
    }
    if (version_ == 1)
        reference_[0] = ' ';
    const std::size_t flagAt = version_ == 1 ? 28 : 31;
    const std::size_t listAt = version_ == 1 ? 32 : 41;
    if (reference_.size() < flagAt + 4)
        return fail("η γραμμή της εποχής είναι πολύ μικρή");
    const char flagChar = reference_[flagAt];
    const int flag = flagChar == ' ' ? 0 : flagChar - '0';
    std::int64_t count = 0;
    if (flag < 0 || flag > 9 ||
        !parseInteger(trimBlanks(std::string_view(reference_).substr(flagAt + 1, 3)), count) ||
        count < 0)
        return fail("λάθος σημαία ή πλήθος δορυφόρων στη γραμμή της εποχής");

    if (flag >= 2 && flag <= 5) {
        // An event: the line and its special records as they are.
        scratch_.assign(reference_, 0, std::min(reference_.size(), listAt));
        trimRight(scratch_, 0);
        emit(scratch_);
        for (std::int64_t i = 0; i < count; ++i) {
            if (!readInput(line, "το τέλος των ειδικών εγγραφών ενός γεγονότος"))
                return false;
            emit(line);
        }
        return true;
    }
    if (reference_.size() < listAt + static_cast<std::size_t>(count) * 3)
        return fail("ο κατάλογος των δορυφόρων της εποχής έχει λιγότερους από " +
                    std::to_string(count));
    return dataEpoch(std::string_view(reference_).substr(listAt, static_cast<std::size_t>(count) * 3),
                     static_cast<int>(count));
}

namespace {

// Reads one numeric field into its arc; false with the reason in `why`.
bool decodeField(std::string_view field, DifferenceArc& arc, std::string& why)
{
    const std::size_t amp = field.find('&');
    if (amp != std::string_view::npos) {
        std::int64_t order = 0, value = 0;
        if (amp != 1 || !parseInteger(field.substr(0, 1), order) || order < 0 ||
            order > kMaxDifferenceOrder || !parseInteger(field.substr(2), value)) {
            why = "λάθος αρχική τιμή \"" + std::string(field) + "\"";
            return false;
        }
        arc.d[0] = value;
        arc.order = static_cast<int>(order);
        arc.have = 1;
        arc.active = true;
        return true;
    }
    std::int64_t x = 0;
    if (!parseInteger(field, x)) {
        why = "λάθος διαφορά \"" + std::string(field) + "\"";
        return false;
    }
    if (!arc.active) {
        why = "διαφορά \"" + std::string(field) + "\" χωρίς αρχική τιμή";
        return false;
    }
    const int k = std::min(arc.have, arc.order);
    arc.d[static_cast<std::size_t>(k)] = x;
    for (int i = k - 1; i >= 0; --i) {
        auto& a = arc.d[static_cast<std::size_t>(i)];
        if (__builtin_add_overflow(a, arc.d[static_cast<std::size_t>(i + 1)], &a)) {
            why = "τιμή πέρα από κάθε όριο";
            return false;
        }
    }
    if (arc.have <= arc.order)
        ++arc.have;
    return true;
}

}  // namespace

bool HatanakaLines::dataEpoch(std::string_view list, int count)
{
    const std::int64_t epochLineNo = in_.lineNumber();
    ++epochs_;
    std::string_view line;
    if (!readInput(line, "τη γραμμή του χρονομέτρου της εποχής"))
        return false;
    std::string why;
    const std::string_view clockText = trimBlanks(line);
    bool haveClock = false;
    if (clockText.empty()) {
        clock_.active = false;
    } else {
        if (!decodeField(clockText, clock_, why))
            return fail(why);
        haveClock = true;
    }

    // The epoch line(s).
    scratch_.clear();
    if (version_ == 1) {
        scratch_.assign(reference_, 0, 32);
        for (int i = 0; i < count; i += 12) {
            if (i > 0) {
                trimRight(scratch_, 0);
                emit(scratch_);
                scratch_.assign(32, ' ');
            }
            scratch_.append(list.substr(static_cast<std::size_t>(i) * 3,
                                        static_cast<std::size_t>(std::min(12, count - i)) * 3));
            if (i == 0 && haveClock) {
                scratch_.resize(68, ' ');
                if (!formatFixedPoint(clock_.d[0], 9, 12, scratch_))
                    return fail("το χρονόμετρο δεν χωρά στο πεδίο του");
            }
        }
    } else {
        scratch_.assign(reference_, 0, 41);
        if (haveClock) {
            scratch_.resize(41, ' ');
            if (!formatFixedPoint(clock_.d[0], 12, 15, scratch_))
                return fail("το χρονόμετρο δεν χωρά στο πεδίο του");
        }
    }
    trimRight(scratch_, 0);
    emit(scratch_);

    for (int s = 0; s < count; ++s) {
        const std::string_view id = list.substr(static_cast<std::size_t>(s) * 3, 3);
        const char system = id[0] == ' ' ? 'G' : id[0];
        const bool numberOk = (id[1] == ' ' || (id[1] >= '0' && id[1] <= '9')) && id[2] >= '0' &&
                              id[2] <= '9';
        if (system < 'A' || system > 'Z' || !numberOk)
            return fail("λάθος δορυφόρος \"" + std::string(id) + "\" στην εποχή της γραμμής " +
                        std::to_string(epochLineNo));
        const int types = version_ == 1 ? rinex2Types_ : types_.of(system);
        if (types == 0 && version_ == 3)
            return fail("η κεφαλίδα δεν έχει τύπους παρατηρήσεων για το σύστημα " +
                        std::string(1, system));
        if (!readInput(line, "το τέλος της εποχής"))
            return false;
        Satellite& sat = satellite(id);
        if (version_ == 3) {
            scratch_.assign(id);
        } else {
            scratch_.clear();
        }
        if (!satelliteLine(sat, line, types))
            return false;
    }
    return true;
}

bool HatanakaLines::satelliteLine(Satellite& s, std::string_view line, int types)
{
    const auto n = static_cast<std::size_t>(types);
    if (s.lastEpoch != epochs_ - 1 || s.arcs.size() != n) {
        // New to this epoch: every arc starts again, the digits from blank.
        s.arcs.assign(n, DifferenceArc{});
        s.flags.assign(2 * n, ' ');
    }
    s.lastEpoch = epochs_;

    // The values, then the digits.
    std::size_t pos = 0;
    bool ended = false;
    std::string why;
    // Which types have a value in this epoch: the arcs of the others end.
    values_.assign(n, 0);
    for (std::size_t t = 0; t < n; ++t) {
        DifferenceArc& arc = s.arcs[t];
        if (ended) {
            arc.active = false;
            continue;
        }
        const std::size_t sp = line.find(' ', pos);
        const std::string_view field =
            line.substr(pos, sp == std::string_view::npos ? std::string_view::npos : sp - pos);
        if (sp == std::string_view::npos)
            ended = true;
        else
            pos = sp + 1;
        if (field.empty()) {
            arc.active = false;
            continue;
        }
        if (!decodeField(field, arc, why))
            return fail(why);
        values_[t] = 1;
    }
    if (!ended)
        applyTextDifference(s.flags, line.substr(pos).substr(0, 2 * n));
    // A type without a value has no digits: they start from blank at its
    // next value.
    for (std::size_t t = 0; t < n; ++t)
        if (!values_[t])
            s.flags[2 * t] = s.flags[2 * t + 1] = ' ';

    // The RINEX line(s): 16 columns a type, five types a line in RINEX 2.
    for (std::size_t t = 0; t < n; ++t) {
        if (version_ == 1 && t > 0 && t % 5 == 0) {
            trimRight(scratch_, 0);
            emit(scratch_);
            scratch_.clear();
        }
        if (values_[t]) {
            if (!formatFixedPoint(s.arcs[t].d[0], 3, 14, scratch_))
                return fail("η τιμή δεν χωρά στο πεδίο της");
            scratch_.push_back(s.flags[2 * t]);
            scratch_.push_back(s.flags[2 * t + 1]);
        } else {
            scratch_.append(16, ' ');
        }
    }
    trimRight(scratch_, 0);
    emit(scratch_);
    return true;
}

}  // namespace korthal::rinex
