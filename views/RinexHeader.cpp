// The header of a RINEX observation file, versions 2, 3 and 4: what the
// epochs need (version, observation types, scale factors) stops the reading
// when it cannot be read; informational lines that break their columns are
// read by their fields, or left empty, with a warning.

#include "views/RinexCodes.h"
#include "views/RinexFields.h"

#include <map>

namespace korthal::rinex::detail {

namespace {

// The observation types a RINEX 2 header may list. RINEX 2.11 defines fewer
// than forty codes; the count field is wider, but a larger count is a
// damaged file. RINEX 3 gives each system its own list.
constexpr int kMaxTypes = 99;

// A type code: one to three ASCII letters or digits ("L1", "C5", "L1C").
// Anything else could not stand as a key of the point's settings file.
bool isTypeCode(std::string_view code)
{
    if (code.empty() || code.size() > 3)
        return false;
    for (char c : code)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

std::vector<std::string_view> blankSeparated(std::string_view text)
{
    std::vector<std::string_view> out;
    for (;;) {
        text = trimBlanks(text);
        if (text.empty())
            return out;
        const std::size_t e = std::min(text.find_first_of(" \t"), text.size());
        out.push_back(text.substr(0, e));
        text = text.substr(e);
    }
}

class HeaderReader {
public:
    HeaderReader(TextSource& in, ReadResult& result, EpochLayout& layout)
        : in_(in), r_(result), h_(result.header), layout_(layout)
    {
    }

    bool run()
    {
        std::string_view line;
        for (;;) {
            if (!in_.next(line)) {
                if (in_.error())
                    return fail(in_.error().message + "\nΟ πίνακας δεν άλλαξε.",
                                in_.error().line);
                return fail("Το αρχείο " + quotedName(in_.name()) +
                                " τελειώνει χωρίς \"END OF HEADER\": δεν είναι αρχείο "
                                "παρατηρήσεων RINEX. Ο πίνακας δεν άλλαξε.",
                            in_.lineNumber());
            }
            if (!headerLine(line))
                return false;
            if (contains(line, "END OF HEADER"))
                break;
        }
        return layout_.major == 2 ? finishVersion2() : finishVersion3();
    }

private:
    bool fail(std::string message, std::int64_t line)
    {
        r_.status = ReadStatus::HeaderError;
        r_.message = std::move(message);
        r_.line = line;
        return false;
    }

    bool lineFail(std::string_view line, const std::string& why = {})
    {
        return fail(lineError(in_.lineNumber(), in_.name(), line) + (why.empty() ? "" : "\n" + why) +
                        "\nΟ πίνακας δεν άλλαξε.",
                    in_.lineNumber());
    }

    static std::string typeCountRule()
    {
        return "Ένα αρχείο RINEX έκδοσης 2 έχει από 0 έως " + std::to_string(kMaxTypes) +
               " τύπους παρατηρήσεων.";
    }

    void warn(std::string_view lab, const std::string& what)
    {
        r_.warnings.add(in_.lineNumber(),
                        "\"" + std::string(trimBlanks(lab)) + "\": " + what);
    }

    // `n` numbers of an informational line, in fixed columns of `width`
    // from column 1. When the columns do not read, or the numbers stand
    // elsewhere, they are read by the blank-separated fields of columns
    // 1-60, with a warning; when neither reads, nothing, with a warning.
    bool informational(std::string_view line, std::size_t n, std::size_t width, double* out)
    {
        double fixed[3] = {}, fields[3] = {};
        bool fixedOk = true;
        for (std::size_t i = 0; i < n; ++i) {
            const std::string_view c = cols(line, 1 + i * width, (i + 1) * width);
            fixedOk = fixedOk && !isBlank(c) && toReal(c, fixed[i]);
        }
        const std::vector<std::string_view> tokens = blankSeparated(cols(line, 1, 60));
        bool fieldsOk = tokens.size() == n;
        for (std::size_t i = 0; fieldsOk && i < n; ++i)
            fieldsOk = toReal(tokens[i], fields[i]);
        const std::string_view lab = label(line);
        if (fixedOk && (!fieldsOk || std::equal(fixed, fixed + n, fields))) {
            std::copy(fixed, fixed + n, out);
            return true;
        }
        if (fieldsOk) {
            std::copy(fields, fields + n, out);
            warn(lab, "οι αριθμοί δεν είναι στις στήλες τους· διαβάστηκαν από τα κενά ανάμεσά τους");
            return true;
        }
        warn(lab, "η τιμή δεν διαβάζεται και μένει κενή");
        return false;
    }

    bool headerLine(std::string_view line)
    {
        const std::string_view lab = label(line);
        if (contains(lab, "CRINEX VERS"))
            return fail("Το αρχείο " + quotedName(in_.name()) +
                            " έχει κεφαλίδα Compact RINEX σε λάθος θέση: δεν αποσυμπιέζεται. "
                            "Ο πίνακας δεν άλλαξε.",
                        in_.lineNumber());
        if (contains(lab, "RINEX VERSION / TYPE"))
            return versionLine(line);
        if (contains(lab, "SYS / # / OBS TYPES") && layout_.major >= 3)
            return typesLine3(line);
        if (contains(lab, "/ TYPES OF") && layout_.major == 2)
            return typesLine2(line);
        if (contains(lab, "SYS / SCALE FACTOR") && layout_.major >= 3)
            return scaleLine(line);
        if (contains(lab, "POSITION") && !contains(lab, "TIME OF FIRST") &&
            !contains(lab, "TIME OF LAST") && !contains(lab, "INTERVAL")) {
            double xyz[3];
            h_.hasPosition = informational(line, 3, 14, xyz);
            if (h_.hasPosition)
                h_.Xo = xyz[0], h_.Yo = xyz[1], h_.Ho = xyz[2];
        } else if (contains(lab, "ANTENNA: DELTA H/E/N")) {
            double hen[3];
            h_.hasAntennaHeight = informational(line, 3, 14, hen);
            h_.antennaHeight = hen[0];
        } else if (contains(lab, "INTERVAL") && !contains(lab, "TIME OF")) {
            h_.hasInterval = informational(line, 1, 10, &h_.interval);
        } else if (contains(lab, "REC # / TYPE / VERS")) {
            h_.receiver = printable(trimBlanks(cols(line, 21, 40)));
        } else if (contains(lab, "ANT # / TYPE")) {
            h_.antenna = printable(trimBlanks(cols(line, 21, 40)));
        }
        return true;
    }

    bool versionLine(std::string_view line)
    {
        double v = 0;
        if (!toReal(cols(line, 1, 9), v))
            return lineFail(line);
        h_.version = v;
        if (v >= 5 || v < 1) {
            return fail("Το αρχείο " + quotedName(in_.name()) + " είναι RINEX έκδοσης " +
                            printable(trimBlanks(cols(line, 1, 9))) +
                            ". Διαβάζονται αρχεία παρατηρήσεων RINEX των εκδόσεων 2, 3 και 4. "
                            "Ο πίνακας δεν άλλαξε.",
                        in_.lineNumber());
        }
        layout_.major = v >= 3 ? static_cast<int>(v) : 2;
        const std::string_view type = trimBlanks(cols(line, 21, 21));
        if (!type.empty() && type != "O" && type != "o")
            return fail("Το αρχείο " + quotedName(in_.name()) +
                            " δεν είναι αρχείο παρατηρήσεων RINEX. Ο πίνακας δεν άλλαξε.",
                        in_.lineNumber());
        return true;
    }

    bool typesLine2(std::string_view line)
    {
        std::string_view text = line.substr(0, std::min(line.find('#'), line.size()));
        text = trimBlanks(text.substr(0, std::min<std::size_t>(text.size(), 60)));
        const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
        int n = 0;
        if (toInt(text.substr(0, end), n)) {
            // The first line of the record starts with the count; the lines
            // that continue it start with blanks.
            if (n < 0 || n > kMaxTypes)
                return lineFail(line, typeCountRule());
            h_.nTypes = n;
            text = trimBlanks(text.substr(end));
        } else if (h_.types.empty()) {
            return lineFail(line);
        }
        for (std::string_view code : blankSeparated(text)) {
            if (!isTypeCode(code))
                return lineFail(line, "Ο τύπος παρατήρησης \"" + printable(code) +
                                          "\" δεν είναι κωδικός τύπου (ένα έως τρία γράμματα "
                                          "ή ψηφία).");
            if (h_.types.size() >= static_cast<std::size_t>(kMaxTypes))
                return lineFail(line, typeCountRule());
            h_.types.emplace_back(code);
            h_.slotOfPosition.push_back(slotOfCode(code));
        }
        return true;
    }

    bool typesLine3(std::string_view line)
    {
        if (!line.empty() && line[0] != ' ') {
            system_ = line[0];
            int n = 0;
            if (!(system_ >= 'A' && system_ <= 'Z') || !toInt(cols(line, 4, 6), n) || n < 0 ||
                n > 999 || codes_.count(system_))
                return lineFail(line);
            expected_[system_] = n;
            codes_[system_];
        } else if (system_ == 0) {
            return lineFail(line);
        }
        std::vector<std::string>& codes = codes_[system_];
        for (std::string_view code : blankSeparated(cols(line, 7, 60))) {
            if (code.size() != 3 || !isTypeCode(code))
                return lineFail(line, "Ο τύπος παρατήρησης \"" + printable(code) +
                                          "\" δεν είναι κωδικός τύπου RINEX 3 (τρία γράμματα "
                                          "ή ψηφία).");
            if (codes.size() >= static_cast<std::size_t>(expected_[system_]))
                return lineFail(line, "Η γραμμή δίνει περισσότερους τύπους από τους " +
                                          std::to_string(expected_[system_]) +
                                          " που αναγγέλλει.");
            codes.emplace_back(code);
        }
        return true;
    }

    bool scaleLine(std::string_view line)
    {
        if (!line.empty() && line[0] != ' ') {
            scaleSystem_ = line[0];
            if (!toInt(cols(line, 3, 6), scale_) || scale_ <= 0)
                return lineFail(line);
            int n = 0;
            if (!toIntOrZero(cols(line, 9, 10), n) || n < 0)
                return lineFail(line);
            if (n == 0 && scaleSystem_ == 'G')
                allScaled_ = scale_;
        }
        if (scaleSystem_ == 'G')
            for (std::string_view code : blankSeparated(cols(line, 11, 60)))
                scaleOf_[std::string(code)] = scale_;
        return true;
    }

    bool finishVersion2()
    {
        // A position past the header's count is not read.
        const auto n = static_cast<std::size_t>(std::max(h_.nTypes, 0));
        if (h_.types.size() > n)
            h_.slotOfPosition.resize(n);
        layout_.slotOfPosition = h_.slotOfPosition;
        layout_.slotOfPosition.resize(n, 0);
        layout_.linesPerSatellite = std::max(1, (h_.nTypes + 4) / 5);
        return true;
    }

    bool finishVersion3()
    {
        for (const auto& [system, codes] : codes_)
            if (system == 'G' && codes.size() != static_cast<std::size_t>(expected_[system]))
                return fail("Η κεφαλίδα του αρχείου " + quotedName(in_.name()) + " αναγγέλλει " +
                                std::to_string(expected_[system]) +
                                " τύπους παρατηρήσεων GPS αλλά δίνει " +
                                std::to_string(codes.size()) + ". Ο πίνακας δεν άλλαξε.",
                            in_.lineNumber());
        const std::vector<std::string>& gps = codes_['G'];
        h_.sources = chooseCodeSources(gps);
        layout_.slotOfPosition.assign(gps.size(), 0);
        for (const CodeSource& s : h_.sources) {
            h_.types.push_back(s.type);
            const int slot = slotOfCode(s.type);
            h_.slotOfPosition.push_back(slot);
            const auto at = static_cast<std::size_t>(
                std::find(gps.begin(), gps.end(), s.code) - gps.begin());
            layout_.slotOfPosition[at] = slot;
            const auto scaled = scaleOf_.find(s.code);
            const int scale = scaled != scaleOf_.end() ? scaled->second : allScaled_;
            if (slot > 0 && scale > 1)
                layout_.divisor[static_cast<std::size_t>(slot)] = scale;
        }
        h_.nTypes = static_cast<int>(h_.types.size());
        return true;
    }

    TextSource& in_;
    ReadResult& r_;
    Header& h_;
    EpochLayout& layout_;
    // RINEX 3: the codes of each system, and what the scale factors say.
    char system_ = 0;
    std::map<char, std::vector<std::string>> codes_;
    std::map<char, int> expected_;
    char scaleSystem_ = 0;
    int scale_ = 1;
    int allScaled_ = 1;
    std::map<std::string, int> scaleOf_;
};

}  // namespace

bool readObservationHeader(TextSource& in, ReadResult& result, EpochLayout& layout)
{
    return HeaderReader(in, result, layout).run();
}

}  // namespace korthal::rinex::detail
