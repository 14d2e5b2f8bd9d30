#pragma once
// The network sketch as numbers and texts: which points of the network table
// are drawn and at which pixel, the drawing window in the units of the
// coordinate mode, the scale and offsets that fit it to a canvas, the grid
// lines with their labels, the hit rectangles of the points, and the texts of
// the coordinate readout and of a distance measured between two points.
//
// Nothing here draws. paint/SketchPainter.h paints a SketchLayout onto any
// QPainter target (the sketch tab's picture, a printer page, a PDF, an
// image); views/Sketch.h keeps the state of the sketch tab between drawings
// (mode, filter, zoom, the measuring drag).
//
// Units. Mode 0 (projected): EGSA87 TM87 easting and northing in metres.
// Mode 1 (ellipsoidal): longitude and latitude in arc seconds. Mode 2 (HATT):
// HATT x and y in metres. x grows to the right, y upwards; pixel columns grow
// to the right and rows downwards.

#include "geodesy/DatumShift.h"
#include "network/NumberText.h"
#include "project/Document.h"
#include "table/MemTable.h"

#include <string>
#include <vector>

namespace korthal {

enum SketchMode : int { SketchProjected = 0, SketchEllipsoidal = 1, SketchHatt = 2 };
enum SketchFilter : int { SketchAllPoints = 0, SketchDetailPoints = 1, SketchNetworkPoints = 2 };

// The picture's background, red 251, green 251, blue 238.
constexpr int kSketchBackgroundRed = 251;
constexpr int kSketchBackgroundGreen = 251;
constexpr int kSketchBackgroundBlue = 238;
// Screen pictures measure their texts and circles in pixels of this width; a
// page k times as wide draws them k times as large.
constexpr int kSketchPictureWidth = 700;
constexpr int kSketchPictureHeight = 460;

// Rounds to the nearest integer, halves to the even neighbour.
double rnd(double v);

// One point of the network table as the sketch sees it.
struct SketchPoint {
    std::string name;
    double E = 0, N = 0;  // TM87 (m): the drawing window is fitted to these
    double x = 0, y = 0;  // in the units of the mode
    bool detail = false;  // a detail point (its name is black, it has no lines)
    long long id = 0;     // the record's ID
    // A reference point left out of the estimation: a check point, drawn as
    // one and without the lines of the estimation's points.
    bool check = false;
};

// The points of the network table, in index order, that the filter keeps,
// with (x, y) of the mode: E and N; λ and φ (as the calculated fields have
// them) in arc seconds; HATT x and y on the sheet of the points' centre (see
// views/SketchHatt.h). Points without a position (E and N both 0: a detail
// point not measured yet) are left out, as they are from the network's
// extents.
std::vector<SketchPoint> sketchPoints(const MemTable& gps, int mode, int filter,
                                      const DatumShiftTable& shifts);

// The drawing window in the units of the mode and the grid spacing.
struct SketchWindow {
    double Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    double spacing = 1000;  // 1000 m in modes 0 and 2, 30" in mode 1
};

// The window of the points (at least one) in mode `mode`, from the bounding
// box of their E and N: the box itself in mode 0; in modes 1 and 2 the
// longitudes (or HATT x) of the middles of its left and right sides and the
// latitudes (or HATT y) of the middles of its bottom and top sides, arc
// seconds rounded to whole seconds, HATT on the sheet of the box's middle.
// Points at one position give that position itself (the rounded or
// converted copy would move it off the centre).
SketchWindow sketchWindow(const std::vector<SketchPoint>& points, int mode,
                          const DatumShiftTable& shifts);

// World to pixel and back: px = rnd((x − Xmin) × Scale) + OffsetX,
// py = rnd((Ymax − y) × Scale) + OffsetY.
struct SketchFrame {
    double Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    double Scale = 1;  // pixels per unit
    long long OffsetX = 0, OffsetY = 0;

    double px(double x) const { return rnd((x - Xmin) * Scale) + static_cast<double>(OffsetX); }
    double py(double y) const { return rnd((Ymax - y) * Scale) + static_cast<double>(OffsetY); }
    double worldX(double column) const { return (column - static_cast<double>(OffsetX)) / Scale + Xmin; }
    double worldY(double row) const { return (static_cast<double>(OffsetY) - row) / Scale + Ymax; }
};

// The scale used for a direction with no width (a single point, or points
// in one line).
constexpr double kDegenerateScale = 10000000000.0;

// Fits the window to a canvas of W × H pixels: the smaller of the two
// directions' scales, so that the drawing fills 85 % of the limiting
// direction, centred. A window with no width in either direction (one
// position only) is taken as one grid spacing wide around its middle, so
// that the point is drawn in the centre among grid lines.
SketchFrame fitFrame(const SketchWindow& window, int W, int H);

// A grid line: its pixel column (vertical line) or row (horizontal line),
// its value in the units of the mode and its label.
struct SketchGridLine {
    double pixel = 0;
    double value = 0;
    std::string label;
};

// A grid label: "%.0n" of the value (thousands separators, no decimals) in
// modes 0 and 2, degrees, minutes and seconds "DD°MM'SS"" in mode 1.
std::string sketchGridLabel(double value, int mode, const NumberText& numbers);

// Arc seconds as "DD°MM'SS"fffff" (the five digits are the fraction of the
// second). The sign, if any, stands in front.
std::string sketchArcSeconds(double seconds);

// The hit rectangle of a drawn point (pixel position ± 2, edges included),
// its name cut to 30 characters and its coordinates in the mode's units.
struct SketchHit {
    int left = 0, top = 0, right = 0, bottom = 0;
    std::string name;
    double x = 0, y = 0;
    bool contains(int px, int py) const { return px >= left && px <= right && py >= top && py <= bottom; }
    int centreX() const { return (left + right) / 2; }
    int centreY() const { return (top + bottom) / 2; }
};

// The first rectangle that holds (x, y), or nullptr.
const SketchHit* hitAt(const std::vector<SketchHit>& hits, int x, int y);

struct SketchDrawnPoint {
    double px = 0, py = 0;
    std::string name;
    bool network = false;  // a network point proper: red name, dotted lines
    bool check = false;    // a check point: its own colour and mark, no lines
};

// Everything one drawing needs.
struct SketchLayout {
    int W = 0, H = 0;  // canvas size (pixels)
    int k = 1;         // texts and circles are k times their screen size
    int mode = 0;
    SketchFrame frame;
    double spacing = 1000;
    // False when there is nothing to draw but the background: no points, or
    // a grid step that rounds to 0 pixels (a window far too wide for the
    // grid spacing).
    bool complete = false;
    std::vector<SketchGridLine> columns;  // vertical lines, left to right
    std::vector<SketchGridLine> rows;     // horizontal lines, top to bottom
    std::vector<SketchDrawnPoint> points;  // in drawing order
    std::vector<SketchHit> hits;           // PointHits, one per drawn point
    // NetworkPixels: index into `points` of every network point proper; a
    // dotted line joins every pair of them.
    std::vector<std::size_t> network;
};

// Lays the points out on a canvas of W × H pixels with the given frame.
// `fitted`: the frame is the one fitFrame gave, and the grid starts at the
// window's edge (the grid value nearest Xmin and Ymax); otherwise (a zoomed
// or moved view) the grid covers the whole canvas.
SketchLayout layoutSketch(const std::vector<SketchPoint>& points, const SketchFrame& frame,
                          double spacing, int mode, int W, int H, int k, bool fitted,
                          const NumberText& numbers);

// Clips the segment to the rectangle [0, W] × [0, H]; false when nothing of
// it lies inside.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double W, double H);

// ---- The printed sheet ----

// The scale bar of a printed sketch in metres: the round length (1, 2 or 5
// times a power of ten) whose bar comes nearest below `targetPixels` at
// `pixelsPerMetre`, its length in pixels and its label ("500 m", "2 km").
struct SketchScaleBar {
    double metres = 0;
    double pixels = 0;
    std::string label;
};
SketchScaleBar sketchScaleBar(double pixelsPerMetre, double targetPixels);

// The scale of the paper, 1 : the returned number, rounded to three
// significant digits: `pixelsPerMetre` of the drawing and the device's
// pixels per millimetre of paper.
double sketchPaperScale(double pixelsPerMetre, double devicePixelsPerMillimetre);

// ---- Status bar texts ----

struct SketchCaptions {
    const char* first;     // " E = ", " φ = ", " x = "
    const char* second;    // "N = ", "λ = ", "y = "
    const char* diff1;     // "ΔΕ = ", "Δφ = ", "Δx = "
    const char* diff2;     // "ΔΝ = ", "Δλ = ", "Δy = "
    const char* distance;  // "S = " in modes 0 and 2, empty in mode 1
};
SketchCaptions sketchCaptions(int mode);

// The hint of the mode button once the mode has become `mode` (it names the
// mode the next click shows), and that of the filter button.
const char* sketchModeHint(int mode);
const char* sketchFilterHint(int filter);
extern const char* const kSketchDragHint;

// The readout of a position (x, y in the mode's units): the two coordinate
// values, first E, φ or x, second N, λ or y; metres with three decimals,
// angles in degrees, minutes and seconds.
struct SketchReadout {
    std::string first, second;
};
SketchReadout sketchReadout(int mode, double x, double y, const NumberText& numbers);

// The distance and differences between two positions (dX = x2 − x1,
// dY = y2 − y1): ΔE, ΔN and S with three decimals in modes 0 and 2; Δφ (dY)
// and Δλ (dX) in degrees, minutes and seconds in mode 1, where S is empty.
struct SketchMeasure {
    std::string distance, diff1, diff2;
};
SketchMeasure sketchMeasure(int mode, double dX, double dY, const NumberText& numbers);

}  // namespace korthal
