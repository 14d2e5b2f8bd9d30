// The painted sketch: pictures of the demo network read back pixel by
// pixel, the page's enlarged circles, and the sketch and listing as PDF.

#include "project/Dialogs.h"
#include "paint/Headless.h"
#include "paint/PdfOutput.h"
#include "paint/SketchPainter.h"
#include "project/Document.h"
#include "views/Listing.h"
#include "views/Sketch.h"
#include "support/Files.h"
#include "support/Pdf.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace korthal {
namespace {

namespace fs = std::filesystem;
using namespace korthal::test;

// One application for the whole run, never destroyed: Qt's own statics
// must not outlive it at exit.
paint::HeadlessGui* theGui = nullptr;

void gui()
{
    if (!theGui)
        theGui = new paint::HeadlessGui;
}

// The demo network, loaded from a scratch copy of examples/demo.
struct Demo {
    TempDir dir{"sketch"};
    RecordingDialogs quiet;
    Document doc;
    Demo()
    {
        gui();
        for (const auto& e : fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
            fs::copy_file(e.path(), dir.path / e.path().filename());
        doc.LoadReference(dir.file("EGSA87"));
        doc.openNetwork(dir.file("DEMO.WGS84"));
    }
};

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

bool isDark(QRgb c)
{
    return qGray(c) < 140;
}

// Pixels of the rectangle (clipped to the image) that satisfy `test`.
template <typename Test>
int count(const QImage& img, QRect r, Test test)
{
    r = r.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(img.pixel(x, y)) ? 1 : 0;
    return n;
}

TEST(SketchPaint, DemoPictureHasBackgroundRedNamesAndGridLabels)
{
    Demo d;
    const SketchLayout L = plotSketch(d.doc, SketchProjected, SketchAllPoints, 700, 460, 1);
    ASSERT_TRUE(L.complete);
    ASSERT_GE(L.network.size(), 2u);
    const QImage img = paint::sketchImage(d.doc, SketchProjected, SketchAllPoints, QSize(700, 460));
    ASSERT_EQ(img.size(), QSize(700, 460));

    // Mostly the pale background.
    const QRgb background = qRgb(251, 251, 238);
    EXPECT_GT(count(img, img.rect(), [&](QRgb c) { return c == background; }), 700 * 460 / 2);

    // A red name to the right of every network point, black ones beside
    // the detail points.
    for (const auto& p : L.points) {
        const QRect name(int(p.px) + 5, int(p.py) - 2, 30, 12);
        if (p.network)
            EXPECT_GT(count(img, name, isRed), 3) << p.name;
        else
            EXPECT_EQ(count(img, name.adjusted(0, 0, -20, 0), isRed), 0) << p.name;
    }

    // Labels under the vertical lines and, turned, at the left of the
    // horizontal ones.
    ASSERT_FALSE(L.columns.empty());
    ASSERT_FALSE(L.rows.empty());
    for (const auto& c : L.columns) {
        EXPECT_EQ(c.label.substr(c.label.size() - 4), ".000");
        if (c.pixel > 30 && c.pixel < 670) {
            EXPECT_GT(count(img, QRect(int(c.pixel) - 20, 448, 40, 12), isDark), 5) << c.label;
        }
    }
    for (const auto& r : L.rows) {
        if (r.pixel > 40 && r.pixel < 420) {
            EXPECT_GT(count(img, QRect(0, int(r.pixel) - 20, 13, 40), isDark), 5) << r.label;
        }
    }
}

TEST(SketchPaint, DetailFilterDrawsNoRedAndEveryModePaints)
{
    Demo d;
    const QImage detail =
        paint::sketchImage(d.doc, SketchProjected, SketchDetailPoints, QSize(700, 460));
    EXPECT_EQ(count(detail, detail.rect(), isRed), 0);
    for (int mode = 0; mode < 3; ++mode) {
        const QImage img = paint::sketchImage(d.doc, mode, SketchNetworkPoints, QSize(500, 400));
        EXPECT_GT(count(img, img.rect(), isRed), 20) << "mode " << mode;
    }
}

// One detail point alone in the middle of a canvas, texts and circles k
// times their size.
QImage lonePoint(int k, bool onPaper)
{
    SketchLayout L;
    L.W = 200;
    L.H = 200;
    L.k = k;
    L.complete = true;
    L.points.push_back({100, 100, "", false});
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    paint::paintSketch(p, L, onPaper);
    return img;
}

TEST(SketchPaint, PaperCirclesGrowWithKAndGetASmallCircle)
{
    gui();
    auto black = [](QRgb c) { return qGray(c) < 100; };
    const QImage page = lonePoint(5, true);
    // The circle of radius 2k = 10 pixels, and the small one of radius 2.
    EXPECT_GT(count(page, QRect(89, 98, 3, 5), black), 0);
    EXPECT_GT(count(page, QRect(109, 98, 3, 5), black), 0);
    EXPECT_GT(count(page, QRect(97, 97, 7, 7), black), 0);
    EXPECT_EQ(count(page, QRect(94, 94, 13, 13), black) - count(page, QRect(97, 97, 7, 7), black), 0);
    // On the screen no small circle inside.
    const QImage screen = lonePoint(5, false);
    EXPECT_EQ(count(screen, QRect(97, 97, 7, 7), black), 0);
}

// A reference point left out of the estimation is drawn as a check point:
// no red name, no lines to it, its own blue.
TEST(SketchPaint, CheckPointsAreNotDrawnAsReferencePoints)
{
    Demo d;
    const SketchLayout before = plotSketch(d.doc, SketchProjected, SketchAllPoints, 700, 460, 1);
    ASSERT_GE(d.doc.residuals().size(), 4u);
    const ReferenceResidual left = d.doc.residuals()[1];
    d.doc.setExcluded(left.id, true);
    const SketchLayout L = plotSketch(d.doc, SketchProjected, SketchAllPoints, 700, 460, 1);
    EXPECT_EQ(L.network.size(), before.network.size() - 1);
    const SketchDrawnPoint* check = nullptr;
    for (const auto& p : L.points)
        if (p.name == left.name) check = &p;
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->check);
    EXPECT_FALSE(check->network);
    for (std::size_t i : L.network) EXPECT_NE(L.points[i].name, left.name);

    const QImage img = paint::sketchImage(d.doc, SketchProjected, SketchAllPoints, QSize(700, 460));
    const QRect around(int(check->px) - 40, int(check->py) - 16, 80, 32);
    EXPECT_EQ(count(img, around, isRed), 0);
    EXPECT_GT(count(img, around, [](QRgb c) { return qBlue(c) > 150 && qRed(c) < 90; }), 5);
}

// Names of points close together are moved apart (or, for detail points
// with no room left, left out): no name is written over another.
TEST(SketchPaint, NamesOfClosePointsDoNotOverlap)
{
    gui();
    const auto picture = [](const std::vector<SketchDrawnPoint>& points) {
        SketchLayout L;
        L.W = 300;
        L.H = 200;
        L.complete = true;
        L.points = points;
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        paint::paintSketch(p, L, true);
        p.end();
        return count(img, img.rect(), isDark);
    };
    const int one = picture({{150, 100, "Κ31", false}});
    const int two = picture({{150, 100, "Κ31", false}, {153, 103, "Κ32", false}});
    // Circles apart, names that would cover one another.
    const int three = picture({{150, 100, "Κ31", true}, {150, 107, "Κ31", false},
                               {150, 114, "Κ31", false}});
    ASSERT_GT(one, 20);
    // Two whole names and circles, not one name over another.
    EXPECT_GT(two, one * 2 * 9 / 10);
    EXPECT_GT(three, one * 3 * 9 / 10);
}

// The printed sketch is a sheet: title, file, mode, date, north arrow,
// legend and scale around the drawing.
TEST(SketchPaint, PrintedSketchHasTitleLegendScaleAndDate)
{
    Demo d;
    const QByteArray bytes = paint::sketchPdf(d.doc, SketchProjected, SketchAllPoints, 700);
    const std::string file =
        writeBytes(d.dir.path / "sheet.pdf", std::string(bytes.constData(), size_t(bytes.size())));
    const std::string text = pdfText(file);
    for (const std::string& wanted :
         {std::string("Σκαρίφημα δικτύου"), std::string("DEMO.WGS84"),
          std::string("Προβολικές συντεταγμένες ΕΓΣΑ87"), std::string("σημείο αναφοράς"),
          std::string("σημείο ελέγχου"), std::string("σημείο λεπτομερειών"),
          std::string("Κλίμακα 1:"), std::string("Β"),
          "Ημερομηνία : " + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString()})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted << "\n" << text;
    // Angles have no scale bar.
    const QByteArray angles = paint::sketchPdf(d.doc, SketchEllipsoidal, SketchAllPoints, 700);
    const std::string file2 =
        writeBytes(d.dir.path / "sheet2.pdf", std::string(angles.constData(), size_t(angles.size())));
    EXPECT_EQ(pdfText(file2).find("Κλίμακα"), std::string::npos);
}

TEST(SketchPaint, SketchPdfIsOneLandscapePageWithNamesAndLabels)
{
    Demo d;
    const QByteArray bytes = paint::sketchPdf(d.doc, SketchProjected, SketchAllPoints, 700);
    const std::string file =
        writeBytes(d.dir.path / "sketch.pdf", std::string(bytes.constData(), size_t(bytes.size())));
    const std::string info = pdfInfo(file);
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +(842 x 595|841.89 x 595.28) pts"))) << info;
    const std::string text = pdfText(file);
    EXPECT_NE(text.find("Σ101"), std::string::npos);
    EXPECT_NE(text.find("Κ01"), std::string::npos);
    const SketchLayout L = plotSketch(d.doc, SketchProjected, SketchAllPoints, 700, 460, 1);
    EXPECT_NE(text.find(L.columns[L.columns.size() / 2].label), std::string::npos);
}

TEST(SketchPaint, ListingPdfFitsTheWidestLine)
{
    Demo d;
    const auto pages = printTableLines(d.doc, true, false);
    const QByteArray bytes = paint::listingPdf(pages);
    const std::string file =
        writeBytes(d.dir.path / "list.pdf", std::string(bytes.constData(), size_t(bytes.size())));
    EXPECT_EQ(pdfPages(file), int(pages.size()));
    // A4 portrait is 595 points wide; the margins are 10 mm (28.3 points).
    const double right = pdfRightmostWord(file);
    EXPECT_GT(right, 400);
    EXPECT_LE(right, 595.28 - 28.3);
    // The last column of the widest record is there, whole.
    const std::string text = pdfText(file);
    EXPECT_NE(text.find("ApoxhHatt"), std::string::npos);
    EXPECT_NE(text.find("Κ30"), std::string::npos);
}

}  // namespace
}  // namespace korthal
