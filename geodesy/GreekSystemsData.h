#pragma once
// The data of the Greek reference systems that the program carries: the
// HEPOS correction grid and the HATT sheets with their polynomials. The build
// generates their definitions from data/greek-systems (tools/
// make_greek_data.cpp) into the geodesy library, so that a fresh install
// needs no file; HeposModel::builtIn() and HattSheets::builtIn() read them.

#include "geodesy/HattSheets.h"

#include <cstdint>

namespace korthal::embedded {

// The layout of the HEPOS grid: rows from the south, columns from the west;
// spacing and the first node's TM07 northing and easting in metres.
struct GridLayout {
    int rows, columns;
    double spacing, north0, east0;
};
extern const GridLayout kHeposGridLayout;
// The two components, rows × columns values each, in hundredths of a
// centimetre (the published values have two decimals of a centimetre).
extern const std::int16_t kHeposEast[];
extern const std::int16_t kHeposNorth[];

extern const HattSheetRecord kHattSheetRecords[];
extern const int kHattSheetCount;
// The outline vertices of all sheets: longitude, latitude pairs.
extern const double kHattOutlineVertices[];

}  // namespace korthal::embedded
