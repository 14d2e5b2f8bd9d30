#include "views/RinexReader.h"

#include "views/RinexFields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korthal::rinex {

using namespace detail;

namespace {

constexpr std::uint64_t kChunk = 1 << 20;
// Seconds up to a day and a little more show as the time of an epoch.
constexpr double kMaxShownSeconds = 100000;

bool validDate(int y, int m, int d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Whole seconds w and seven-digit fraction f into `min` and `sec`: a seconds
// value of 60 is carried into the minute (and no further).
void setSeconds(ObservationRecord& r, int w, int f)
{
    r.min += w / 60;
    r.sec = (w % 60) + f / 10000000.0;
}

// The date and time of a RINEX 2 epoch line, or false when a piece does not
// convert.
bool parseEpochTime2(std::string_view line, ObservationRecord& r)
{
    int yy = 0, w = 0, f = 0;
    if (!toInt(cols(line, 2, 3), yy) || !toInt(cols(line, 5, 6), r.month) ||
        !toInt(cols(line, 8, 9), r.day) || !toInt(cols(line, 11, 12), r.hour) ||
        !toInt(cols(line, 14, 15), r.min) || !toInt(cols(line, 17, 18), w) ||
        !toInt(cols(line, 20, 26), f) || !toInt(cols(line, 27, 29), r.flag))
        return false;
    if (yy < 0 || yy > 99 || w < 0 || f < 0)
        return false;
    r.year = fullYear(yy);
    if (!validDate(r.year, r.month, r.day))
        return false;
    setSeconds(r, w, f);
    return true;
}

// The same for RINEX 3 and 4: "> yyyy mm dd hh mm ss.sssssss  f nnn".
bool parseEpochTime3(std::string_view line, ObservationRecord& r)
{
    int w = 0, f = 0;
    if (!toInt(cols(line, 3, 6), r.year) || !toInt(cols(line, 8, 9), r.month) ||
        !toInt(cols(line, 11, 12), r.day) || !toInt(cols(line, 14, 15), r.hour) ||
        !toInt(cols(line, 17, 18), r.min) || !toInt(cols(line, 19, 21), w) ||
        cols(line, 22, 22) != "." || !toInt(cols(line, 23, 29), f) ||
        !toIntOrZero(cols(line, 32, 32), r.flag))
        return false;
    if (r.year < 1980 || r.year > 2200 || w < 0 || f < 0 || !validDate(r.year, r.month, r.day))
        return false;
    setSeconds(r, w, f);
    return true;
}

class Reader {
public:
    Reader(TextSource& in, ObservationSink& sink, const Progress& progress,
           const CancelCheck& cancel)
        : in_(in), sink_(sink), progress_(progress), cancel_(cancel)
    {
    }

    ReadResult run()
    {
        // The reading starts: a progress bar may count its time from here.
        if (progress_)
            progress_(0, in_.fileSize());
        const bool ok = readObservationHeader(in_, result_, layout_);
        result_.layers = in_.layers();
        if (!ok)
            return std::move(result_);
        sink_.header(result_.header);
        if (layout_.major == 2)
            readEpochs2();
        else
            readEpochs3();
        if (result_.status == ReadStatus::Ok && in_.error())
            stopAt(in_.error().line ? in_.error().line : in_.lineNumber(), in_.error().message);
        // Only a reading that went through reports the whole file read.
        if (progress_ && result_.status == ReadStatus::Ok)
            progress_(in_.fileSize(), in_.fileSize());
        return std::move(result_);
    }

private:
    void stopAt(std::int64_t no, std::string message)
    {
        result_.status = ReadStatus::StoppedAtLine;
        result_.message = std::move(message);
        result_.line = no;
    }

    // The input ended before the epoch of line `epochNo` was complete.
    void endsInsideEpoch(std::int64_t epochNo)
    {
        if (in_.error())
            return;  // the fault below says more
        stopAt(in_.lineNumber(), "Το αρχείο " + quotedName(in_.name()) +
                                     " τελειώνει μέσα στην εποχή της γραμμής " +
                                     std::to_string(epochNo) + ".");
    }

    // Reports the bytes read about once a chunk; false when the caller
    // asked to stop.
    bool reportProgress()
    {
        if (in_.bytesRead() < nextProgress_)
            return true;
        nextProgress_ = in_.bytesRead() + kChunk;
        if (progress_)
            progress_(in_.bytesRead(), in_.fileSize());
        if (cancel_ && cancel_()) {
            result_.status = ReadStatus::Cancelled;
            result_.message = "Η ανάγνωση του αρχείου " + quotedName(in_.name()) + " διακόπηκε.";
            result_.line = in_.lineNumber();
            return false;
        }
        return true;
    }

    void badSatellite(std::int64_t epochNo, std::string_view epochLine)
    {
        ++result_.stats.badSatellites;
        result_.badSatellites.add(epochNo, printable(epochLine));
    }

    void deliver(ObservationRecord& rec, int prn)
    {
        ReadStats& st = result_.stats;
        rec.prn = prn;
        sink_.record(rec);
        ++st.records;
        if (prn < 100)
            st.satelliteSeen[static_cast<std::size_t>(prn)] = true;
    }

    // Blank lines are harmless at the end of the file only: true when
    // `line` is one, remembering where the first was; false for any other
    // line, after stopping at a blank line that came before it.
    bool blankLine(std::string_view line, std::int64_t& blankAt)
    {
        if (isBlank(line)) {
            if (blankAt == 0)
                blankAt = in_.lineNumber();
            return true;
        }
        if (blankAt != 0)
            stopAt(blankAt, lineError(blankAt, in_.name(), ""));
        return false;
    }

    void readEpochs2()
    {
        ReadStats& st = result_.stats;
        std::string_view line;
        std::string epochLine;
        std::string satellites;  // three characters per satellite
        std::string record;      // the lines of one satellite, 80 columns each
        int e = 0;
        std::int64_t blankAt = 0;

        while (in_.next(line)) {
            if (!reportProgress())
                return;
            if (blankLine(line, blankAt))
                continue;
            if (blankAt != 0)
                return;
            const std::int64_t epochNo = in_.lineNumber();
            epochLine.assign(line);
            int n = 0;
            if (!toInt(cols(line, 30, 32), n)) {
                stopAt(epochNo, lineError(epochNo, in_.name(), line));
                return;
            }
            int flag = 0;
            const bool flagOk = toInt(cols(line, 27, 29), flag);
            if (flagOk && flag >= 2 && flag <= 5) {
                // An event: n special records (header lines, comments) follow.
                ++st.events;
                for (int i = 0; i < n && in_.next(line); ++i)
                    ++st.specialRecords;
                continue;
            }
            ++e;
            ++st.epochs;
            if (n <= 0)
                continue;

            // The satellite list: twelve per line, continued on the next lines.
            satellites.clear();
            satellites.append(cols(line, 33, 68));
            satellites.resize(36, ' ');
            for (int have = 12; have < n; have += 12) {
                if (!in_.next(line)) {
                    endsInsideEpoch(epochNo);
                    return;
                }
                satellites.append(cols(line, 33, 68));
                satellites.resize(static_cast<std::size_t>(have + 12) * 3, ' ');
            }

            ObservationRecord rec;
            const bool timeOk = parseEpochTime2(epochLine, rec);
            rec.epoxh = e;

            for (int s = 0; s < n; ++s) {
                if (!in_.next(line)) {
                    endsInsideEpoch(epochNo);
                    return;
                }
                // A line of exactly 12 characters is not an observation line.
                if (line.size() == 12 && !in_.next(line))
                    line = {};
                record.assign(line.substr(0, std::min<std::size_t>(line.size(), 80)));
                for (int k = 1; k < layout_.linesPerSatellite; ++k) {
                    // A file may end before the last, blank, line of a record.
                    record.resize(static_cast<std::size_t>(k) * 80, ' ');
                    if (in_.next(line))
                        record.append(line.substr(0, std::min<std::size_t>(line.size(), 80)));
                }
                // The input ended inside a satellite's line with satellites
                // still to come: the file was cut and the line may be cut
                // inside a value, so it is not read. (The last satellite's
                // line without a line end is a file without a final one.)
                if (in_.unterminated() && s + 1 < n) {
                    endsInsideEpoch(epochNo);
                    return;
                }
                if (in_.error())
                    return;
                const std::string_view sat =
                    std::string_view(satellites).substr(static_cast<std::size_t>(s) * 3, 3);
                if (sat[0] != 'G' && sat[0] != ' ') {
                    ++st.skipped;
                    continue;
                }
                int prn = 0;
                if (!timeOk || !toInt(sat.substr(1), prn) || prn < 0 ||
                    !ParseObservationLine(record, layout_.slotOfPosition, rec.slotValues)) {
                    badSatellite(epochNo, epochLine);
                    continue;
                }
                deliver(rec, prn);
            }
        }
    }

    void readEpochs3()
    {
        ReadStats& st = result_.stats;
        std::string_view line;
        std::string epochLine;
        int e = 0;
        std::int64_t blankAt = 0;

        while (in_.next(line)) {
            if (!reportProgress())
                return;
            if (blankLine(line, blankAt))
                continue;
            if (blankAt != 0)
                return;
            const std::int64_t epochNo = in_.lineNumber();
            epochLine.assign(line);
            int n = 0, flag = 0;
            if (line[0] != '>' || !toInt(cols(line, 33, 35), n) || n < 0 ||
                !toIntOrZero(cols(line, 32, 32), flag)) {
                stopAt(epochNo, lineError(epochNo, in_.name(), line));
                return;
            }
            if (flag >= 2 && flag <= 5) {
                ++st.events;
                for (int i = 0; i < n && in_.next(line); ++i)
                    ++st.specialRecords;
                continue;
            }
            ++e;
            ++st.epochs;
            ObservationRecord rec;
            const bool timeOk = parseEpochTime3(epochLine, rec);
            rec.epoxh = e;
            for (int s = 0; s < n; ++s) {
                if (!in_.next(line) || (in_.unterminated() && s + 1 < n)) {
                    endsInsideEpoch(epochNo);
                    return;
                }
                if (!line.empty() && line[0] == '>') {
                    stopAt(in_.lineNumber(),
                           "Η εποχή της γραμμής " + std::to_string(epochNo) + " του αρχείου " +
                               quotedName(in_.name()) + " αναγγέλλει " + std::to_string(n) +
                               " δορυφόρους, αλλά ακολουθούν " + std::to_string(s) + ".");
                    return;
                }
                const char system = line.empty() ? ' ' : line[0];
                if (system != 'G' && system != ' ') {
                    ++st.skipped;
                    continue;
                }
                int prn = 0;
                if (!timeOk || !toInt(cols(line, 2, 3), prn) || prn < 0 ||
                    !ParseObservationLine(line.substr(std::min<std::size_t>(3, line.size())),
                                          layout_.slotOfPosition, rec.slotValues)) {
                    badSatellite(epochNo, epochLine);
                    continue;
                }
                for (int slot = 1; slot <= kSlotCount; ++slot)
                    if (const double d = layout_.divisor[static_cast<std::size_t>(slot)]; d > 1)
                        rec.slotValues[static_cast<std::size_t>(slot)].value /= d;
                deliver(rec, prn);
            }
        }
    }

    TextSource& in_;
    ObservationSink& sink_;
    const Progress& progress_;
    const CancelCheck& cancel_;
    ReadResult result_;
    EpochLayout layout_;
    std::uint64_t nextProgress_ = 0;
};

std::string plural(std::int64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int ReadStats::satellites() const
{
    return static_cast<int>(std::count(satelliteSeen.begin(), satelliteSeen.end(), true));
}

int slotOfCode(std::string_view code)
{
    static constexpr std::array<std::string_view, kSlotCount> codes{"C1", "C2", "P1", "P2",
                                                                    "L1", "L2", "D1", "D2"};
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code)
            return static_cast<int>(i) + 1;
    return NoSlot;
}

int fullYear(int yy)
{
    return yy >= 80 ? 1900 + yy : 2000 + yy;
}

bool ParseObservationLine(std::string_view line, const std::vector<int>& slotOfPosition,
                          SlotBuffer& out)
{
    out.fill(SlotValue{});
    for (std::size_t i = 0; i < slotOfPosition.size(); ++i) {
        const int slot = slotOfPosition[i];
        if (slot <= 0 || slot > kSlotCount)
            continue;
        const std::size_t c = 16 * i;
        SlotValue& v = out[static_cast<std::size_t>(slot)];
        if (!toReal(cols(line, c + 1, c + 14), v.value) ||
            !toIntOrZero(cols(line, c + 15, c + 15), v.lli) ||
            !toIntOrZero(cols(line, c + 16, c + 16), v.strength))
            return false;
    }
    return true;
}

std::string formatEpochTime(int hour, int min, double sec, char decimalSeparator)
{
    char buf[96];
    // Seconds that are no time of a day (a damaged table file can hold any
    // number) are shown as they are, in the general format.
    if (!(sec >= 0 && sec < kMaxShownSeconds)) {
        std::snprintf(buf, sizeof buf, "%2d : %2d :  ", hour, min);
        return buf + generalFormat(static_cast<Extended>(sec), decimalSeparator);
    }
    // Cut after the seventh decimal; the small allowance keeps a value such
    // as 36.004, which a double holds as 36.0039999..., from losing a unit.
    const long double scaled = static_cast<long double>(sec) * 10000000.0L;
    const auto units = static_cast<long long>(std::floor(scaled + 1e-3L));
    const long long whole = units / 10000000;
    const long long frac = units % 10000000;
    std::snprintf(buf, sizeof buf, "%2d : %2d :  %02lld%c%07lld", hour, min, whole,
                  decimalSeparator, frac);
    return buf;
}

ReadResult readObservations(TextSource& in, ObservationSink& sink, const Progress& progress,
                            const CancelCheck& cancel)
{
    if (in.error().kind == TextError::Kind::CannotOpen) {
        ReadResult r;
        r.status = ReadStatus::CannotOpen;
        r.message = in.error().message;
        return r;
    }
    return Reader(in, sink, progress, cancel).run();
}

ReadResult readObservationText(std::string_view text, const std::string& name,
                               ObservationSink& sink, const Progress& progress,
                               const CancelCheck& cancel)
{
    const auto in = rinexTextFromMemory(text, name);
    return readObservations(*in, sink, progress, cancel);
}

ReadResult readObservationFile(const std::string& path, ObservationSink& sink,
                               const Progress& progress, const CancelCheck& cancel)
{
    const auto in = openRinexText(path);
    return readObservations(*in, sink, progress, cancel);
}

std::string findingsMessage(const ReadResult& r, const std::string& file)
{
    std::string out;
    const auto list = [&out](const Findings& f, const std::string& title, bool numbered) {
        if (f.count == 0)
            return;
        if (!out.empty())
            out += "\n\n";
        out += title;
        for (const Finding& k : f.kept)
            out += "\n" + (numbered ? "γραμμή " + std::to_string(k.line) + ": " : "") + k.text;
        if (f.count > static_cast<std::int64_t>(f.kept.size()))
            out += "\n... και " + std::to_string(f.count - static_cast<std::int64_t>(f.kept.size())) +
                   " ακόμη";
    };
    list(r.warnings, "Στην κεφαλίδα του αρχείου " + quotedName(file) + ":", true);
    list(r.badSatellites,
         "Από το αρχείο " + quotedName(file) + " δεν διαβάστηκαν " +
             plural(r.badSatellites.count, "δορυφόρος", "δορυφόροι") +
             " των εποχών (η τιμή ή ο χρόνος τους δεν διαβάζεται):",
         false);
    return out;
}

std::string readSummary(const ReadResult& r)
{
    const ReadStats& s = r.stats;
    std::string out = "εποχές: " + std::to_string(s.epochs) + "\nεγγραφές: " +
                      std::to_string(s.records) + "\nδορυφόροι GPS: " +
                      std::to_string(s.satellites()) +
                      "\nπαρατηρήσεις άλλων συστημάτων που παραλείφθηκαν: " +
                      std::to_string(s.skipped);
    if (!r.header.sources.empty())
        out += "\nκωδικοί RINEX 3: " + codeSourcesText(r.header.sources);
    return out;
}

}  // namespace korthal::rinex
