#pragma once
// A regular grid of corrections over plane coordinates, as the HEPOS model
// publishes its two components (east and north, in centimetres on a 2 km grid
// of TM07), with bilinear interpolation, and the reader of its text form.
//
// The text form, one item per line:
//   rows, columns, spacing (m), northing of the first node, easting of the
//   first node; then one line per grid row from the south row northwards,
//   each with one value (cm) per column from west to east.
// Blanks and tabs separate the values; lines may end in CR LF; the last line
// may lack its line end. The reader knows nothing of files: the caller reads
// the bytes and names the file in the message (GridReadError::message).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

class CorrectionGrid {
public:
    CorrectionGrid() = default;
    // `metres`: rows × columns values, row by row from the south, each row
    // from the west. Rows and columns at least 2, spacing above 0.
    CorrectionGrid(int rows, int columns, double spacing, double north0, double east0,
                   std::vector<double> metres);

    int rows() const { return rows_; }
    int columns() const { return cols_; }
    double spacing() const { return spacing_; }
    double north0() const { return north0_; }  // northing of the first (south-west) node
    double east0() const { return east0_; }    // easting of the first node
    // The node of row r (from the south), column c (from the west), in metres.
    double node(int r, int c) const
    {
        return values_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) +
                       static_cast<std::size_t>(c)];
    }
    // Whether this grid has the same nodes as `other` (rows, columns, spacing,
    // origin).
    bool sameLayout(const CorrectionGrid& other) const;

    // Where a point falls: its cell and the fractions within it. `inside` is
    // false beyond the outermost nodes (no extrapolation); `nearEdge` when the
    // point lies within a micrometre of them, where a position computed in
    // another floating type could fall on the other side.
    template <class T>
    struct Cell {
        bool inside = false;
        bool nearEdge = false;
        int row = 0, column = 0;
        T fy = 0, fx = 0;  // fractions north and east within the cell, 0..1
    };
    template <class T>
    Cell<T> locate(T east, T north) const;
    // The bilinear interpolation of the four nodes around `cell` (inside).
    template <class T>
    T interpolate(const Cell<T>& cell) const;

private:
    int rows_ = 0, cols_ = 0;
    double spacing_ = 0, north0_ = 0, east0_ = 0;
    std::vector<double> values_;
};

// Why a grid text was refused: the line (1 = the first) and the reason, in
// Greek as the program shows it.
struct GridReadError {
    int line = 0;
    std::string reason;
    // "Το αρχείο "path" δεν διαβάζεται: γραμμή N: reason".
    std::string message(const std::string& path) const;
};

// Reads the text form. nullopt with `error` set when the text is not a whole
// grid: a header line that is not a number of the kind, a row with too few or
// too many values or one that is not a number, rows missing or beyond the
// count, a grid larger than 4000 × 4000 nodes.
std::optional<CorrectionGrid> parseCorrectionGrid(std::string_view text, GridReadError& error);

}  // namespace korthal
