// The network sketch as numbers and texts: the drawing window, scale,
// offsets, grid, pixels, hit list, readout and measuring, zoom and pan.

#include "geodesy/Angles.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "views/Sketch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korthal {
namespace {

constexpr double kArcSecondsPerRadian = 180.0 * 3600.0 / 3.14159265358979323846;

Rec addPoint(Document& doc, const std::string& name, double E, double N, bool detail)
{
    MemTable& g = doc.GPS();
    const Rec r = g.appendRecord();
    g.setString(r, gps::Name, name);
    g.setFloat(r, gps::E, E);
    g.setFloat(r, gps::N, N);
    g.setFloat(r, gps::H, 250);
    g.setBoolean(r, gps::detailPoint, detail);
    return r;
}

// Two network points at the corners of a 2000 m × 1000 m box and a detail
// point in its middle; the display separators ',' and '.'.
struct Box {
    Document doc{Separators{'.', ','}};
    Box()
    {
        doc.numbers().setDisplay(Separators{',', '.'});
        addPoint(doc, "A", 1000, 5000, false);
        addPoint(doc, "B", 3000, 6000, false);
        addPoint(doc, "C", 2000, 5500, true);
    }
    // The sketch as the tab starts it (mode 0, all points), drawn on 700 × 460.
    Sketch sketch()
    {
        Sketch s;
        s.nextMode();
        s.nextFilter();
        s.plot(doc, 700, 460);
        return s;
    }
};

const SketchDrawnPoint& point(const SketchLayout& L, const std::string& name)
{
    for (const auto& p : L.points)
        if (p.name == name)
            return p;
    ADD_FAILURE() << "no point " << name;
    return L.points.front();
}

TEST(SketchLayout, ScaleOffsetsPixelsAndGridOfAProjectedSketch)
{
    Box b;
    const SketchLayout L = plotSketch(b.doc, SketchProjected, SketchAllPoints, 700, 460, 1);
    ASSERT_TRUE(L.complete);
    // 700 × 0.85 / 2000 is smaller than 460 × 0.85 / 1000: the width decides.
    EXPECT_DOUBLE_EQ(L.frame.Scale, 0.2975);
    EXPECT_EQ(L.frame.OffsetX, (700 - 595) / 2);
    // The height is 297.5 pixels, rounded to the even 298.
    EXPECT_EQ(L.frame.OffsetY, (460 - 298) / 2);
    EXPECT_EQ(point(L, "A").px, 52);
    EXPECT_EQ(point(L, "A").py, 379);
    EXPECT_EQ(point(L, "B").px, 647);
    EXPECT_EQ(point(L, "B").py, 81);
    EXPECT_EQ(point(L, "C").px, 350);  // 297.5 rounds to 298
    EXPECT_EQ(point(L, "C").py, 230);  // 148.75 rounds to 149

    // The grid starts at the value nearest the window's edge; every line is
    // at its own value's pixel, so the line of 3000 passes through B even
    // though the rounded step (298) would have put it at 648.
    ASSERT_EQ(L.columns.size(), 3u);
    EXPECT_EQ(L.columns[0].pixel, 52);
    EXPECT_EQ(L.columns[1].pixel, 350);
    EXPECT_EQ(L.columns[2].pixel, point(L, "B").px);
    EXPECT_EQ(L.columns[0].label, "1.000");
    EXPECT_EQ(L.columns[2].label, "3.000");
    ASSERT_EQ(L.rows.size(), 2u);
    EXPECT_EQ(L.rows[0].pixel, 81);
    EXPECT_EQ(L.rows[0].label, "6.000");
    EXPECT_EQ(L.rows[1].pixel, 379);
    EXPECT_EQ(L.rows[1].label, "5.000");

    // Hit rectangles ± 2 around each point, in drawing order (the table's
    // order: network points first).
    ASSERT_EQ(L.hits.size(), 3u);
    EXPECT_EQ(L.hits[2].name, "C");
    EXPECT_EQ(L.hits[2].left, 348);
    EXPECT_EQ(L.hits[2].bottom, 232);
    EXPECT_EQ(hitAt(L.hits, 352, 232), &L.hits[2]);  // edges included
    EXPECT_EQ(hitAt(L.hits, 353, 232), nullptr);
    EXPECT_EQ(L.network.size(), 2u);
}

// The scale bar takes the longest round length (1, 2, 5 × 10^n) that fits
// the room; the paper scale keeps three significant digits.
TEST(SketchLayout, ScaleBarAndPaperScale)
{
    struct Case {
        double pixelsPerMetre, room, metres;
        const char* label;
    };
    for (const Case& c : {Case{0.1, 100, 1000, "1 km"}, Case{0.1, 99, 500, "500 m"},
                          Case{2.0, 1000, 500, "500 m"}, Case{0.05, 300, 5000, "5 km"},
                          Case{0.05, 199, 2000, "2 km"}, Case{40, 100, 2, "2 m"},
                          Case{1e-3, 100, 1e5, "100 km"}}) {
        const SketchScaleBar bar = sketchScaleBar(c.pixelsPerMetre, c.room);
        EXPECT_DOUBLE_EQ(bar.metres, c.metres) << c.pixelsPerMetre << " " << c.room;
        EXPECT_EQ(bar.label, c.label);
        EXPECT_NEAR(bar.pixels, c.metres * c.pixelsPerMetre, 1e-9);
        EXPECT_LE(bar.pixels, c.room * (1 + 1e-9));
    }
    EXPECT_EQ(sketchScaleBar(0, 100).pixels, 0);
    // 600 dpi (23.62 pixels a millimetre), 0.05 pixels a metre: 1:472.000.
    EXPECT_DOUBLE_EQ(sketchPaperScale(0.05, 600 / 25.4), 472000);
    EXPECT_DOUBLE_EQ(sketchPaperScale(1.0, 10), 10000);
}

TEST(SketchLayout, FiltersChooseThePointsAndTheirWindow)
{
    Box b;
    addPoint(b.doc, "D0", 0, 0, true);  // not measured yet: no position
    SketchLayout L = plotSketch(b.doc, SketchProjected, SketchDetailPoints, 700, 460, 1);
    ASSERT_EQ(L.points.size(), 1u);
    EXPECT_EQ(L.points[0].name, "C");
    EXPECT_TRUE(L.network.empty());  // no red names, no lines
    // A single position is drawn in the centre among grid lines.
    EXPECT_EQ(L.points[0].px, 350);
    EXPECT_EQ(L.points[0].py, 230);
    EXPECT_FALSE(L.columns.empty());

    L = plotSketch(b.doc, SketchProjected, SketchNetworkPoints, 700, 460, 1);
    ASSERT_EQ(L.points.size(), 2u);
    EXPECT_EQ(L.network.size(), 2u);

    // No point at all: only the background.
    Document empty;
    EXPECT_FALSE(plotSketch(empty, SketchEllipsoidal, SketchAllPoints, 700, 460, 1).complete);
}

TEST(SketchLayout, DegenerateAndTooWideWindows)
{
    // Points on one north-south line: the height decides and the line is
    // in the middle of the width.
    Document line;
    addPoint(line, "P1", 400000, 4380000, true);
    addPoint(line, "P2", 400000, 4381000, true);
    SketchLayout L = plotSketch(line, SketchProjected, SketchAllPoints, 700, 460, 1);
    EXPECT_DOUBLE_EQ(L.frame.Scale, 460 * 0.85 / 1000);
    EXPECT_EQ(L.points[0].px, 350);

    // One point in every mode lands in the centre (the window of modes 1 and
    // 2 comes from other conversions than the point's own coordinates).
    Document one;
    addPoint(one, "P", 393000, 4386000, true);
    for (int mode = 0; mode < 3; ++mode) {
        L = plotSketch(one, mode, SketchAllPoints, 700, 460, 1);
        ASSERT_EQ(L.points.size(), 1u);
        EXPECT_NEAR(L.points[0].px, 350, 1) << "mode " << mode;
        EXPECT_NEAR(L.points[0].py, 230, 1) << "mode " << mode;
    }

    // 2000 km across: the 1000 m grid step rounds to 0 pixels, and nothing
    // but the background is drawn.
    Document wide;
    addPoint(wide, "W", 100000, 4380000, true);
    addPoint(wide, "E", 2100000, 4380000, true);
    EXPECT_FALSE(plotSketch(wide, SketchProjected, SketchAllPoints, 700, 460, 1).complete);
}

TEST(SketchLayout, AngleTexts)
{
    NumberText n(Separators{'.', ','});
    EXPECT_EQ(sketchGridLabel(138630, SketchEllipsoidal, n), "38°30'30\"");
    EXPECT_EQ(sketchGridLabel(4385000, SketchHatt, n), "4,385,000");
    EXPECT_EQ(sketchArcSeconds(138630.123456), "38°30'30\"12346");
    // The seconds carry instead of showing 60 or a sixth digit.
    EXPECT_EQ(sketchArcSeconds(138629.999996), "38°30'30\"00000");
    EXPECT_EQ(sketchArcSeconds(3599.999999), "01°00'00\"00000");
    // A negative difference keeps its sign even below one degree.
    EXPECT_EQ(sketchArcSeconds(-12.5), "-00°00'12\"50000");
    EXPECT_EQ(rnd(2.5), 2);
    EXPECT_EQ(rnd(3.5), 4);
    EXPECT_EQ(rnd(-2.5), -2);
}

// Builds a small network around the demo area.
void surveyArea(Document& doc)
{
    addPoint(doc, "T1", 390800, 4384800, false);
    addPoint(doc, "T2", 396300, 4388600, false);
    addPoint(doc, "P1", 392100, 4382400, true);
    addPoint(doc, "P2", 393600, 4389400, true);
}

TEST(SketchLayout, EllipsoidalAndHattWindowsFitThePoints)
{
    Document doc;
    surveyArea(doc);
    const MemTable& g = doc.GPS();
    for (int mode : {SketchEllipsoidal, SketchHatt}) {
        const SketchLayout L = plotSketch(doc, mode, SketchAllPoints, 700, 460, 1);
        ASSERT_TRUE(L.complete);
        // Every point inside the canvas, the drawing using most of it.
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (const auto& p : L.points) {
            minX = std::min(minX, p.px), maxX = std::max(maxX, p.px);
            minY = std::min(minY, p.py), maxY = std::max(maxY, p.py);
        }
        EXPECT_GE(minX, 0);
        EXPECT_LE(maxX, 700);
        EXPECT_GE(minY, 0);
        EXPECT_LE(maxY, 460);
        EXPECT_TRUE(maxX - minX > 0.8 * 700 || maxY - minY > 0.8 * 460) << "mode " << mode;
        // The point's own coordinates by the mode; arc seconds in mode 1.
        const Rec r = g.recAt(0);
        const double x = mode == SketchHatt
                             ? std::get<double>(g.fetch(r, gps::Hx))
                             : double(DMSToRad(std::get<double>(g.fetch(r, gps::l)))) * kArcSecondsPerRadian;
        EXPECT_NEAR(L.frame.worldX(L.points[0].px), x, 1 / L.frame.Scale);
    }
    // Mode 1: whole-second window, grid of 30", labels of whole 30".
    const SketchLayout L = plotSketch(doc, SketchEllipsoidal, SketchAllPoints, 700, 460, 1);
    EXPECT_EQ(L.frame.Xmin, std::round(L.frame.Xmin));
    EXPECT_EQ(L.spacing, 30);
    ASSERT_GE(L.rows.size(), 2u);
    EXPECT_TRUE(L.rows[0].label.starts_with("39°3")) << L.rows[0].label;
    for (const auto& c : L.columns)
        EXPECT_TRUE(c.label.ends_with("00\"") || c.label.ends_with("30\"")) << c.label;
}

TEST(SketchLayout, HattSketchOfANetworkAtASheetEdgeIsOneMap)
{
    // K25 lies just west of the edge of the sheet that holds the others.
    Document doc;
    const Rec k21 = addPoint(doc, "K21", 390061.832, 4386763.630, true);
    const Rec k25 = addPoint(doc, "K25", 388231.518, 4386747.406, true);
    addPoint(doc, "K10", 397854.837, 4384168.150, true);
    const MemTable& g = doc.GPS();
    auto table = [&](Rec r, int f) { return std::get<double>(g.fetch(r, f)); };
    ASSERT_GT(table(k25, gps::Hx), 0);  // its own sheet's centre is to its east
    ASSERT_LT(table(k21, gps::Hx), 0);

    const auto pts = sketchPoints(g, SketchHatt, SketchAllPoints, doc.datumShifts());
    ASSERT_EQ(pts.size(), 3u);
    const auto& p21 = pts[1];  // name order: K10, K21, K25
    const auto& p25 = pts[2];
    // A point of the centre's sheet keeps its table coordinates.
    EXPECT_DOUBLE_EQ(p21.x, table(k21, gps::Hx));
    EXPECT_DOUBLE_EQ(p21.y, table(k21, gps::Hy));
    // The other one is drawn where it is: 1830 m west of K21, as in TM87.
    EXPECT_NEAR(std::hypot(p25.x - p21.x, p25.y - p21.y), std::hypot(1830.314, 16.224), 1.5);
    EXPECT_LT(p25.x, p21.x);

    const SketchLayout L = plotSketch(doc, SketchHatt, SketchAllPoints, 700, 460, 1);
    for (const auto& p : L.points) {
        EXPECT_GE(p.px, 40) << p.name;
        EXPECT_LE(p.px, 660) << p.name;
    }
}

TEST(Sketch, MeasuringBetweenPointsUsesTheirCoordinates)
{
    Box b;
    Sketch s = b.sketch();
    const NumberText& n = b.doc.numbers();

    // Down outside any point: "Pi", the anchor at the pointer.
    SketchStatus st = s.mouseDown(200, 200, n);
    EXPECT_EQ(st.nameI, "Pi");
    EXPECT_EQ(st.nameJ, "Pj");
    EXPECT_EQ(s.anchorX(), 200);
    s.mouseUp();
    EXPECT_FALSE(s.dragging());

    // From A to B: the anchor snaps to A's pixel, the band ends at the raw
    // pointer, and the numbers are those of the points, not of the pixels.
    st = s.mouseDown(53, 378, n);
    EXPECT_EQ(st.nameI, "A");
    EXPECT_EQ(s.anchorX(), 52);
    EXPECT_EQ(s.anchorY(), 379);
    st = s.mouseMove(646, 83, true, n);
    EXPECT_EQ(s.endX(), 646);
    EXPECT_EQ(st.nameJ, "B");
    EXPECT_EQ(st.measure.diff1, "2.000,000");
    EXPECT_EQ(st.measure.diff2, "1.000,000");
    EXPECT_EQ(st.measure.distance, "2.236,068");
    EXPECT_EQ(st.readout.first, "3.000,000");
    EXPECT_EQ(st.readout.second, "6.000,000");
    // Off the points the pixel decides: (350 − 52) / 0.2975 + 1000.
    st = s.mouseMove(350, 81, true, n);
    EXPECT_EQ(st.nameJ, "Pj");
    EXPECT_EQ(st.readout.first, "2.001,681");
    s.mouseUp();
    // Without the button only the readout changes.
    st = s.mouseMove(350, 81, false, n);
    EXPECT_EQ(st.nameJ, "");
    EXPECT_EQ(st.readout.second, "6.000,000");
}

TEST(Sketch, EllipsoidalMeasureGivesSignedAnglesAndNoDistance)
{
    Document doc;
    surveyArea(doc);
    Sketch s;
    s.SketchMode = SketchEllipsoidal;
    s.SketchFilter = SketchAllPoints;
    const SketchLayout L = s.plot(doc, 700, 460);
    const auto& t1 = L.points[0];
    const auto& p1 = L.points[2];  // P1, south-east of T1
    ASSERT_EQ(p1.name, "P1");
    s.mouseDown(static_cast<int>(t1.px), static_cast<int>(t1.py), doc.numbers());
    const SketchStatus st =
        s.mouseMove(static_cast<int>(p1.px), static_cast<int>(p1.py), true, doc.numbers());
    EXPECT_EQ(st.nameJ, "P1");
    EXPECT_EQ(st.measure.distance, "");
    EXPECT_TRUE(st.measure.diff1.starts_with("-00°0")) << st.measure.diff1;  // Δφ: south
    EXPECT_TRUE(st.measure.diff2.starts_with("00°0")) << st.measure.diff2;   // Δλ: east
    EXPECT_TRUE(st.readout.first.starts_with("39°")) << st.readout.first;
}

TEST(Sketch, ZoomAndPanKeepReadoutAndHitsRight)
{
    Box b;
    Sketch s = b.sketch();
    const NumberText& n = b.doc.numbers();
    const std::string before = s.mouseMove(300, 200, false, n).readout.first;

    // The world point under the pointer stays under it.
    ASSERT_TRUE(s.zoomAt(4, 300, 200));
    const SketchLayout& L = s.plot(b.doc, 700, 460);
    EXPECT_DOUBLE_EQ(L.frame.Scale, 0.2975 * 4);
    EXPECT_EQ(s.mouseMove(300, 200, false, n).readout.first, before);
    // Hit testing follows the new pixels of C.
    const auto& c = point(L, "C");
    s.mouseDown(static_cast<int>(c.px) + 1, static_cast<int>(c.py), n);
    EXPECT_EQ(s.mouseMove(static_cast<int>(c.px), static_cast<int>(c.py), true, n).nameJ, "C");
    s.mouseUp();
    // The grid covers the whole canvas of a zoomed view.
    EXPECT_LE(L.columns.front().pixel, 0);
    EXPECT_LE(L.rows.front().pixel, 0);

    // Moving by 100 pixels moves C by 100 pixels.
    const double cx = c.px;
    ASSERT_TRUE(s.panBy(100, -40));
    const SketchLayout& M = s.plot(b.doc, 700, 460);
    EXPECT_EQ(point(M, "C").px, cx + 100);

    // The zoom has bounds, and the buttons return to the fitted view.
    s.zoomAt(0.001, 0, 0);
    EXPECT_DOUBLE_EQ(s.zoom(), 0.25);
    s.resetView();
    EXPECT_EQ(point(s.plot(b.doc, 700, 460), "C").px, 350);
    EXPECT_TRUE(s.zoomAt(2, 10, 10));
    s.nextFilter();
    EXPECT_FALSE(s.viewChanged());
}

TEST(SketchLayout, ClippingKeepsTheInsidePart)
{
    double x1 = -100, y1 = 50, x2 = 300, y2 = 50;
    ASSERT_TRUE(clipSegment(x1, y1, x2, y2, 200, 100));
    EXPECT_DOUBLE_EQ(x1, 0);
    EXPECT_DOUBLE_EQ(x2, 200);
    x1 = -10, y1 = -10, x2 = -5, y2 = 50;
    EXPECT_FALSE(clipSegment(x1, y1, x2, y2, 200, 100));
    x1 = 10, y1 = 10, x2 = 20, y2 = 30;
    ASSERT_TRUE(clipSegment(x1, y1, x2, y2, 200, 100));
    EXPECT_DOUBLE_EQ(y2, 30);
}

}  // namespace
}  // namespace korthal
