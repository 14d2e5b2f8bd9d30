#include "paint/GeoidMapPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace korthal::embedded {
// The coastline's text (data/coastline), built in by paint/CMakeLists.txt.
extern const unsigned char kCoastline[];
extern const std::size_t kCoastlineSize;
}  // namespace korthal::embedded

namespace korthal::paint {

namespace {

constexpr int W = kGeoidMapWidth;
constexpr int H = kGeoidMapHeight;

QPointF at(double phi, double lambda)
{
    const MapPoint p = geoidMapPoint(phi, lambda);
    return {p.x, p.y};
}

// The colour of the band of one metre starting at `metres`, from blue for the
// lowest band of the map to red for the highest, pale enough for the lines
// and texts drawn over it.
QColor bandColour(int metres, int lowest, int highest)
{
    static const QColor stops[] = {QColor(43, 99, 190), QColor(64, 170, 210), QColor(95, 190, 120),
                                   QColor(235, 220, 90), QColor(240, 150, 60), QColor(205, 60, 50)};
    constexpr int n = sizeof stops / sizeof stops[0];
    const double t = highest > lowest ? double(metres - lowest) / (highest - lowest) : 0.0;
    const double s = std::clamp(t, 0.0, 1.0) * (n - 1);
    const int k = std::min(static_cast<int>(s), n - 2);
    const double f = s - k;
    auto mix = [&](int a, int b) { return static_cast<int>(std::lround(a + f * (b - a))); };
    const QColor c(mix(stops[k].red(), stops[k + 1].red()),
                   mix(stops[k].green(), stops[k + 1].green()),
                   mix(stops[k].blue(), stops[k + 1].blue()));
    // 45 % white.
    auto pale = [](int v) { return static_cast<int>(std::lround(v + 0.45 * (255 - v))); };
    return QColor(pale(c.red()), pale(c.green()), pale(c.blue()));
}

// The map's area: the sheared rectangle of 42° to 34° N, 19° to 29° E.
QPolygonF mapArea()
{
    return QPolygonF({at(42, 19), at(42, 29), at(34, 29), at(34, 19)});
}

void paintBands(QImage& img, const GeoidMapField& field, int lowest, int highest)
{
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const double v = field.at(x, y);
            if (!std::isnan(v))
                line[x] = bandColour(static_cast<int>(std::floor(v)), lowest, highest).rgb();
        }
    }
}

QPainterPath polylinePath(const std::vector<MapPoint>& pts)
{
    QPainterPath path;
    if (pts.empty()) return path;
    path.moveTo(pts[0].x, pts[0].y);
    for (std::size_t k = 1; k < pts.size(); ++k) path.lineTo(pts[k].x, pts[k].y);
    return path;
}

// A text with a pale halo, so that it reads over lines and bands.
void haloText(QPainter& p, QPointF centre, double angle, const QString& text)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QFontMetricsF fm(p.font());
    const QPointF origin(-fm.horizontalAdvance(text) / 2, fm.ascent() / 2 - 1);
    QPainterPath path;
    path.addText(origin, p.font(), text);
    p.setPen(QPen(QColor(255, 255, 255, 220), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 45, 20));
    p.drawPath(path);
    p.restore();
}

void paintCoastline(QPainter& p)
{
    static const auto coast = parseCoastline(
        std::string_view(reinterpret_cast<const char*>(embedded::kCoastline), embedded::kCoastlineSize));
    p.setPen(QPen(QColor(25, 35, 60), 1.1));
    p.setBrush(Qt::NoBrush);
    for (const auto& line : coast) {
        std::vector<MapPoint> pts;
        pts.reserve(line.size());
        for (const GeoPoint& g : line) pts.push_back(geoidMapPoint(g.phi, g.lambda));
        p.drawPath(polylinePath(pts));
    }
}

void paintGraticule(QPainter& p)
{
    p.setPen(QPen(QColor(90, 90, 90, 150), 0.8, Qt::DashLine));
    for (int lambda = 20; lambda < 29; ++lambda) p.drawLine(at(42, lambda), at(34, lambda));
    for (int phi = 35; phi < 42; ++phi) p.drawLine(at(phi, 19), at(phi, 29));
}

void paintGraticuleLabels(QPainter& p)
{
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    const QFontMetricsF fm(f);
    for (int lambda = 19; lambda <= 29; ++lambda) {
        const QString t = QStringLiteral("%1°").arg(lambda);
        const double w = fm.horizontalAdvance(t);
        const double x = std::min(at(42, lambda).x() - w / 2, W - w - 1);
        p.drawText(QPointF(x, 22 - 6), t);
    }
    for (int phi = 35; phi <= 42; ++phi) {
        const QString t = QStringLiteral("%1°").arg(phi);
        const QPointF edge = at(phi, 19);
        p.drawText(QPointF(edge.x() - fm.horizontalAdvance(t) - 3, edge.y() + fm.ascent() / 2 - 1), t);
    }
}

// The scale of the bands in the sea south-west of the Peloponnese.
void paintLegend(QPainter& p, int lowest, int highest)
{
    QFont f = p.font();
    f.setPixelSize(11);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const int bands = highest - lowest;
    const double cell = std::min(14.0, 220.0 / std::max(bands, 1));
    const QPointF origin = at(34.35, 19.25);
    const QRectF box(origin.x(), origin.y() - 36, cell * bands + 24, 40);
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box.adjusted(-4, -16, 4, 2));
    p.setPen(QColor(30, 30, 30));
    p.drawText(QPointF(box.left(), box.top() - 3),
               QStringLiteral("Αποχή γεωειδούς στο ΕΓΣΑ87 (m)"));
    for (int k = 0; k < bands; ++k) {
        const QRectF r(box.left() + 12 + k * cell, box.top() + 2, cell, 14);
        p.fillRect(r, bandColour(lowest + k, lowest, highest));
    }
    p.setPen(QPen(QColor(60, 60, 60), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(box.left() + 12, box.top() + 2, cell * bands, 14));
    const int step = bands > 20 ? 5 : bands > 8 ? 2 : 1;
    for (int m = lowest; m <= highest; ++m) {
        if (m % step != 0) continue;
        const double x = box.left() + 12 + (m - lowest) * cell;
        p.drawLine(QPointF(x, box.top() + 16), QPointF(x, box.top() + 19));
        const QString t = QString::number(m);
        p.drawText(QPointF(x - fm.horizontalAdvance(t) / 2, box.top() + 19 + fm.ascent()), t);
    }
}

}  // namespace

QImage renderGeoidMap()
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::white);
    const GeoidMapField field = geoidMapField(GeoidMapSurface());
    const int lowest = static_cast<int>(std::floor(field.min));
    const int highest = static_cast<int>(std::ceil(field.max));
    paintBands(img, field, lowest, highest);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath area;
    area.addPolygon(mapArea());
    area.closeSubpath();
    p.setClipPath(area);
    paintGraticule(p);

    const std::vector<ContourLine> contours = geoidContours(field);
    for (const ContourLine& c : contours) {
        const bool five = c.metres % 5 == 0;
        p.setPen(QPen(QColor(110, 70, 30, five ? 230 : 170), five ? 1.2 : 0.8));
        p.setBrush(Qt::NoBrush);
        for (const auto& line : c.polylines) p.drawPath(polylinePath(line));
    }
    paintCoastline(p);

    QFont f = p.font();
    f.setPixelSize(10);
    p.setFont(f);
    for (const ContourLabel& l : contourLabels(contours, field))
        haloText(p, QPointF(l.at.x, l.at.y), l.angle, QString::number(l.metres));
    paintLegend(p, lowest, highest);

    p.setClipping(false);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(mapArea());
    paintGraticuleLabels(p);
    p.end();
    return img;
}

const QImage& geoidMapImage()
{
    static const QImage map = renderGeoidMap();
    return map;
}

void drawGeoidMarker(QImage& map, MarkerPixel m)
{
    if (map.format() != QImage::Format_RGB32 && map.format() != QImage::Format_ARGB32)
        map = map.convertToFormat(QImage::Format_RGB32);
    // The shapes are drawn into masks first, so that each pixel of a shape
    // is combined once, as a pen in exclusive-or mode does.
    auto xorShape = [&](QRgb colour, auto&& draw) {
        QImage mask(map.size(), QImage::Format_Grayscale8);
        mask.fill(0);
        QPainter p(&mask);
        draw(p);
        p.end();
        for (int y = 0; y < map.height(); ++y) {
            const uchar* in = mask.constScanLine(y);
            auto* out = reinterpret_cast<QRgb*>(map.scanLine(y));
            for (int x = 0; x < map.width(); ++x)
                if (in[x]) out[x] ^= colour & 0x00FFFFFF;
        }
    };
    xorShape(qRgb(0, 0, 255), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRect(m.x - 40, m.y - 40, 80, 80));
    });
    xorShape(qRgb(0, 255, 0), [&](QPainter& p) {
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(m.x - 40, m.y - 40, m.x + 40, m.y + 40);
        p.drawLine(m.x + 40, m.y - 40, m.x - 40, m.y + 40);
    });
}

QImage markedGeoidMap(double phi, double lambda)
{
    QImage map = geoidMapImage().copy();
    drawGeoidMarker(map, geoidMarkerPixel(phi, lambda));
    return map;
}

}  // namespace korthal::paint
