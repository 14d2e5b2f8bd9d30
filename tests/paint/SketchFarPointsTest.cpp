// The sketch of a network whose coordinates no survey has: what a damaged
// network file can hold. The sketch is laid out and painted in every mode in
// bounded time, with texts for its labels, and (in the sanitizer build)
// without an undefined conversion.

#include "network/PointTables.h"
#include "paint/SketchPainter.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "views/Sketch.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace korthal {
namespace {

void addPoint(Document& doc, const std::string& name, double E, double N)
{
    MemTable& g = doc.GPS();
    const Rec r = g.appendRecord();
    g.setString(r, gps::Name, name);
    g.setFloat(r, gps::E, E);
    g.setFloat(r, gps::N, N);
    g.setBoolean(r, gps::detailPoint, true);
}

TEST(SketchFarPoints, LaidOutAndPaintedInEveryMode)
{
    RecordingDialogs quiet;
    // Eastings of hundreds of thousands of kilometres and more (network
    // files the fuzzer made): longitudes of 10^20 arc seconds and beyond.
    const std::vector<std::vector<std::pair<double, double>>> networks = {
        {{311241111, 0}},  // longitude 1.6E20 arc seconds: the fuzzer's finding
        {{3956724017.0, 4391659.47}, {390000, 4390000}},
        {{1e24, 4391659.47}, {390000, 4390000}},
        {{1e24, 1e24}},  // one point: a window one grid spacing wide around it
        {{-1e300, 1e300}, {390000, 4390000}}};
    for (const auto& points : networks) {
        Document doc;
        int i = 0;
        for (const auto& [E, N] : points)
            addPoint(doc, "Κ" + std::to_string(++i), E, N);
        for (int mode : {SketchProjected, SketchEllipsoidal, SketchHatt}) {
            SCOPED_TRACE("E " + std::to_string(points[0].first) + " mode " + std::to_string(mode));
            const SketchLayout L = plotSketch(doc, mode, SketchAllPoints, 700, 460, 1);
            EXPECT_LE(L.columns.size(), 1402u);
            EXPECT_LE(L.rows.size(), 922u);
            for (const auto* lines : {&L.columns, &L.rows}) {
                for (const auto& line : *lines) {
                    EXPECT_FALSE(line.label.empty());
                    // Arc seconds beyond any angle are shown as the number.
                    if (mode == SketchEllipsoidal && std::fabs(line.value) >= 1e15) {
                        EXPECT_EQ(line.label.find("°"), std::string::npos) << line.label;
                    }
                }
            }
            const QImage img = paint::sketchImage(doc, mode, SketchAllPoints, QSize(700, 460));
            EXPECT_EQ(img.size(), QSize(700, 460));
        }
    }
}

}  // namespace
}  // namespace korthal
