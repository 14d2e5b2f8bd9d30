// A grid of corrections, its text form and its bilinear interpolation.

#include "geodesy/CorrectionGrid.h"

#include "geodesy/Extended.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace korthal {

namespace {

constexpr int kMaxSide = 4000;

// The next line of `text` from `pos`, without its line end.
std::string_view nextLine(std::string_view text, std::size_t& pos)
{
    const std::size_t nl = text.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view line = text.substr(pos, end - pos);
    pos = nl == std::string_view::npos ? text.size() : nl + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The next field of a line, or an empty view at its end.
std::string_view nextField(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}

bool readNumber(std::string_view s, double& v)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(v);
}

// A header line holding exactly one number.
bool headerNumber(std::string_view line, double& v)
{
    std::size_t pos = 0;
    const std::string_view f = nextField(line, pos);
    return readNumber(f, v) && nextField(line, pos).empty();
}

std::string decimal(int n)
{
    return std::to_string(n);
}

}  // namespace

CorrectionGrid::CorrectionGrid(int rows, int columns, double spacing, double north0, double east0,
                               std::vector<double> metres)
    : rows_(rows),
      cols_(columns),
      spacing_(spacing),
      north0_(north0),
      east0_(east0),
      values_(std::move(metres))
{
}

bool CorrectionGrid::sameLayout(const CorrectionGrid& o) const
{
    return rows_ == o.rows_ && cols_ == o.cols_ && spacing_ == o.spacing_ && north0_ == o.north0_ &&
           east0_ == o.east0_;
}

template <class T>
CorrectionGrid::Cell<T> CorrectionGrid::locate(T east, T north) const
{
    Cell<T> c;
    if (rows_ < 2 || cols_ < 2)
        return c;
    const T u = (east - T(east0_)) / T(spacing_);
    const T v = (north - T(north0_)) / T(spacing_);
    const T lastU = T(cols_ - 1), lastV = T(rows_ - 1);
    const T margin = T(1e-6) / T(spacing_);  // a micrometre, in cells
    c.nearEdge = std::fabs(u) <= margin || std::fabs(v) <= margin ||
                 std::fabs(u - lastU) <= margin || std::fabs(v - lastV) <= margin;
    if (!(u >= 0 && v >= 0 && u <= lastU && v <= lastV))
        return c;
    c.inside = true;
    // The last row and column belong to the cell below and to the west.
    c.column = std::min(static_cast<int>(u), cols_ - 2);
    c.row = std::min(static_cast<int>(v), rows_ - 2);
    c.fx = u - T(c.column);
    c.fy = v - T(c.row);
    return c;
}

template <class T>
T CorrectionGrid::interpolate(const Cell<T>& c) const
{
    const T sw = T(node(c.row, c.column)), se = T(node(c.row, c.column + 1));
    const T nw = T(node(c.row + 1, c.column)), ne = T(node(c.row + 1, c.column + 1));
    const T south = sw + (se - sw) * c.fx;
    const T north = nw + (ne - nw) * c.fx;
    return south + (north - south) * c.fy;
}

template CorrectionGrid::Cell<double> CorrectionGrid::locate<double>(double, double) const;
template CorrectionGrid::Cell<Extended> CorrectionGrid::locate<Extended>(Extended, Extended) const;
template double CorrectionGrid::interpolate<double>(const Cell<double>&) const;
template Extended CorrectionGrid::interpolate<Extended>(const Cell<Extended>&) const;

std::string GridReadError::message(const std::string& path) const
{
    return "Το αρχείο \"" + path + "\" δεν διαβάζεται: γραμμή " + decimal(line) + ": " + reason;
}

std::optional<CorrectionGrid> parseCorrectionGrid(std::string_view text, GridReadError& error)
{
    auto fail = [&error](int line, std::string reason) {
        error = {line, std::move(reason)};
        return std::nullopt;
    };
    std::size_t pos = 0;
    double header[5] = {};
    static const char* const kWhat[5] = {
        "ο αριθμός των γραμμών του κανάβου", "ο αριθμός των στηλών του κανάβου",
        "το βήμα του κανάβου σε μέτρα", "η τεταγμένη του πρώτου κόμβου",
        "η τετμημένη του πρώτου κόμβου"};
    for (int k = 0; k < 5; ++k) {
        if (pos >= text.size())
            return fail(k + 1, std::string("λείπει ") + kWhat[k]);
        if (!headerNumber(nextLine(text, pos), header[k]))
            return fail(k + 1, std::string("δεν είναι αριθμός ") + kWhat[k]);
    }
    for (int k = 0; k < 2; ++k)
        if (header[k] != std::floor(header[k]) || header[k] < 2 || header[k] > kMaxSide)
            return fail(k + 1, std::string(kWhat[k]) + " πρέπει να είναι ακέραιος από 2 έως " +
                                   decimal(kMaxSide));
    if (!(header[2] > 0))
        return fail(3, "το βήμα του κανάβου πρέπει να είναι θετικό");
    const int rows = static_cast<int>(header[0]);
    const int cols = static_cast<int>(header[1]);

    std::vector<double> values;
    // Each value takes two bytes at least, so a short text reserves little.
    values.reserve(std::min(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols),
                            text.size() / 2 + 1));
    int lineNumber = 5;
    for (int r = 0; r < rows; ++r) {
        ++lineNumber;
        if (pos >= text.size())
            return fail(lineNumber, "λείπουν γραμμές του κανάβου: διαβάστηκαν " + decimal(r) +
                                        " από " + decimal(rows));
        const std::string_view line = nextLine(text, pos);
        std::size_t at = 0;
        for (int c = 0; c < cols; ++c) {
            const std::string_view f = nextField(line, at);
            if (f.empty())
                return fail(lineNumber,
                            "η γραμμή έχει " + decimal(c) + " τιμές αντί για " + decimal(cols));
            double v = 0;
            if (!readNumber(f, v))
                return fail(lineNumber, "η τιμή " + decimal(c + 1) + " (\"" + std::string(f) +
                                            "\") δεν είναι αριθμός");
            values.push_back(v / 100);  // centimetres to metres
        }
        if (!nextField(line, at).empty())
            return fail(lineNumber, "η γραμμή έχει περισσότερες από " + decimal(cols) + " τιμές");
    }
    // Nothing but blank lines may follow.
    while (pos < text.size()) {
        ++lineNumber;
        std::size_t at = 0;
        if (!nextField(nextLine(text, pos), at).empty())
            return fail(lineNumber,
                        "περισσότερες γραμμές από τις " + decimal(rows) + " του κανάβου");
    }
    return CorrectionGrid(rows, cols, header[2], header[3], header[4], std::move(values));
}

}  // namespace korthal
