#include "views/HatanakaEncoder.h"

#include "table/TextUtil.h"

#include <charconv>
#include <ctime>

namespace korthal::rinex {

namespace {

constexpr int kObservationOrder = 3;
constexpr int kClockOrder = 2;
constexpr int kMaxTypes = 999;

bool contains(std::string_view s, std::string_view what)
{
    return s.find(what) != std::string_view::npos;
}

std::string_view label(std::string_view line)
{
    return line.size() > 60 ? line.substr(60) : std::string_view();
}

std::string_view cols(std::string_view line, std::size_t first, std::size_t last)
{
    if (first > line.size())
        return {};
    return line.substr(first - 1, last - first + 1);
}

bool toCount(std::string_view s, int most, int& out)
{
    s = trimBlanks(s);
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= 0 && out <= most;
}

// A fixed-point number with exactly `decimals` decimals, as an integer of
// its last unit: "-1242.766" is -1242766. Blank is no value.
bool toUnits(std::string_view s, int decimals, std::int64_t& out)
{
    s = trimBlanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const std::size_t dot = s.find('.');
    if (dot == std::string_view::npos || s.size() - dot - 1 != static_cast<std::size_t>(decimals) ||
        s.size() > 19)
        return false;
    std::int64_t v = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i == dot)
            continue;
        const unsigned d = static_cast<unsigned char>(s[i]) - '0';
        if (d > 9)
            return false;
        v = v * 10 + static_cast<std::int64_t>(d);
    }
    out = negative ? -v : v;
    return true;
}

void appendInteger(std::string& out, std::int64_t v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// The next value of an arc, as Compact RINEX writes it: the start "k&v"
// or the difference of the arc's order so far.
void encodeValue(DifferenceArc& arc, std::int64_t y, int order, std::string& out)
{
    if (!arc.active) {
        arc.d[0] = y;
        arc.order = order;
        arc.have = 1;
        arc.active = true;
        out.push_back(static_cast<char>('0' + order));
        out.push_back('&');
        appendInteger(out, y);
        return;
    }
    const int k = std::min(arc.have, arc.order);
    std::array<std::int64_t, kMaxDifferenceOrder + 1> nd{};
    nd[0] = y;
    for (int i = 1; i <= k; ++i)
        nd[static_cast<std::size_t>(i)] =
            nd[static_cast<std::size_t>(i - 1)] - arc.d[static_cast<std::size_t>(i - 1)];
    for (int i = 0; i <= k; ++i)
        arc.d[static_cast<std::size_t>(i)] = nd[static_cast<std::size_t>(i)];
    if (arc.have <= arc.order)
        ++arc.have;
    appendInteger(out, nd[static_cast<std::size_t>(k)]);
}

// Text differencing of `now` against `before` (see Hatanaka.h), without
// trailing blanks.
void textDifference(std::string_view before, std::string_view now, std::string& out)
{
    const std::size_t start = out.size();
    const std::size_t n = std::max(before.size(), now.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char b = i < before.size() ? before[i] : ' ';
        const char c = i < now.size() ? now[i] : ' ';
        out.push_back(c == b ? ' ' : c == ' ' ? '&' : c);
    }
    std::size_t end = out.size();
    while (end > start && out[end - 1] == ' ')
        --end;
    out.resize(end);
}

bool validSatellite(std::string_view id)
{
    const char system = id[0] == ' ' ? 'G' : id[0];
    return system >= 'A' && system <= 'Z' && (id[1] == ' ' || (id[1] >= '0' && id[1] <= '9')) &&
           id[2] >= '0' && id[2] <= '9';
}

}  // namespace

std::string compactRinexDateNow()
{
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    gmtime_r(&now, &t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%s-%02d %02d:%02d", t.tm_mday, months[t.tm_mon % 12],
                  t.tm_year % 100, t.tm_hour, t.tm_min);
    return buf;
}

struct HatanakaEncoder::Satellite {
    std::int64_t lastEpoch = -2;
    std::vector<DifferenceArc> arcs;
    std::string flags;
};

HatanakaEncoder::HatanakaEncoder(std::string program, std::string date)
    : program_(std::move(program)), date_(std::move(date)), satelliteIndex_(26 * 100, 0)
{
}

HatanakaEncoder::~HatanakaEncoder() = default;

bool HatanakaEncoder::fail(const std::string& why)
{
    if (error_.empty())
        error_ = "γραμμή " + std::to_string(lineNo_) + ": " + why;
    return false;
}

HatanakaEncoder::Satellite& HatanakaEncoder::satellite(std::string_view id)
{
    const char system = id[0] == ' ' ? 'G' : id[0];
    const int slot = (system - 'A') * 100 + (id[1] == ' ' ? 0 : id[1] - '0') * 10 + (id[2] - '0');
    int& index = satelliteIndex_[static_cast<std::size_t>(slot)];
    if (index == 0) {
        satellites_.emplace_back();
        index = static_cast<int>(satellites_.size());
    }
    return satellites_[static_cast<std::size_t>(index - 1)];
}

bool HatanakaEncoder::add(std::string_view line, std::string& out)
{
    if (!error_.empty())
        return false;
    ++lineNo_;
    if (inHeader_)
        return headerLine(line, out);
    switch (want_) {
    case Want::Epoch:
        // Blank lines are harmless at the end of the text only.
        if (trimBlanks(line).empty()) {
            if (blankAt_ == 0)
                blankAt_ = lineNo_;
            return true;
        }
        if (blankAt_ != 0) {
            lineNo_ = blankAt_;
            return fail("κενή γραμμή εκεί που αρχίζει εποχή");
        }
        return epochLine(line) && (want_ != Want::Epoch || epochDone(out));
    case Want::EpochContinuation:
        epoch_.append(cols(line, 33, 68));
        listed_ = std::min(count_, listed_ + 12);
        epoch_.resize(32 + static_cast<std::size_t>(listed_) * 3, ' ');
        if (listed_ >= count_)
            want_ = Want::Satellite;
        return true;
    case Want::Special:
        records_.emplace_back(line);
        if (static_cast<int>(records_.size()) == count_)
            return epochDone(out);
        return true;
    case Want::Satellite:
        if (version_ == 3) {
            if (line.size() < 3 || line[0] == '>' || !validSatellite(line.substr(0, 3)))
                return fail("η εποχή της γραμμής " + std::to_string(epochLineNo_) + " έχει " +
                            std::to_string(records_.size()) + " από τους " +
                            std::to_string(count_) + " δορυφόρους της");
            epoch_.append(line.substr(0, 3));
            records_.emplace_back(line.substr(3));
        } else {
            if (linesOfRecord_ == 0)
                records_.emplace_back();
            std::string& r = records_.back();
            r.append(line.substr(0, std::min<std::size_t>(line.size(), 80)));
            r.resize(static_cast<std::size_t>(linesOfRecord_ + 1) * 80, ' ');
            linesOfRecord_ = (linesOfRecord_ + 1) % std::max(1, (rinex2Types_ + 4) / 5);
            if (linesOfRecord_ != 0)
                return true;
        }
        if (static_cast<int>(records_.size()) == count_)
            return epochDone(out);
        return true;
    }
    return true;
}

bool HatanakaEncoder::headerLine(std::string_view line, std::string& out)
{
    const std::string_view lab = label(line);
    if (lineNo_ == 1) {
        if (contains(lab, "CRINEX VERS"))
            return fail("το κείμενο είναι ήδη σε συμπίεση Hatanaka");
        if (!contains(lab, "RINEX VERSION / TYPE"))
            return fail("δεν αρχίζει με \"RINEX VERSION / TYPE\"");
        const std::string_view v = trimBlanks(cols(line, 1, 9));
        const std::string_view type = cols(line, 21, 21);
        if (type != "O")
            return fail("δεν είναι αρχείο παρατηρήσεων RINEX");
        if (!v.empty() && v[0] == '2')
            version_ = 1;
        else if (!v.empty() && (v[0] == '3' || v[0] == '4'))
            version_ = 3;
        else
            return fail("δεν γράφεται σε συμπίεση Hatanaka RINEX έκδοσης \"" + std::string(v) +
                        "\"");
        std::string first = version_ == 1 ? "1.0" : "3.0";
        first.resize(20, ' ');
        first += "COMPACT RINEX FORMAT";
        first.resize(60, ' ');
        out += first + "CRINEX VERS   / TYPE\n";
        std::string second = program_.substr(0, 20);
        second.resize(40, ' ');
        second += date_.substr(0, 20);
        second.resize(60, ' ');
        out += second + "CRINEX PROG / DATE\n";
    } else if (contains(lab, "# / TYPES OF OBSERV") && version_ == 1) {
        if (!trimBlanks(cols(line, 1, 6)).empty() && !toCount(cols(line, 1, 6), kMaxTypes, rinex2Types_))
            return fail("λάθος πλήθος τύπων παρατηρήσεων");
    } else if (contains(lab, "SYS / # / OBS TYPES") && version_ == 3 && !line.empty() &&
               line[0] != ' ') {
        int n = 0;
        if (!toCount(cols(line, 4, 6), kMaxTypes, n) || !types_.set(line[0], n))
            return fail("λάθος γραμμή \"SYS / # / OBS TYPES\"");
    }
    out.append(line);
    out.push_back('\n');
    if (contains(lab, "END OF HEADER"))
        inHeader_ = false;
    return true;
}

bool HatanakaEncoder::epochLine(std::string_view line)
{
    epochLineNo_ = lineNo_;
    records_.clear();
    linesOfRecord_ = 0;
    const std::size_t flagCol = version_ == 1 ? 29 : 32;
    if (version_ == 3 && line[0] != '>')
        return fail("αναμένεται γραμμή εποχής που αρχίζει με \">\"");
    const std::string_view flagText = trimBlanks(cols(line, flagCol, flagCol));
    flag_ = 0;
    if (!flagText.empty() && !toCount(flagText, 9, flag_))
        return fail("λάθος σημαία εποχής");
    if (!toCount(cols(line, flagCol + 1, flagCol + 3), 999, count_))
        return fail("λάθος πλήθος δορυφόρων της εποχής");
    if (flag_ >= 2 && flag_ <= 5) {
        epoch_.assign(line);
        want_ = count_ > 0 ? Want::Special : Want::Epoch;
        return true;
    }
    if (version_ == 1) {
        epoch_.assign(cols(line, 1, 32));
        epoch_.resize(32, ' ');
        epoch_[0] = ' ';
        listed_ = std::min(count_, 12);
        epoch_.append(cols(line, 33, 68));
        epoch_.resize(32 + static_cast<std::size_t>(listed_) * 3, ' ');
        clockText_.assign(cols(line, 69, 80));
        want_ = listed_ < count_ ? Want::EpochContinuation : Want::Satellite;
    } else {
        epoch_.assign(cols(line, 1, 41));
        epoch_.resize(41, ' ');
        clockText_.assign(cols(line, 42, 56));
        listed_ = count_;
        want_ = Want::Satellite;
    }
    if (count_ == 0)
        want_ = Want::Epoch;
    return true;
}

bool HatanakaEncoder::epochDone(std::string& out)
{
    want_ = Want::Epoch;
    if (flag_ >= 2 && flag_ <= 5) {
        // An event stands whole; the epoch after it starts afresh.
        if (version_ == 1) {
            out.push_back('&');
            out.append(std::string_view(epoch_).substr(epoch_.empty() ? 0 : 1));
        } else {
            out.append(epoch_);
        }
        out.push_back('\n');
        for (const std::string& r : records_) {
            out.append(r);
            out.push_back('\n');
        }
        restart_ = true;
        return true;
    }

    // Cycle-slip records start afresh, and so does the epoch after them.
    if (flag_ == 6)
        restart_ = true;
    if (restart_) {
        epochs_ += 2;
        clock_.active = false;
        if (version_ == 1) {
            out.push_back('&');
            out.append(std::string_view(epoch_).substr(1));
        } else {
            out.append(epoch_);
        }
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
    } else {
        textDifference(reference_, epoch_, out);
    }
    out.push_back('\n');
    reference_ = epoch_;
    ++epochs_;

    // The receiver clock.
    if (trimBlanks(clockText_).empty()) {
        clock_.active = false;
    } else {
        std::int64_t clock = 0;
        if (!toUnits(clockText_, version_ == 1 ? 9 : 12, clock))
            return fail("λάθος διόρθωση χρονομέτρου στην εποχή της γραμμής " +
                        std::to_string(epochLineNo_));
        encodeValue(clock_, clock, kClockOrder, out);
    }
    out.push_back('\n');

    const std::size_t listAt = version_ == 1 ? 32 : 41;
    for (int s = 0; s < count_; ++s) {
        const std::string_view id = std::string_view(epoch_).substr(listAt + static_cast<std::size_t>(s) * 3, 3);
        if (!validSatellite(id))
            return fail("λάθος δορυφόρος \"" + std::string(id) + "\" στην εποχή της γραμμής " +
                        std::to_string(epochLineNo_));
        const int types = version_ == 1 ? rinex2Types_ : types_.of(id[0]);
        if (types == 0 && version_ == 3)
            return fail("η κεφαλίδα δεν έχει τύπους παρατηρήσεων για το σύστημα " +
                        std::string(1, id[0]));
        const auto n = static_cast<std::size_t>(types);
        const std::string_view record = records_[static_cast<std::size_t>(s)];
        if (!trimBlanks(record.substr(std::min(record.size(), 16 * n))).empty())
            return fail("ο δορυφόρος " + std::string(id) + " της εποχής της γραμμής " +
                        std::to_string(epochLineNo_) + " έχει περισσότερες τιμές από τους " +
                        std::to_string(n) + " τύπους της κεφαλίδας");
        Satellite& sat = satellite(id);
        const bool continuing = sat.lastEpoch == epochs_ - 1 && sat.arcs.size() == n;
        if (!continuing) {
            sat.arcs.assign(n, DifferenceArc{});
            sat.flags.assign(2 * n, ' ');
        }
        sat.lastEpoch = epochs_;

        scratch_.clear();
        flags_.assign(2 * n, ' ');
        said_.assign(2 * n, ' ');
        std::size_t lastValue = 0;  // fields written up to here, blanks included
        for (std::size_t t = 0; t < n; ++t) {
            const std::string_view field = record.substr(std::min(record.size(), 16 * t), 16);
            const std::string_view value = field.substr(0, std::min<std::size_t>(field.size(), 14));
            for (std::size_t k = 0; k < 2; ++k) {
                const char c = field.size() > 14 + k ? field[14 + k] : ' ';
                if (c != ' ' && (c < '0' || c > '9'))
                    return fail("λάθος ψηφίο LLI ή ισχύος σήματος του δορυφόρου " +
                                std::string(id));
                flags_[2 * t + k] = said_[2 * t + k] = c;
            }
            if (t > 0)
                scratch_.push_back(' ');
            DifferenceArc& arc = sat.arcs[t];
            if (trimBlanks(value).empty()) {
                // No value: no digits either. Compact RINEX 1.0 leaves that
                // unsaid (the decoder blanks them), 3.0 says it.
                arc.active = false;
                flags_[2 * t] = flags_[2 * t + 1] = ' ';
                if (version_ == 1) {
                    said_[2 * t] = sat.flags[2 * t];
                    said_[2 * t + 1] = sat.flags[2 * t + 1];
                }
                continue;
            }
            std::int64_t y = 0;
            if (!toUnits(value, 3, y))
                return fail("η τιμή \"" + std::string(trimBlanks(value)) + "\" του δορυφόρου " +
                            std::string(id) + " δεν έχει τρία δεκαδικά");
            encodeValue(arc, y, kObservationOrder, scratch_);
            lastValue = scratch_.size();
        }
        // The digits: whole for a satellite new to this epoch, else as
        // differences from its last ones.
        std::string& line = scratch_;
        std::string digits;
        if (!continuing && version_ == 3) {
            digits = flags_;
            for (char& c : digits)
                if (c == ' ')
                    c = '&';
        } else if (!continuing) {
            textDifference(std::string(2 * n, ' '), flags_, digits);
        } else {
            textDifference(sat.flags, said_, digits);
        }
        sat.flags = flags_;
        if (digits.empty()) {
            line.resize(lastValue);  // empty fields at the end are left out
        } else {
            line.push_back(' ');
            line += digits;
        }
        if (n == 0)
            line = digits;
        out += line;
        out.push_back('\n');
    }
    restart_ = flag_ == 6;
    return true;
}

bool HatanakaEncoder::finish(std::string& out)
{
    if (!error_.empty())
        return false;
    if (inHeader_)
        return fail("το κείμενο τελειώνει χωρίς \"END OF HEADER\"");
    // A RINEX 2 file may end before the last, blank, line of its last record.
    if (want_ == Want::Satellite && version_ == 1 && linesOfRecord_ > 0 &&
        static_cast<int>(records_.size()) == count_) {
        records_.back().resize(static_cast<std::size_t>((rinex2Types_ + 4) / 5) * 80, ' ');
        return epochDone(out);
    }
    if (want_ != Want::Epoch)
        return fail("το κείμενο τελειώνει μέσα στην εποχή της γραμμής " +
                    std::to_string(epochLineNo_));
    return true;
}

}  // namespace korthal::rinex
