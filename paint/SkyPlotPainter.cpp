#include "paint/SkyPlotPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korthal::paint {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Room around the rim for the compass letters and the legend.
double marginOf(const QRectF& target, double scale)
{
    return std::min(28.0 * scale, std::min(target.width(), target.height()) / 6.0);
}

struct Polar {
    QPointF centre;
    double radius = 0;
};

Polar polarOf(const QRectF& target, double scale)
{
    const double margin = marginOf(target, scale);
    Polar p;
    p.centre = target.center();
    p.radius = std::max(1.0, std::min(target.width(), target.height()) / 2.0 - margin);
    return p;
}

QPointF place(const Polar& p, double azimuth, double elevation)
{
    const double r = p.radius * (90.0 - elevation) / 90.0;
    return {p.centre.x() + r * std::sin(azimuth * kDegree),
            p.centre.y() - r * std::cos(azimuth * kDegree)};
}

QFont fontOf(double scale, double points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * scale))));
    return f;
}

void paintGrid(QPainter& painter, const Polar& p, double scale, double mask)
{
    const QColor grid(0xB0, 0xB0, 0xB0);
    painter.setPen(QPen(grid, 1.0 * scale));
    painter.setBrush(Qt::NoBrush);
    for (double el : {0.0, 30.0, 60.0}) {
        const double r = p.radius * (90.0 - el) / 90.0;
        painter.drawEllipse(p.centre, r, r);
    }
    for (int az = 0; az < 360; az += 30)
        painter.drawLine(place(p, az, 90.0), place(p, az, 0.0));

    painter.setFont(fontOf(scale, 10));
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60)));
    for (double el : {30.0, 60.0}) {
        const QPointF at = place(p, 0.0, el);
        painter.drawText(at + QPointF(3.0 * scale, -2.0 * scale), QString::number(el) + "°");
    }
    // North, east, south and west in Greek: Β, Α, Ν, Δ.
    const QString letters[] = {QStringLiteral("Β"), QStringLiteral("Α"), QStringLiteral("Ν"),
                               QStringLiteral("Δ")};
    painter.setFont(fontOf(scale, 13));
    const QFontMetricsF fm(painter.font());
    for (int k = 0; k < 4; ++k) {
        const double az = 90.0 * k;
        const QPointF rim = place(p, az, -12.0 * 90.0 / std::max(1.0, p.radius) * scale);
        const QSizeF s(fm.horizontalAdvance(letters[k]), fm.height());
        painter.setPen(QPen(Qt::black));
        painter.drawText(QRectF(rim - QPointF(s.width() / 2, s.height() / 2), s), Qt::AlignCenter,
                         letters[k]);
    }

    // The elevation mask.
    if (mask > 0 && mask < 90) {
        QPen pen(QColor(0xD0, 0x20, 0x20), 1.5 * scale, Qt::DashLine);
        painter.setPen(pen);
        const double r = p.radius * (90.0 - mask) / 90.0;
        painter.drawEllipse(p.centre, r, r);
    }
}

void paintLegend(QPainter& painter, const QRectF& target, double scale)
{
    painter.setFont(fontOf(scale, 9));
    const QFontMetricsF fm(painter.font());
    const double box = 9.0 * scale;
    double x = target.left() + 4.0 * scale;
    const double y = target.bottom() - 4.0 * scale - box;
    painter.setPen(QPen(Qt::black));
    const QString title = QStringLiteral("SNR");
    painter.drawText(QPointF(x, y + box), title);
    x += fm.horizontalAdvance(title) + 4.0 * scale;
    for (int d = 1; d <= 9; ++d) {
        painter.fillRect(QRectF(x, y, box, box), skySnrColour(d));
        x += box;
    }
    painter.drawText(QPointF(x + 3.0 * scale, y + box), QStringLiteral("1–9"));
}

void paintTrack(QPainter& painter, const Polar& p, double scale, const rinex::SkyTrack& track)
{
    if (track.points.empty())
        return;
    const double width = (track.tracked ? 2.5 : 1.2) * scale;
    QPen pen(QColor(0x90, 0x90, 0x90), width, track.tracked ? Qt::SolidLine : Qt::DashLine,
             Qt::RoundCap);
    const rinex::SkyPoint* prev = nullptr;
    QPointF last;
    for (const rinex::SkyPoint& pt : track.points) {
        const bool visible = pt.elevation >= 0;
        const QPointF at = place(p, pt.azimuth, std::max(0.0f, pt.elevation));
        if (visible && prev && !pt.newArc && prev->elevation >= 0) {
            if (track.tracked)
                pen.setColor(skySnrColour(pt.snr));
            painter.setPen(pen);
            painter.drawLine(last, at);
        } else if (visible) {
            if (track.tracked)
                pen.setColor(skySnrColour(pt.snr));
            painter.setPen(pen);
            painter.drawPoint(at);
        }
        prev = &pt;
        last = at;
    }
    // The name at the end of the track, where the satellite was last seen.
    const rinex::SkyPoint& end = track.points.back();
    if (end.elevation < 0)
        return;
    char name[8];
    std::snprintf(name, sizeof name, "G%02d", track.prn);
    const QString text = QString::fromLatin1(name);
    const QPointF at = place(p, end.azimuth, end.elevation);
    painter.setPen(QPen(track.tracked ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80)));
    painter.drawText(at + QPointF(3.0 * scale, -3.0 * scale), text);
}

}  // namespace

QColor skySnrColour(int digit)
{
    if (digit < 1 || digit > 9)
        return QColor(0x90, 0x90, 0x90);
    // Hue from red (0°) at 1 to green (120°) at 9.
    return QColor::fromHsvF(static_cast<float>((digit - 1) / 8.0 * 120.0 / 360.0), 0.9f, 0.85f);
}

QPointF skyPlotPoint(const QRectF& target, double scale, double azimuth, double elevation)
{
    return place(polarOf(target, scale), azimuth, elevation);
}

std::optional<SkyHit> skyPlotNearest(const QRectF& target, double scale, const rinex::SkyView& sky,
                                     const QPointF& pos, double reach)
{
    if (!sky.available)
        return std::nullopt;
    const Polar p = polarOf(target, scale);
    std::optional<SkyHit> best;
    double bestDistance = reach * reach;
    for (std::size_t t = 0; t < sky.tracks.size(); ++t) {
        const std::vector<rinex::SkyPoint>& points = sky.tracks[t].points;
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (points[k].elevation < 0)
                continue;
            const QPointF d = place(p, points[k].azimuth, points[k].elevation) - pos;
            const double d2 = d.x() * d.x() + d.y() * d.y();
            // The tracked over the untracked when both are as near.
            if (d2 < bestDistance ||
                (d2 == bestDistance && best && !sky.tracks[best->track].tracked &&
                 sky.tracks[t].tracked)) {
                bestDistance = d2;
                best = SkyHit{t, k};
            }
        }
    }
    return best;
}

void paintSkyPlot(QPainter& painter, const QRectF& target, double scale, const rinex::SkyView& sky)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(target);
    const Polar p = polarOf(target, scale);
    paintGrid(painter, p, scale, sky.mask);
    if (!sky.available) {
        painter.setPen(QPen(Qt::black));
        painter.setFont(fontOf(scale, 11));
        const QRectF box(p.centre.x() - p.radius * 0.8, p.centre.y() - p.radius * 0.4,
                         p.radius * 1.6, p.radius * 0.8);
        painter.fillRect(box, Qt::white);
        painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromStdString(sky.reason));
        painter.restore();
        return;
    }
    painter.setFont(fontOf(scale, 9));
    // The untracked first, so that tracks observed lie over them.
    for (bool tracked : {false, true})
        for (const rinex::SkyTrack& t : sky.tracks)
            if (t.tracked == tracked)
                paintTrack(painter, p, scale, t);
    paintLegend(painter, target, scale);
    painter.restore();
}

QImage skyPlotImage(const rinex::SkyView& sky, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSkyPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), 1.0, sky);
    painter.end();
    return image;
}

}  // namespace korthal::paint
