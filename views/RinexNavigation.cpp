#include "views/RinexNavigation.h"

#include "table/Cp1253.h"
#include "table/TextUtil.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace korthal::rinex {

namespace {

// Lines with one line of look-ahead.
class Lines {
public:
    explicit Lines(const LineSource& source) : source_(source) {}

    // The next line without taking it; false at the end.
    bool peek(std::string*& line)
    {
        if (!held_) {
            held_ = source_(next_);
            if (!held_)
                return false;
        }
        line = &next_;
        return true;
    }
    bool take(std::string& line)
    {
        std::string* p = nullptr;
        if (!peek(p))
            return false;
        line.swap(next_);
        held_ = false;
        ++number_;
        return true;
    }
    std::int64_t number() const { return number_; }  // of the last line taken

private:
    const LineSource& source_;
    std::string next_;
    bool held_ = false;
    std::int64_t number_ = 0;
};

std::string_view cols(std::string_view line, std::size_t first, std::size_t count)
{
    if (first > line.size())
        return {};
    return line.substr(first - 1, count);
}

// A real in Fortran's D or E notation with '.' as the decimal point; blank
// reads 0. The text is written to `bad` when it is not a number.
bool readReal(std::string_view field, double& out, std::string& bad)
{
    std::string_view s = trimBlanks(field);
    if (s.empty()) {
        out = 0;
        return true;
    }
    char tmp[40];
    std::size_t n = 0;
    bool ok = s.size() < sizeof tmp;
    for (std::size_t i = 0; ok && i < s.size(); ++i) {
        const char c = s[i];
        if (c == 'D' || c == 'd')
            tmp[n++] = 'E';
        else if (c == '+' && (i == 0))
            continue;  // from_chars takes no leading plus
        else
            tmp[n++] = c;
    }
    if (ok) {
        const auto r = std::from_chars(tmp, tmp + n, out);
        ok = r.ec == std::errc() && r.ptr == tmp + n && std::isfinite(out);
    }
    if (!ok)
        bad.assign(s);
    return ok;
}

bool readInt(std::string_view field, int& out)
{
    std::string_view s = trimBlanks(field);
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string satelliteName(int prn)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "G%02d", prn);
    return buf;
}

// One GPS record: the first line and the seven lines of orbit data.
struct RecordText {
    std::int64_t firstLine = 0;
    std::vector<std::string> lines;
};

class Reader {
public:
    Reader(const LineSource& source, const std::string& name) : lines_(source), name_(name) {}

    NavigationResult run()
    {
        if (!header())
            return std::move(result_);
        if (result_.version >= 4)
            bodyVersion4();
        else
            bodyVersion2or3();
        return std::move(result_);
    }

private:
    bool refuse(const std::string& why)
    {
        result_.status = NavigationStatus::NotNavigation;
        result_.message = "Το \"" + name_ + "\" δεν είναι αρχείο εφημερίδων RINEX: " + why + ".";
        return false;
    }

    bool header()
    {
        std::string line;
        if (!lines_.take(line))
            return refuse("είναι κενό");
        if (line.find("RINEX VERSION / TYPE") == std::string::npos)
            return refuse("η πρώτη γραμμή δεν είναι \"RINEX VERSION / TYPE\"");
        std::string bad;
        if (!readReal(cols(line, 1, 9), result_.version, bad) || result_.version < 1 ||
            result_.version >= 5)
            return refuse("άγνωστη έκδοση \"" + cp1253ToUtf8(trimBlanks(cols(line, 1, 9))) + "\"");
        const char type = line.size() >= 21 ? line[20] : ' ';
        const char system = line.size() >= 41 ? line[40] : ' ';
        // Version 2 names the system by the type letter (N: GPS, G: GLONASS);
        // versions 3 and 4 write N and the system in column 41.
        if (type != 'N' && type != 'n')
            return refuse("δεν είναι αρχείο navigation (τύπος \"" +
                          cp1253ToUtf8(std::string_view(&type, 1)) + "\")");
        if (result_.version < 3 && system != ' ' && system != 'G' && system != 'N')
            return refuse("δεν είναι αρχείο GPS");
        while (lines_.take(line))
            if (line.find("END OF HEADER") != std::string::npos)
                return true;
        return refuse("λείπει το \"END OF HEADER\"");
    }

    void finding(std::int64_t line, const std::string& what)
    {
        result_.findings.push_back({line, name_ + ", γραμμή " + std::to_string(line) + ": " + what});
    }

    // Version 2: a record is the line with the satellite number and the
    // epoch, and seven more, each beginning with three blanks.
    // Version 3: the first line begins with the system letter, the lines
    // after it with four blanks; records of other systems differ in length
    // and are read past up to the next line that begins with a letter.
    void bodyVersion2or3()
    {
        const bool v2 = result_.version < 3;
        std::string line;
        std::string* next = nullptr;
        while (lines_.take(line)) {
            if (trimBlanks(line).empty())
                continue;
            RecordText rec;
            rec.firstLine = lines_.number();
            const bool gps = v2 || line[0] == 'G';
            rec.lines.push_back(std::move(line));
            if (v2) {
                while (rec.lines.size() < 8 && lines_.peek(next) &&
                       next->compare(0, 3, "   ") == 0) {
                    lines_.take(line);
                    rec.lines.push_back(std::move(line));
                }
            } else {
                while (lines_.peek(next) && (next->empty() || (*next)[0] == ' ')) {
                    lines_.take(line);
                    rec.lines.push_back(std::move(line));
                }
            }
            if (gps)
                gpsRecord(rec, v2 ? 3 : 4);
            else
                ++result_.otherRecords;
        }
    }

    // Version 4: every record opens with "> TYPE SAT MESSAGE"; GPS
    // ephemerides are "> EPH Gnn LNAV", followed by the same lines as in
    // version 3.
    void bodyVersion4()
    {
        std::string line;
        std::string* next = nullptr;
        while (lines_.take(line)) {
            if (line.empty() || line[0] != '>')
                continue;  // a line outside any record
            const bool gps = line.compare(0, 6, "> EPH ") == 0 && line.size() >= 7 &&
                             line[6] == 'G' && line.find("LNAV") != std::string::npos;
            RecordText rec;
            while (lines_.peek(next) && (next->empty() || (*next)[0] != '>')) {
                lines_.take(line);
                if (rec.lines.empty())
                    rec.firstLine = lines_.number();
                rec.lines.push_back(std::move(line));
            }
            if (gps && !rec.lines.empty())
                gpsRecord(rec, 4);
            else
                ++result_.otherRecords;
        }
    }

    // Reads the 29 numbers of a GPS record: three on the first line after
    // the epoch, four on each of the next seven (the last one may hold fewer).
    // `indent` is where the numbers of the continuation lines start less one.
    void gpsRecord(const RecordText& rec, std::size_t indent)
    {
        const std::string& first = rec.lines[0];
        const bool v2 = indent == 3;
        int prn = 0;
        if (!readInt(v2 ? cols(first, 1, 2) : cols(first, 2, 2), prn) || prn < 1 || prn > 99) {
            finding(rec.firstLine, "ο αριθμός του δορυφόρου \"" +
                                       cp1253ToUtf8(trimBlanks(cols(first, 1, v2 ? 2 : 3))) +
                                       "\" δεν διαβάζεται· η εγγραφή παραλείπεται");
            return;
        }
        const std::string sat = satelliteName(prn);
        if (rec.lines.size() < 8) {
            finding(rec.firstLine, "η εφημερίδα του " + sat + " είναι ελλιπής (" +
                                       std::to_string(rec.lines.size()) +
                                       " από 8 γραμμές)· παραλείπεται");
            return;
        }
        // The epoch: version 2 "yy mm dd hh mm ss.s", version 3 "yyyy mm dd hh mm ss".
        std::array<int, 5> ymdhm{};
        double second = 0;
        std::string bad;
        bool ok = true;
        if (v2) {
            for (std::size_t k = 0; k < 5; ++k)
                ok = ok && readInt(cols(first, 4 + 3 * k, 2), ymdhm[k]);
            ok = ok && readReal(cols(first, 19, 4), second, bad);
            if (ok)
                ymdhm[0] += ymdhm[0] >= 80 ? 1900 : 2000;
        } else {
            ok = readInt(cols(first, 5, 4), ymdhm[0]);
            for (std::size_t k = 1; k < 5; ++k)
                ok = ok && readInt(cols(first, 7 + 3 * k, 2), ymdhm[k]);
            int s = 0;
            ok = ok && readInt(cols(first, 22, 2), s);
            second = s;
        }
        if (!ok || ymdhm[1] < 1 || ymdhm[1] > 12 || ymdhm[2] < 1 || ymdhm[2] > 31 ||
            ymdhm[3] > 24 || ymdhm[4] > 60) {
            finding(rec.firstLine, "η εποχή της εφημερίδας του " + sat +
                                       " δεν διαβάζεται· η εφημερίδα παραλείπεται");
            return;
        }
        std::array<double, 31> v{};
        const std::size_t firstStart = v2 ? 23 : 24;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!readReal(cols(first, firstStart + 19 * k, 19), v[k], bad)) {
                brokenNumber(rec.firstLine, sat, bad);
                return;
            }
        }
        for (std::size_t l = 1; l < 8; ++l) {
            for (std::size_t k = 0; k < 4; ++k) {
                if (!readReal(cols(rec.lines[l], indent + 1 + 19 * k, 19), v[3 + 4 * (l - 1) + k],
                              bad)) {
                    brokenNumber(rec.firstLine + static_cast<std::int64_t>(l), sat, bad);
                    return;
                }
            }
        }
        gnss::GpsEphemeris e;
        e.prn = prn;
        e.toc = gnss::gpsSeconds(ymdhm[0], ymdhm[1], ymdhm[2], ymdhm[3], ymdhm[4], second);
        e.af0 = v[0], e.af1 = v[1], e.af2 = v[2];
        e.iode = v[3], e.crs = v[4], e.deltaN = v[5], e.m0 = v[6];
        e.cuc = v[7], e.e = v[8], e.cus = v[9], e.sqrtA = v[10];
        const double toeOfWeek = v[11];
        e.cic = v[12], e.omega0 = v[13], e.cis = v[14];
        e.i0 = v[15], e.crc = v[16], e.omega = v[17], e.omegaDot = v[18];
        e.iDot = v[19];
        e.health = v[24];
        e.fitHours = v[29];
        // A GPS orbit: some 26 600 km from the Earth's centre, nearly round.
        if (e.sqrtA < 2000 || e.sqrtA > 8000 || e.e < 0 || e.e >= 0.5 || toeOfWeek < 0 ||
            toeOfWeek > gnss::kSecondsPerWeek || v[21] < 0 || v[21] > 1e5) {
            finding(rec.firstLine, "η εφημερίδα του " + sat +
                                       " έχει αδύνατες τιμές τροχιάς· παραλείπεται");
            return;
        }
        // The week goes with toe; where a writer put the week of toc
        // instead, toe lies a week off toc and is brought back.
        e.toe = std::floor(v[21]) * gnss::kSecondsPerWeek + toeOfWeek;
        if (e.toe - e.toc > gnss::kSecondsPerWeek / 2)
            e.toe -= gnss::kSecondsPerWeek;
        else if (e.toc - e.toe > gnss::kSecondsPerWeek / 2)
            e.toe += gnss::kSecondsPerWeek;
        e.week = static_cast<int>(std::floor(e.toe / gnss::kSecondsPerWeek));
        result_.ephemerides.push_back(e);
    }

    void brokenNumber(std::int64_t line, const std::string& sat, const std::string& text)
    {
        finding(line, "το \"" + cp1253ToUtf8(text) + "\" δεν είναι έγκυρος αριθμός· η εφημερίδα του " +
                          sat + " παραλείπεται");
    }

    Lines lines_;
    const std::string& name_;
    NavigationResult result_;
};

bool endsWithNoCase(const std::string& s, std::string_view tail)
{
    return s.size() >= tail.size() && equalsNoCase(std::string_view(s).substr(s.size() - tail.size()), tail);
}

}  // namespace

NavigationResult readNavigation(const LineSource& lines, const std::string& name)
{
    return Reader(lines, name).run();
}

NavigationResult readNavigationFile(const std::string& path)
{
    std::string error;
    const LineSource lines = openRinexTextLines(path, error);
    if (!lines) {
        NavigationResult r;
        r.status = NavigationStatus::CannotOpen;
        r.message = error;
        return r;
    }
    return readNavigation(lines, path);
}

std::vector<std::string> navigationFileCandidates(const std::string& obs)
{
    std::vector<std::string> out;
    const std::size_t slash = obs.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? obs : obs.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string() : obs.substr(0, slash + 1);
    // RINEX 3 and 4 long names: ..._MO.rnx (or .crx, with the interval
    // before it) and the navigation file of the same day ..._MN.rnx.
    for (const char* tail : {"_MO.rnx", "_MO.crx", "_GO.rnx", "_GO.crx"}) {
        if (!endsWithNoCase(base, tail))
            continue;
        std::string stem = base.substr(0, base.size() - std::strlen(tail));
        // Leave out the sampling interval ("_30S"), which navigation names lack.
        const std::size_t us = stem.rfind('_');
        if (us != std::string::npos && stem.size() - us == 4 &&
            std::isdigit(static_cast<unsigned char>(stem[us + 1])) &&
            std::isdigit(static_cast<unsigned char>(stem[us + 2])) &&
            std::strchr("SMHDU", stem[us + 3]))
            stem.erase(us);
        for (const char* nav : {"_MN.rnx", "_GN.rnx"})
            out.push_back(folder + stem + nav);
        return out;
    }
    // RINEX 2 short names: ssssdddf.yyo (or .yyd, Hatanaka) gives ssssdddf.yyn.
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && base.size() - dot == 4 &&
        std::isdigit(static_cast<unsigned char>(base[dot + 1])) &&
        std::isdigit(static_cast<unsigned char>(base[dot + 2]))) {
        const char t = base.back();
        if (t == 'o' || t == 'd' || t == 'O' || t == 'D') {
            const std::string stem = folder + base.substr(0, base.size() - 1);
            const bool lower = t == 'o' || t == 'd';
            out.push_back(stem + (lower ? 'n' : 'N'));
            out.push_back(stem + (lower ? 'N' : 'n'));
        }
    }
    return out;
}

}  // namespace korthal::rinex
