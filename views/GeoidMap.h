#pragma once
// The geometry and the content of the geoid map, as plain data: where a
// point of Greece lies on the map picture (the marker's formula) and back,
// the undulation surface sampled for the picture, the contour lines of whole
// metres with places for their values, and the coastline read from its text.
// paint/GeoidMapPainter.h draws them; the map window and `korthal-cli
// geoid-map` show or write the result.
//
// The picture is 744 × 728 pixels. Longitudes 19° to 29° run from x = 38 to
// the right edge and latitudes 42° down to 34° from y = 22 to 3 pixels below
// the bottom edge, with a shift of one pixel to the left per degree south of
// 42°: a sheared plate carrée. Angles are in degrees (decimal, not packed),
// on EGSA87; pixel coordinates are continuous, pixel (i, j) covering
// [i, i + 1) × [j, j + 1).

#include "geodesy/DatumShift.h"
#include "network/NumberText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

inline constexpr int kGeoidMapWidth = 744;
inline constexpr int kGeoidMapHeight = 728;
inline constexpr double kGeoidMapNorth = 42, kGeoidMapSouth = 34;
inline constexpr double kGeoidMapWest = 19, kGeoidMapEast = 29;

struct GeoPoint {
    double phi = 0, lambda = 0;  // degrees
};
struct MapPoint {
    double x = 0, y = 0;  // pixels
};

// The marker's pixel for a point on a map of width × height pixels:
// x = 38 − (19 − λ)(width − 38)/10 − (42 − φ), y = 22 − (42 − φ)(22 − (height + 3))/8,
// each rounded to the nearest integer, halves to even.
struct MarkerPixel {
    int x = 0, y = 0;
    bool operator==(const MarkerPixel&) const = default;
};
MarkerPixel geoidMarkerPixel(double phi, double lambda, int width = kGeoidMapWidth,
                             int height = kGeoidMapHeight);

// The same formula without rounding, for drawing, and its inverse.
MapPoint geoidMapPoint(double phi, double lambda, int width = kGeoidMapWidth,
                       int height = kGeoidMapHeight);
GeoPoint geoidMapPosition(MapPoint p, int width = kGeoidMapWidth, int height = kGeoidMapHeight);

// Whether a point lies within the map's 34° to 42° N and 19° to 29° E.
bool insideGeoidMap(double phi, double lambda);

// The readout of the map under the pointer at pixel `p`: φ and λ as packed
// degrees DD.MMSS and the model's undulation there, with the display
// separators of `numbers`, e.g. "φ = 38,1230   λ = 23,3012   αποχή = 35,3 m";
// "αποχή = -" where the model has no value, empty off the map.
std::string geoidMapReadout(MapPoint p, const DatumShiftTable& shifts, const NumberText& numbers);

// The undulation (metres, unrounded, EGSA87 with the given datum shift)
// sampled every 1/16 degree and interpolated between the samples: exact for
// the grid part, which is bilinear between its 15' nodes, and within a
// millimetre for the smooth datum term.
class GeoidMapSurface {
public:
    explicit GeoidMapSurface(const DatumShiftTable& shifts = DatumShiftTable());
    // nullopt outside 34° to 42° N, 19° to 29° E.
    std::optional<double> at(double phi, double lambda) const;

private:
    static constexpr int kPerDegree = 16;
    static constexpr int kRows = 8 * kPerDegree + 1;
    static constexpr int kCols = 10 * kPerDegree + 1;
    std::vector<double> v_;  // kRows × kCols, north row first
};

// The undulation at the centre of every pixel, row by row; NaN where the
// model has no value.
struct GeoidMapField {
    int width = 0, height = 0;
    std::vector<double> values;
    double at(int x, int y) const
    {
        return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    double min = 0, max = 0;  // over the defined pixels
};
GeoidMapField geoidMapField(const GeoidMapSurface& surface, int width = kGeoidMapWidth,
                            int height = kGeoidMapHeight);

// The contour line of a whole number of metres, as connected polylines
// through the pixel centres' field.
struct ContourLine {
    int metres = 0;
    std::vector<std::vector<MapPoint>> polylines;
};
std::vector<ContourLine> geoidContours(const GeoidMapField& field);

// A place for a contour's value: on the line, with the line's direction
// there (degrees, turned so that the text never reads upside down).
struct ContourLabel {
    int metres = 0;
    MapPoint at;
    double angle = 0;
};
// Labels spaced about `spacing` pixels along each line, none closer than
// spacing / 2 to another or `margin` pixels to the field's edges; lines
// shorter than `minLength` get none.
std::vector<ContourLabel> contourLabels(const std::vector<ContourLine>& lines,
                                        const GeoidMapField& field, double spacing = 260,
                                        double minLength = 70, double margin = 14);

// The coastline: blocks of "longitude latitude" lines in decimal degrees,
// separated by empty lines; lines starting with '#' are comments. Lines that
// are not two numbers are skipped.
std::vector<std::vector<GeoPoint>> parseCoastline(std::string_view text);

}  // namespace korthal
