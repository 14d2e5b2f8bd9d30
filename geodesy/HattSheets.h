#pragma once
// The 390 sheets of the 1:50 000 HATT map series and the Greek cadastre's
// second-order polynomials between each sheet's HATT x, y and TM87 E, N.
//
// A sheet is a quarter (15' × 15', a few cut otherwise along coasts) of a
// 30' × 30' HATT sheet; its HATT coordinates have their origin at the centre
// of that 30' sheet, on the old Greek datum (HATT.h). The publisher gives
// each sheet a name and a number; three numbers (8, 77 and 311) stand for two
// sheets each, so a number is resolved to one or two sheets, and a number of
// two to one point by point (the sheet whose outline holds the point).
//
// Forward, with (x, y) the HATT coordinates on the sheet (m):
//     E = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y
//     N = B0 + B1·x + B2·y + B3·x² + B4·y² + B5·x·y
// Inverse by the published coefficients, with dE = E − A0, dN = N − B0:
//     x = C1·dE + C2·dN + C3·dE² + C4·dN² + C5·dE·dN
//     y = D1·dE + D2·dN + D3·dE² + D4·dN² + D5·dE·dN
// and, where its result does not give E, N back through the forward to 1 mm,
// Newton's iteration on the forward, so that the two directions always agree
// to a millimetre. Heights do not take part.
//
// The sheets are built into the program (data/greek-systems, generated at
// build time). The outlines are in degrees of longitude east of the Athens
// meridian and latitude, on the old Greek datum.

#include "geodesy/Extended.h"
#include "geodesy/HATT.h"
#include "geodesy/TransverseMercator.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

// One sheet as the build writes it.
struct HattSheetRecord {
    int id;             // place in the publisher's table, 1..390
    int number;         // the publisher's sheet number
    const char* name;   // Greek, UTF-8
    double centreLon;   // origin of x, y: degrees east of the Athens meridian
    double centreLat;   // degrees
    int outlineStart;   // first vertex in the table of outline vertices
    int outlineCount;   // vertices (the ring is closed implicitly)
    double A[6], B[6];  // forward coefficients A0..A5, B0..B5
    double C[5], D[5];  // inverse coefficients C1..C5, D1..D5
};

// The polynomial inverse's result.
template <class T>
struct SheetXY {
    T x = 0, y = 0;
    bool iterated = false;  // the published inverse missed by more than 1 mm
};

// The sheet a point was found on, and how far outside its outline the point
// lies (0 inside).
struct SheetFound {
    int sheet = -1;
    double metresOutside = 0;
};

class HattSheets {
public:
    // `outline`: longitude, latitude pairs (degrees) the records point into.
    HattSheets(const HattSheetRecord* records, std::size_t count, const double* outline);

    // The sheets built into the program.
    static const HattSheets& builtIn();

    std::size_t size() const { return count_; }
    const HattSheetRecord& operator[](int s) const { return records_[s]; }
    // The 30' sheet whose centre is the origin of x, y (HATT.h).
    HattSheet gridSheet(int s) const;

    // The sheets with the publisher's number (none, one or two).
    std::vector<int> withNumber(int number) const;
    // The sheet of a name, accents, case, blanks and the marks . - ( ) ignored.
    int withName(std::string_view name) const;  // −1 when none
    // Up to `count` names nearest to `name` (by edit distance of the same
    // simplified spelling), nearest first.
    std::vector<std::string> nearestNames(std::string_view name, std::size_t count) const;
    // A sheet named by the user: all digits for a number, else a name.
    std::vector<int> named(std::string_view text) const;

    // HATT x, y on sheet s to TM87 E, N, and back.
    template <class T>
    BasicProjected<T> toTM87(int s, Exact<T> x, Exact<T> y) const;
    template <class T>
    SheetXY<T> fromTM87(int s, Exact<T> E, Exact<T> N) const;

    // Metres between a point given by its x, y on sheet s and the sheet's
    // outline (0 inside it).
    double metresOutside(int s, double x, double y) const;
    // The sheet whose outline holds a TM87 point (of two that overlap, the one
    // whose middle lies nearest); with none, the nearest sheet. Among the
    // sheets `among` when it names any (a number that stands for two).
    SheetFound sheetOfTM87(double E, double N, const std::vector<int>& among = {}) const;
    // Among `sheets`, the one that holds the point given by x, y on each of
    // them, or the nearest (a number that stands for two sheets).
    SheetFound sheetOfHatt(const std::vector<int>& sheets, double x, double y) const;

private:
    struct Place {
        double lon, lat;  // degrees east of the Athens meridian, latitude
    };
    Place placeOf(int s, double x, double y) const;
    bool holds(int s, Place p) const;
    double metresTo(int s, Place p) const;
    double middleDistance(int s, Place p) const;
    // Keeps in `best` the better of it and sheet s for the point p: the one
    // nearer (0 inside), of two that hold p the one whose middle is nearer.
    void consider(SheetFound& best, double& bestMiddle, int s, Place p) const;
    std::vector<int> near(Place p) const;

    const HattSheetRecord* records_;
    std::size_t count_;
    const double* outline_;
    // Sheets whose outline, widened by a margin, meets each cell of a grid
    // of 0.25°.
    double cellLon0_ = 0, cellLat0_ = 0;
    int cellCols_ = 0, cellRows_ = 0;
    std::vector<std::vector<int>> cells_;
    std::vector<std::string> simpleNames_;
};

// A name spelled simply: Greek and Latin letters in lower case without
// accents, final sigma as sigma, blanks and . - ( ) left out.
std::string simpleSpelling(std::string_view name);

}  // namespace korthal
