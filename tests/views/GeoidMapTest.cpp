// The geoid map's geometry (the marker's formula and its inverse), its
// undulation surface, contour lines and labels, and the coastline reader.

#include "geodesy/Geoid.h"
#include "views/GeoidMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <limits>
#include <numbers>

namespace korthal {
namespace {

constexpr double kRad = std::numbers::pi / 180;

TEST(GeoidMap, MarkerPixels)
{
    // The corner of 42° N, 19° E.
    EXPECT_EQ(geoidMarkerPixel(42, 19), (MarkerPixel{38, 22}));
    // 34° N, 29° E: eight pixels to the left for eight degrees south.
    EXPECT_EQ(geoidMarkerPixel(34, 29), (MarkerPixel{736, 731}));
    // 38° N, 23.5° E: y = 376.5 goes to the even 376.
    EXPECT_EQ(geoidMarkerPixel(38, 23.5), (MarkerPixel{352, 376}));
    // Another picture size stretches the same span.
    EXPECT_EQ(geoidMarkerPixel(42, 29, 138, 100), (MarkerPixel{138, 22}));
}

TEST(GeoidMap, DrawingFormulaAndItsInverseAgreeWithTheMarker)
{
    for (double phi : {34.0, 35.3, 37.9756, 40.6, 42.0}) {
        for (double lambda : {19.0, 21.73, 23.7348, 26.1, 29.0}) {
            const MapPoint p = geoidMapPoint(phi, lambda);
            const MarkerPixel m = geoidMarkerPixel(phi, lambda);
            EXPECT_LE(std::abs(p.x - m.x), 0.5);
            EXPECT_LE(std::abs(p.y - m.y), 0.5);
            const GeoPoint g = geoidMapPosition(p);
            EXPECT_NEAR(g.phi, phi, 1e-12);
            EXPECT_NEAR(g.lambda, lambda, 1e-12);
        }
    }
    EXPECT_TRUE(insideGeoidMap(34, 19));
    EXPECT_TRUE(insideGeoidMap(42, 29));
    EXPECT_FALSE(insideGeoidMap(42.01, 24));
    EXPECT_FALSE(insideGeoidMap(38, 18.99));
    EXPECT_FALSE(insideGeoidMap(33.9, 24));
    EXPECT_FALSE(insideGeoidMap(38, 29.5));
}

// The readout under the pointer: the pixel's φ and λ as packed degrees and
// the undulation the program uses there; nothing off the map.
TEST(GeoidMap, ReadoutUnderThePointer)
{
    const DatumShiftTable shifts;
    NumberText numbers(Separators{'.', ','});
    numbers.setDisplay(Separators{',', '.'});
    const double rad = std::numbers::pi / 180;
    for (const auto& [phi, lambda, packedPhi, packedLambda] :
         {std::tuple{38.0, 23.5, "38,0000", "23,3000"}, std::tuple{40.25, 22.75, "40,1500", "22,4500"}}) {
        const std::string text = geoidMapReadout(geoidMapPoint(phi, lambda), shifts, numbers);
        const auto n = GeoidUndulation(shifts, phi * rad, lambda * rad);
        ASSERT_TRUE(n.has_value());
        EXPECT_EQ(text, std::string("φ = ") + packedPhi + "   λ = " + packedLambda + "   αποχή = " +
                            numbers.FormatNumber("%.1n", {Extended(*n)}) + " m");
    }
    EXPECT_EQ(geoidMapReadout({5, 5}, shifts, numbers), "");
}

TEST(GeoidMap, SurfaceFollowsTheModel)
{
    const DatumShiftTable shifts;
    const GeoidMapSurface surface(shifts);
    for (double phi = 34.1; phi < 42; phi += 0.37) {
        for (double lambda = 19.05; lambda < 29; lambda += 0.53) {
            const auto model = GeoidUndulationUnrounded(shifts, phi * kRad, lambda * kRad);
            const auto rounded = GeoidUndulation(shifts, phi * kRad, lambda * kRad);
            const auto map = surface.at(phi, lambda);
            ASSERT_TRUE(model && rounded && map);
            EXPECT_NEAR(*map, *model, 0.001) << phi << ' ' << lambda;
            EXPECT_NEAR(*rounded, *model, 0.05 + 1e-9);
        }
    }
    // The corners are covered; outside there is nothing.
    EXPECT_TRUE(surface.at(42, 19) && surface.at(34, 29));
    EXPECT_FALSE(surface.at(42.5, 20));
    // The node of 38° 00' N, 23° 30' E: 6.9 m with the initial shift.
    EXPECT_NEAR(*surface.at(38, 23.5), 6.9, 0.05);

    // The field of the picture: the pixel of that node has its value;
    // pixels above 42° and left of 19° have none.
    const GeoidMapField f = geoidMapField(surface);
    ASSERT_EQ(f.values.size(), std::size_t(kGeoidMapWidth) * kGeoidMapHeight);
    const MapPoint p = geoidMapPoint(38, 23.5);
    EXPECT_NEAR(f.at(static_cast<int>(p.x), static_cast<int>(p.y)), 6.9, 0.1);
    EXPECT_TRUE(std::isnan(f.at(100, 5)));
    EXPECT_TRUE(std::isnan(f.at(10, 300)));
    EXPECT_LT(f.min, f.max);
}

// A cone around the middle of a square: the value is a tenth of the
// distance, with contours up to 4 m (circles of 10 to 40 pixels).
GeoidMapField cone(int size, bool leftHalfMissing = false)
{
    GeoidMapField f;
    f.width = f.height = size;
    const auto n = static_cast<std::size_t>(size);
    f.values.resize(n * n);
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            f.values[static_cast<std::size_t>(y) * n + static_cast<std::size_t>(x)] =
                leftHalfMissing && x < size / 2 ? std::numeric_limits<double>::quiet_NaN()
                                                : std::hypot(x + 0.5 - c, y + 0.5 - c) / 10;
    f.min = 0.1;
    f.max = 4.5;
    return f;
}

TEST(GeoidMap, ContoursAreJoinedLinesAtTheirLevel)
{
    const auto lines = geoidContours(cone(101));
    ASSERT_EQ(lines.size(), 4u);
    for (const ContourLine& c : lines) {
        // One whole circle: closed, at its radius, about 2πr long.
        ASSERT_EQ(c.polylines.size(), 1u) << c.metres;
        const auto& line = c.polylines[0];
        for (const MapPoint& p : line)
            EXPECT_NEAR(std::hypot(p.x - 50.5, p.y - 50.5), 10.0 * c.metres, 0.2);
        EXPECT_DOUBLE_EQ(line.front().x, line.back().x);
        EXPECT_DOUBLE_EQ(line.front().y, line.back().y);
        double length = 0;
        for (std::size_t k = 1; k < line.size(); ++k)
            length += std::hypot(line[k].x - line[k - 1].x, line[k].y - line[k - 1].y);
        EXPECT_NEAR(length, 2 * std::numbers::pi * 10 * c.metres, 0.03 * 10 * c.metres);
    }
    // Where the field has no value the lines end: half circles.
    const auto half = geoidContours(cone(101, true));
    ASSERT_EQ(half.size(), 4u);
    for (const ContourLine& c : half) {
        ASSERT_EQ(c.polylines.size(), 1u);
        for (const MapPoint& p : c.polylines[0]) EXPECT_GE(p.x, 50.5);
    }
}

TEST(GeoidMap, LabelsSitOnTheirLinesApart)
{
    const GeoidMapField f = cone(101);
    const auto labels = contourLabels(geoidContours(f), f, 80, 70, 10);
    ASSERT_FALSE(labels.empty());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const ContourLabel& l = labels[i];
        EXPECT_NEAR(std::hypot(l.at.x - 50.5, l.at.y - 50.5), 10.0 * l.metres, 0.2);
        EXPECT_GT(l.angle, -90.0);
        EXPECT_LE(l.angle, 90.0);
        // Shorter than the minimum length: the 1 m circle (63 px).
        EXPECT_NE(l.metres, 1);
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            EXPECT_GE(std::hypot(l.at.x - labels[j].at.x, l.at.y - labels[j].at.y), 40.0);
    }
}

TEST(GeoidMap, CoastlineText)
{
    const auto lines = parseCoastline("# header\n# more\n24.5 38.25\r\n24.75 38.5\n\n\n"
                                      "not a point\n20 39\n21 39.5 extra\n22 40");
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0][0].lambda, 24.5);
    EXPECT_DOUBLE_EQ(lines[0][0].phi, 38.25);
    EXPECT_DOUBLE_EQ(lines[0][1].phi, 38.5);
    ASSERT_EQ(lines[1].size(), 2u);
    EXPECT_DOUBLE_EQ(lines[1][1].lambda, 22);
    EXPECT_TRUE(parseCoastline("").empty());
}

}  // namespace
}  // namespace korthal
