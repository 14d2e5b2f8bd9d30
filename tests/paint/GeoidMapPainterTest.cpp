// The geoid map picture: its size, the marker combined by exclusive or, and
// the coastline where the marker's formula puts it.

#include "paint/GeoidMapPainter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <string>

namespace korthal::paint {
namespace {

TEST(GeoidMapPicture, SizeAndColourDepth)
{
    const QImage& map = geoidMapImage();
    EXPECT_EQ(map.size(), QSize(kGeoidMapWidth, kGeoidMapHeight));
    EXPECT_FALSE(map.hasAlphaChannel());
    // Drawn once: the same picture every time.
    EXPECT_EQ(&geoidMapImage(), &map);
    // Outside the model's area (above 42°, left of 19°) the paper is white.
    EXPECT_EQ(map.pixelColor(300, 2), QColor(Qt::white));
    EXPECT_EQ(map.pixelColor(5, 300), QColor(Qt::white));
}

TEST(GeoidMapPicture, MarkerIsExclusiveOrAndComesOffAgain)
{
    const QImage& map = geoidMapImage();
    QImage marked = map.copy();
    const MarkerPixel m = geoidMarkerPixel(38, 23.5);
    drawGeoidMarker(marked, m);
    auto rgb = [](const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    // Inside the disc, off the diagonals: blue combined.
    EXPECT_EQ(rgb(marked, m.x + 20, m.y), rgb(map, m.x + 20, m.y) ^ 0x0000FFu);
    // On a diagonal inside the disc: blue and green.
    EXPECT_EQ(rgb(marked, m.x + 20, m.y + 20), rgb(map, m.x + 20, m.y + 20) ^ 0x00FFFFu);
    // Outside the disc: unchanged.
    EXPECT_EQ(rgb(marked, m.x + 45, m.y), rgb(map, m.x + 45, m.y));
    EXPECT_EQ(rgb(marked, m.x - 41, m.y - 41), rgb(map, m.x - 41, m.y - 41));
    EXPECT_NE(marked, map);
    // Drawn again: the picture as it was.
    drawGeoidMarker(marked, m);
    EXPECT_EQ(marked, map);
    EXPECT_EQ(markedGeoidMap(38, 23.5), [&] {
        QImage once = map.copy();
        drawGeoidMarker(once, m);
        return once;
    }());
}

TEST(GeoidMapPicture, CoastlineLiesWhereTheMarkerFormulaPutsIt)
{
    QFile f(QStringLiteral(KORTHAL_SOURCE_DIR "/data/coastline/coast_greece_10m.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    const auto lines = parseCoastline(std::string_view(text.constData(), std::size_t(text.size())));
    const QImage& map = geoidMapImage();
    // Every 25th vertex inside the map: a dark pixel of the coastline at
    // the marker's pixel or next to it.
    int tried = 0, dark = 0;
    for (const auto& line : lines) {
        for (std::size_t k = 0; k < line.size(); k += 25) {
            const GeoPoint g = line[k];
            if (g.phi < 34.6 || g.phi > 41.9 || g.lambda < 19.1 || g.lambda > 28.9) continue;
            const MarkerPixel m = geoidMarkerPixel(g.phi, g.lambda);
            ++tried;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const QColor c = map.pixelColor(m.x + dx, m.y + dy);
                    found = c.red() + c.green() + c.blue() < 330;
                }
            dark += found;
        }
    }
    ASSERT_GT(tried, 100);
    // Labels and the legend cover a few.
    EXPECT_GE(dark, tried * 95 / 100) << dark << " of " << tried;
}

}  // namespace
}  // namespace korthal::paint
