#include "views/RinexReader.h"

#include "project/Dialogs.h"
#include "table/Cp1253.h"
#include "table/PlainNumber.h"
#include "table/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

namespace korthal::rinex {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Seconds up to a day and a little more show as the time of an epoch.
constexpr double kMaxShownSeconds = 100000;
// RINEX lines hold 80 characters; a line many times longer is not one.
constexpr std::size_t kMaxLine = 4096;

// Lines of a file or of text in memory. A line ends at LF; a CR before the LF
// is dropped, so CR LF files read the same as LF files.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text), total_(text.size()) {}
    LineReader(std::FILE* f, std::uint64_t size) : file_(f), total_(size) {}

    bool next(std::string_view& line)
    {
        if (tooLong_)
            return false;
        for (;;) {
            const std::size_t nl = text_.find('\n', pos_);
            if (nl != std::string_view::npos && nl - pos_ <= kMaxLine) {
                line = text_.substr(pos_, nl - pos_);
                consumed_ += nl + 1 - pos_;
                pos_ = nl + 1;
                break;
            }
            // A line longer than any RINEX line is not buffered further.
            if (text_.size() - pos_ > kMaxLine) {
                tooLong_ = true;
                ++lineNo_;
                return false;
            }
            if (!refill()) {
                if (pos_ >= text_.size())
                    return false;
                line = text_.substr(pos_);  // last line without LF
                consumed_ += text_.size() - pos_;
                pos_ = text_.size();
                unterminated_ = true;
                break;
            }
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++lineNo_;
        return true;
    }

    // The last next() met a line longer than kMaxLine (lineNumber() is its
    // number); reading ends there.
    bool tooLong() const { return tooLong_; }
    // The last line returned was the end of the input without a line end:
    // the file may have been cut inside it.
    bool unterminated() const { return unterminated_; }
    std::int64_t lineNumber() const { return lineNo_; }
    std::uint64_t consumed() const { return consumed_; }
    std::uint64_t total() const { return total_; }

private:
    // Moves the unread rest to the front of the buffer and reads more.
    bool refill()
    {
        if (!file_ || eof_)
            return false;
        buffer_.erase(0, pos_);
        pos_ = 0;
        const std::size_t old = buffer_.size();
        buffer_.resize(old + kChunk);
        const std::size_t got = std::fread(buffer_.data() + old, 1, kChunk, file_);
        buffer_.resize(old + got);
        if (got == 0)
            eof_ = true;
        text_ = buffer_;
        return got > 0;
    }

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string_view text_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool tooLong_ = false;
    bool unterminated_ = false;
    std::int64_t lineNo_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t total_ = 0;
};

// Columns first..last (1-based, inclusive) of a line; past the end is empty.
std::string_view cols(std::string_view line, std::size_t first, std::size_t last)
{
    if (first > line.size())
        return {};
    return line.substr(first - 1, last - first + 1);
}


bool isBlank(std::string_view s)
{
    return trimBlanks(s).empty();
}

// A decimal integer surrounded by blanks; blank text fails.
bool toInt(std::string_view s, int& out)
{
    s = trimBlanks(s);
    if (s.empty())
        return false;
    if (s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A decimal integer that reads 0 when blank.
bool toIntOrZero(std::string_view s, int& out)
{
    if (isBlank(s)) {
        out = 0;
        return true;
    }
    return toInt(s, out);
}

// A real with the point as decimal separator; blank reads 0.
bool toReal(std::string_view s, double& out)
{
    s = trimBlanks(s);
    if (s.empty()) {
        out = 0;
        return true;
    }
    if (s.front() == '+')
        s.remove_prefix(1);
    // Most values are exact in one operation (what from_chars would give).
    DecimalDigits digits;
    if (s.front() != '+' && splitDecimal(s, '.', digits) && exactDouble(digits, out))
        return true;
    // RINEX writers use the Fortran exponent letter D now and then.
    char tmp[64];
    if (s.size() < sizeof tmp &&
        std::any_of(s.begin(), s.end(), [](char c) { return c == 'd' || c == 'D'; })) {
        std::memcpy(tmp, s.data(), s.size());
        for (std::size_t i = 0; i < s.size(); ++i)
            if (tmp[i] == 'd' || tmp[i] == 'D')
                tmp[i] = 'E';
        const auto r = std::from_chars(tmp, tmp + s.size(), out);
        return r.ec == std::errc() && r.ptr == tmp + s.size();
    }
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// The observation types a header may list. RINEX 2.11 defines fewer than
// forty codes; the count field is wider, but a larger count is a damaged file.
constexpr int kMaxTypes = 99;

// A type code: one to three ASCII letters or digits ("L1", "C5"). Anything
// else could not stand as a key of the point's settings file.
bool isTypeCode(std::string_view code)
{
    if (code.empty() || code.size() > 3)
        return false;
    for (char c : code)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// A piece of a line for a message. RINEX files are ASCII; any other byte is
// shown as the character of that byte in code page 1253, the program's own,
// so that the message stays valid text.
std::string printable(std::string_view s)
{
    return cp1253ToUtf8(s);
}

bool contains(std::string_view s, std::string_view what)
{
    return s.find(what) != std::string_view::npos;
}

// The header label (columns 61-80); a short line is all label.
std::string_view label(std::string_view line)
{
    return line.size() > 60 ? line.substr(60) : line;
}

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

bool validDate(int y, int m, int d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

// The date and time of an epoch line, or false when a piece does not convert.
bool parseEpochTime(std::string_view line, ObservationRecord& r)
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
    r.min += w / 60;
    r.sec = (w % 60) + f / 10000000.0;
    return true;
}

class Reader {
public:
    Reader(LineReader& in, std::string name, ObservationSink& sink, const Progress& progress,
           const CancelCheck& cancel)
        : in_(in), name_(std::move(name)), sink_(sink), progress_(progress), cancel_(cancel)
    {
    }

    ReadResult run()
    {
        if (!readHeader()) {
            if (in_.tooLong())
                fail(ReadStatus::HeaderError, tooLongMessage() + "\nΟ πίνακας δεν άλλαξε.",
                     in_.lineNumber());
            return std::move(result_);
        }
        sink_.header(result_.header);
        readObservations();
        if (in_.tooLong() && result_.status != ReadStatus::Cancelled)
            stopAt(in_.lineNumber(), tooLongMessage());
        if (progress_ && result_.status != ReadStatus::Cancelled)
            progress_(in_.total(), in_.total());
        return std::move(result_);
    }

private:
    ReadResult& fail(ReadStatus status, std::string message, std::int64_t line)
    {
        result_.status = status;
        result_.message = std::move(message);
        result_.line = line;
        return result_;
    }

    std::string lineError(std::int64_t no, std::string_view line) const
    {
        return "Λάθος στη γραμμή " + std::to_string(no) + " του αρχείου " + quoted(name_) +
               ":\n" + printable(line);
    }

    std::string tooLongMessage() const
    {
        return "Η γραμμή " + std::to_string(in_.lineNumber()) + " του αρχείου " + quoted(name_) +
               " έχει πάνω από " + std::to_string(kMaxLine) +
               " χαρακτήρες: δεν είναι γραμμή αρχείου RINEX.";
    }

    bool readHeader()
    {
        Header& h = result_.header;
        std::string_view line;
        for (;;) {
            if (!in_.next(line)) {
                fail(ReadStatus::HeaderError,
                     "Το αρχείο " + quoted(name_) +
                         " τελειώνει χωρίς \"END OF HEADER\": δεν είναι αρχείο παρατηρήσεων "
                         "RINEX. Ο πίνακας δεν άλλαξε.",
                     in_.lineNumber());
                return false;
            }
            const std::string_view lab = label(line);
            if (contains(lab, "CRINEX VERS")) {
                fail(ReadStatus::HeaderError,
                     "Το αρχείο " + quoted(name_) +
                         " είναι συμπιεσμένο (Compact RINEX). Αποσυμπιέστε το πρώτα σε "
                         "αρχείο παρατηρήσεων RINEX. Ο πίνακας δεν άλλαξε.",
                     in_.lineNumber());
                return false;
            }
            if (contains(lab, "RINEX VERSION / TYPE")) {
                double v = 0;
                if (!toReal(cols(line, 1, 9), v))
                    return headerLineError(line);
                h.version = v;
                if (v >= 3) {
                    fail(ReadStatus::HeaderError,
                         "Το αρχείο " + quoted(name_) + " είναι RINEX έκδοσης " +
                             printable(trimBlanks(cols(line, 1, 9))) +
                             ". Διαβάζονται μόνο αρχεία παρατηρήσεων RINEX έκδοσης 2. "
                             "Ο πίνακας δεν άλλαξε.",
                         in_.lineNumber());
                    return false;
                }
                const std::string_view type = trimBlanks(cols(line, 21, 21));
                if (!type.empty() && type != "O" && type != "o") {
                    fail(ReadStatus::HeaderError,
                         "Το αρχείο " + quoted(name_) +
                             " δεν είναι αρχείο παρατηρήσεων RINEX. Ο πίνακας δεν άλλαξε.",
                         in_.lineNumber());
                    return false;
                }
            } else if (contains(lab, "/ TYPES OF")) {
                std::string_view text = line.substr(0, std::min(line.find('#'), line.size()));
                text = trimBlanks(text.substr(0, std::min<std::size_t>(text.size(), 60)));
                const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
                int n = 0;
                if (toInt(text.substr(0, end), n)) {
                    // The first line of the record starts with the count; the
                    // lines that continue it start with blanks.
                    if (n < 0 || n > kMaxTypes)
                        return headerLineError(line, typeCountRule());
                    h.nTypes = n;
                    text = trimBlanks(text.substr(end));
                } else if (h.types.empty()) {
                    return headerLineError(line);
                }
                while (!text.empty()) {
                    const std::size_t e = std::min(text.find_first_of(" \t"), text.size());
                    const std::string_view code = text.substr(0, e);
                    if (!isTypeCode(code))
                        return headerLineError(
                            line, "Ο τύπος παρατήρησης \"" + printable(code) +
                                      "\" δεν είναι κωδικός τύπου (ένα έως τρία γράμματα ή "
                                      "ψηφία).");
                    if (h.types.size() >= static_cast<std::size_t>(kMaxTypes))
                        return headerLineError(line, typeCountRule());
                    h.types.emplace_back(code);
                    h.slotOfPosition.push_back(slotOfCode(code));
                    text = trimBlanks(text.substr(e));
                }
            } else if (contains(lab, "POSITION") && !contains(lab, "TIME OF FIRST") &&
                       !contains(lab, "TIME OF LAST") && !contains(lab, "INTERVAL")) {
                if (!toReal(cols(line, 1, 14), h.Xo) || !toReal(cols(line, 15, 28), h.Yo) ||
                    !toReal(cols(line, 29, 42), h.Ho))
                    return headerLineError(line);
                h.hasPosition = true;
            }
            if (contains(line, "END OF HEADER"))
                break;
        }
        // A position past the header's count is not read.
        if (h.types.size() > static_cast<std::size_t>(std::max(h.nTypes, 0)))
            h.slotOfPosition.resize(static_cast<std::size_t>(std::max(h.nTypes, 0)));
        slotOfPosition_ = h.slotOfPosition;
        slotOfPosition_.resize(static_cast<std::size_t>(std::max(h.nTypes, 0)), 0);
        linesPerSatellite_ = std::max(1, (h.nTypes + 4) / 5);
        return true;
    }

    bool headerLineError(std::string_view line, const std::string& why = {})
    {
        fail(ReadStatus::HeaderError,
             lineError(in_.lineNumber(), line) + (why.empty() ? "" : "\n" + why) +
                 "\nΟ πίνακας δεν άλλαξε.",
             in_.lineNumber());
        return false;
    }

    static std::string typeCountRule()
    {
        return "Ένα αρχείο RINEX έκδοσης 2 έχει από 0 έως " + std::to_string(kMaxTypes) +
               " τύπους παρατηρήσεων.";
    }

    void stopAt(std::int64_t no, std::string message)
    {
        fail(ReadStatus::StoppedAtLine, std::move(message), no);
    }

    // The input ended before the epoch of line `epochNo` was complete.
    void endsInsideEpoch(std::int64_t epochNo)
    {
        stopAt(in_.lineNumber(), "Το αρχείο " + quoted(name_) +
                                     " τελειώνει μέσα στην εποχή της γραμμής " +
                                     std::to_string(epochNo) + ".");
    }

    // Reports the bytes read about once a chunk; false when the caller
    // asked to stop.
    bool reportProgress()
    {
        if (in_.consumed() < nextProgress_)
            return true;
        nextProgress_ = in_.consumed() + kChunk;
        if (progress_)
            progress_(in_.consumed(), in_.total());
        if (cancel_ && cancel_()) {
            fail(ReadStatus::Cancelled, "Η ανάγνωση του αρχείου " + quoted(name_) + " διακόπηκε.",
                 in_.lineNumber());
            return false;
        }
        return true;
    }

    void readObservations()
    {
        ReadStats& st = result_.stats;
        std::string_view line;
        std::string epochLine;
        std::string satellites;  // three characters per satellite
        std::string record;      // the lines of one satellite, 80 columns each
        int e = 0;
        std::int64_t blankLine = 0;  // first blank line met where an epoch was due

        while (in_.next(line)) {
            if (!reportProgress())
                return;
            if (isBlank(line)) {
                if (blankLine == 0)
                    blankLine = in_.lineNumber();
                continue;
            }
            if (blankLine != 0) {
                // Blank lines are harmless at the end of the file only.
                stopAt(blankLine, lineError(blankLine, ""));
                return;
            }
            const std::int64_t epochNo = in_.lineNumber();
            epochLine.assign(line);
            int n = 0;
            if (!toInt(cols(line, 30, 32), n)) {
                stopAt(epochNo, lineError(epochNo, line));
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
                std::string_view more = cols(line, 33, 68);
                satellites.append(more);
                satellites.resize(static_cast<std::size_t>(have + 12) * 3, ' ');
            }

            ObservationRecord rec;
            const bool timeOk = parseEpochTime(epochLine, rec);
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
                for (int k = 1; k < linesPerSatellite_; ++k) {
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
                const std::string_view sat =
                    std::string_view(satellites).substr(static_cast<std::size_t>(s) * 3, 3);
                if (sat[0] != 'G' && sat[0] != ' ') {
                    ++st.skipped;
                    continue;
                }
                int prn = 0;
                if (!timeOk || !toInt(sat.substr(1), prn) || prn < 0 ||
                    !ParseObservationLine(record, slotOfPosition_, rec.slotValues)) {
                    ++st.badSatellites;
                    dialogs().message(printable(epochLine), MsgIcon::None, {});
                    continue;
                }
                rec.prn = prn;
                sink_.record(rec);
                ++st.records;
                if (prn < 100)
                    st.satelliteSeen[static_cast<std::size_t>(prn)] = true;
            }
        }
    }

    LineReader& in_;
    std::string name_;
    ObservationSink& sink_;
    const Progress& progress_;
    const CancelCheck& cancel_;
    ReadResult result_;
    std::vector<int> slotOfPosition_;
    int linesPerSatellite_ = 1;
    std::uint64_t nextProgress_ = 0;
};

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

ReadResult readObservationText(std::string_view text, const std::string& name,
                               ObservationSink& sink, const Progress& progress,
                               const CancelCheck& cancel)
{
    LineReader in(text);
    return Reader(in, name, sink, progress, cancel).run();
}

ReadResult readObservationFile(const std::string& path, ObservationSink& sink,
                               const Progress& progress, const CancelCheck& cancel)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
    if (!f) {
        ReadResult r;
        r.status = ReadStatus::CannotOpen;
        r.message = "Δεν ανοίγει το αρχείο " + quoted(path) + ".";
        return r;
    }
    std::uint64_t size = 0;
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long s = std::ftell(f.get());
        size = s > 0 ? static_cast<std::uint64_t>(s) : 0;
        std::fseek(f.get(), 0, SEEK_SET);
    }
    LineReader in(f.get(), size);
    return Reader(in, path, sink, progress, cancel).run();
}

}  // namespace korthal::rinex
