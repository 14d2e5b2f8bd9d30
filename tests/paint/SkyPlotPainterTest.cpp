// The sky plot: north up and east right, tracks in their strength colour,
// the mask circle, the untracked in grey, the reason when there is no sky.

#include "paint/SkyPlotPainter.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;
using namespace korthal::paint;

namespace {

// The pixel nearest a direction of the sky.
QColor pixelAt(const QImage& image, double azimuth, double elevation)
{
    const QPointF p = skyPlotPoint(QRectF(0, 0, image.width(), image.height()), 1.0, azimuth,
                                   elevation);
    return image.pixelColor(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
}

bool near(const QColor& a, const QColor& b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <=
           tolerance;
}

rinex::SkyTrack track(int prn, bool tracked, double azimuth, int snr)
{
    rinex::SkyTrack t;
    t.prn = prn;
    t.tracked = tracked;
    for (int el = 20; el <= 70; el += 2)
        t.points.push_back({static_cast<float>(azimuth), static_cast<float>(el), el,
                            static_cast<std::uint8_t>(snr), el == 20});
    return t;
}

}  // namespace

TEST(SkyPlotPainter, PlacesTracksMaskAndColours)
{
    const QRectF box(0, 0, 400, 400);
    // North up, east right, the zenith in the middle.
    const QPointF zenith = skyPlotPoint(box, 1, 0, 90);
    const QPointF north = skyPlotPoint(box, 1, 0, 0);
    const QPointF east = skyPlotPoint(box, 1, 90, 0);
    EXPECT_NEAR(zenith.x(), 200, 1e-9);
    EXPECT_NEAR(zenith.y(), 200, 1e-9);
    EXPECT_NEAR(north.x(), 200, 1e-9);
    EXPECT_LT(north.y(), 40);
    EXPECT_GT(east.x(), 360);
    EXPECT_NEAR(east.y(), 200, 1e-9);

    rinex::SkyView sky;
    sky.available = true;
    sky.mask = 15;
    sky.tracks = {track(5, true, 45, 9), track(9, true, 225, 1), track(27, false, 135, 0)};
    const QImage image = skyPlotImage(sky, QSize(400, 400));
    // Each track in its colour halfway along, the untracked in grey.
    EXPECT_TRUE(near(pixelAt(image, 45, 45), skySnrColour(9))) << pixelAt(image, 45, 45).name().toStdString();
    EXPECT_TRUE(near(pixelAt(image, 225, 45), skySnrColour(1))) << pixelAt(image, 225, 45).name().toStdString();
    int grey = 0;  // dashed: some of the way
    for (int el = 30; el <= 60; ++el) {
        const QColor c = pixelAt(image, 135, el);
        grey += c.red() == c.green() && c.green() == c.blue() && c.red() < 0xC0 ? 1 : 0;
    }
    EXPECT_GT(grey, 5);
    // The mask circle in red where no grid line passes, and an empty sky white.
    const QColor mask = pixelAt(image, 80, 15);
    EXPECT_GT(mask.red(), 150);
    EXPECT_LT(mask.green(), 100);
    EXPECT_EQ(pixelAt(image, 315, 45), QColor(Qt::white));

    // No sky: the reason is written, no track drawn.
    rinex::SkyView none = sky;
    none.available = false;
    none.reason = "Δεν δόθηκε αρχείο εφημερίδων (navigation).";
    const QImage empty = skyPlotImage(none, QSize(400, 400));
    EXPECT_EQ(pixelAt(empty, 45, 45), QColor(Qt::white));
    int dark = 0;
    for (int y = 170; y < 230; ++y)
        for (int x = 60; x < 340; ++x)
            dark += empty.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    EXPECT_GT(dark, 100);  // the text in the middle
}
