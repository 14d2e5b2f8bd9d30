#include "paint/SketchPainter.h"

#include "views/Sketch.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLineF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korthal::paint {

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

// One pixel wide on the screen. On paper a line of one printer dot would
// print as a faint solid hairline: there the dots grow with k as well.
QPen dottedPen(const QColor& colour, const SketchLayout& L, bool onPaper)
{
    QPen pen(colour);
    pen.setStyle(Qt::DotLine);
    if (onPaper && L.k >= 4) {
        pen.setWidthF(L.k / 4.0);
    } else {
        pen.setCosmetic(true);
        pen.setWidth(1);
    }
    return pen;
}

// Labels go on every n-th line, n the smallest number that keeps the widest
// label clear of its neighbours; the labelled lines are those whose value is
// a multiple of n grid spacings, so that they stay round numbers.
bool labelled(const SketchGridLine& line, const SketchLayout& L, int every)
{
    // In doubles: a damaged file's coordinates give indexes beyond any integer.
    const double index = rnd(line.value / L.spacing);
    return std::fmod(index, every) == 0;
}

int labelEvery(const std::vector<SketchGridLine>& lines, const SketchLayout& L,
               const QFontMetricsF& fm)
{
    double widest = 0;
    for (const auto& l : lines)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(l.label)));
    const double step = L.spacing * L.frame.Scale;
    const double room = widest + 6.0 * L.k;
    return step >= room ? 1 : static_cast<int>(std::min(1.0e6, std::ceil(room / step)));
}

// Arial of 8 points, in whole pixels of the device, so that the names'
// glyph runs and the labels' texts are of one size.
QFont sketchFont(const QPaintDevice& device)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, qRound(8.0 * device.logicalDpiY() / 72.0)));
    return font;
}

// Writes the points' names as glyph runs: names are short texts of one
// script that need no shaping, and leaving it out makes a sketch of ten
// thousand points several times faster. A name with a character the font
// lacks goes the usual way, through the font fallback of drawText.
class NameWriter {
public:
    explicit NameWriter(const QFont& font) : raw_(QRawFont::fromFont(font)) {}

    void draw(QPainter& p, QPointF baseline, const QString& text)
    {
        if (!raw_.isValid()) {
            p.drawText(baseline, text);
            return;
        }
        const QList<quint32> glyphs = raw_.glyphIndexesForString(text);
        if (glyphs.contains(0u)) {
            p.drawText(baseline, text);
            return;
        }
        const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
        positions_.resize(glyphs.size());
        QPointF at;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            positions_[i] = at;
            at += advances[i];
        }
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions_);
        p.drawGlyphRun(baseline, run);
    }

private:
    QRawFont raw_;
    QList<QPointF> positions_;
};

void paintGrid(QPainter& p, const SketchLayout& L, bool onPaper)
{
    // Dotted silver lines, black labels.
    const QPen line = dottedPen(kSilver, L, onPaper);
    const QPen labelPen(Qt::black, 0);
    const QFontMetricsF fm(p.font(), p.device());
    const double W = L.W, H = L.H;
    p.setPen(line);
    for (const auto& c : L.columns)
        if (c.pixel >= 0 && c.pixel <= W)
            p.drawLine(QLineF(c.pixel, 0, c.pixel, H));
    for (const auto& r : L.rows)
        if (r.pixel >= 0 && r.pixel <= H)
            p.drawLine(QLineF(0, r.pixel, W, r.pixel));
    p.setPen(labelPen);
    const int everyColumn = labelEvery(L.columns, L, fm), everyRow = labelEvery(L.rows, L, fm);
    for (const auto& c : L.columns) {
        if (!labelled(c, L, everyColumn))
            continue;
        const QString text = QString::fromStdString(c.label);
        const double w = fm.horizontalAdvance(text);
        // A label cut by the edge of the canvas is left out.
        if (c.pixel - w / 2 < 0 || c.pixel + w / 2 > W)
            continue;
        // Centred under the line, its top 12 screen pixels above the bottom.
        p.drawText(QPointF(c.pixel - w / 2, H - 12.0 * L.k + fm.ascent()), text);
    }
    // The labels of the horizontal lines run upwards, centred on their line.
    for (const auto& r : L.rows) {
        if (!labelled(r, L, everyRow))
            continue;
        const QString text = QString::fromStdString(r.label);
        const double w = fm.horizontalAdvance(text);
        if (r.pixel - w / 2 < 0 || r.pixel + w / 2 > H)
            continue;
        p.save();
        p.translate(0, r.pixel + w / 2);
        p.rotate(-90);
        p.drawText(QPointF(0, fm.ascent()), text);
        p.restore();
    }
}

void paintPoints(QPainter& p, const SketchLayout& L, bool onPaper)
{
    const QFontMetricsF fm(p.font(), p.device());
    const double k = L.k;
    const QPen black(Qt::black, 0);
    const QPen red(Qt::red, 0);
    p.setBrush(onPaper ? QColor(Qt::white)
                       : QColor(kSketchBackgroundRed, kSketchBackgroundGreen, kSketchBackgroundBlue));
    // Points whose circle and name lie wholly off the canvas are not drawn.
    const double left = -fm.maxWidth() * 32, right = L.W + 2 * k;
    const double top = -2 * k, bottom = L.H + fm.height() + 2 * k;
    NameWriter names(p.font());
    for (const auto& d : L.points) {
        if (d.px < left || d.px > right || d.py < top || d.py > bottom)
            continue;
        p.setPen(d.network ? red : black);
        names.draw(p, QPointF(d.px + 5 * k, d.py - 2 * k + fm.ascent()),
                   QString::fromStdString(d.name));
        p.setPen(black);
        p.drawEllipse(QRectF(d.px - 2 * k, d.py - 2 * k, 4 * k, 4 * k));
        if (onPaper)
            p.drawEllipse(QRectF(d.px - 2, d.py - 2, 4, 4));
    }
}

// The 32-bit picture the painter draws on, untransformed and unclipped, or
// nullptr.
QImage* plainPicture(QPainter& p)
{
    QPaintDevice* d = p.device();
    if (!d || d->devType() != QInternal::Image || !p.transform().isIdentity() || p.hasClipping())
        return nullptr;
    auto* img = static_cast<QImage*>(d);
    const QImage::Format f = img->format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                   f == QImage::Format_ARGB32_Premultiplied
               ? img
               : nullptr;
}

// A one-pixel line, one pixel on and two off as the dotted pen draws it,
// written straight into the picture (Bresenham). Half a million such lines
// (a thousand network points) take a fraction of the painter's time.
void dottedLine(QImage& img, int x0, int y0, int x1, int y1, QRgb colour)
{
    const int w = img.width(), h = img.height();
    uchar* bits = img.bits();
    const qsizetype bpl = img.bytesPerLine();
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (int phase = 0;; phase = phase == 2 ? 0 : phase + 1) {
        if (phase == 0 && x0 >= 0 && x0 < w && y0 >= 0 && y0 < h)
            reinterpret_cast<QRgb*>(bits + y0 * bpl)[x0] = colour;
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// A dotted line between every pair of network points.
void paintNetworkLines(QPainter& p, const SketchLayout& L, bool onPaper)
{
    p.setPen(dottedPen(kSilver, L, onPaper));
    const double W = L.W, H = L.H;
    QImage* picture = onPaper ? nullptr : plainPicture(p);
    std::vector<QLineF> batch;
    constexpr std::size_t kBatch = 4096;
    batch.reserve(kBatch);
    const auto& pts = L.points;
    for (std::size_t i = 0; i < L.network.size(); ++i) {
        const auto& a = pts[L.network[i]];
        for (std::size_t j = i + 1; j < L.network.size(); ++j) {
            const auto& b = pts[L.network[j]];
            double x1 = a.px, y1 = a.py, x2 = b.px, y2 = b.py;
            if (!clipSegment(x1, y1, x2, y2, W, H))
                continue;
            if (picture) {
                dottedLine(*picture, qRound(x1), qRound(y1), qRound(x2), qRound(y2), kSilver.rgb());
                continue;
            }
            batch.emplace_back(x1, y1, x2, y2);
            if (batch.size() == kBatch) {
                p.drawLines(batch.data(), static_cast<int>(batch.size()));
                batch.clear();
            }
        }
    }
    if (!batch.empty())
        p.drawLines(batch.data(), static_cast<int>(batch.size()));
}

}  // namespace

void paintSketch(QPainter& p, const SketchLayout& L, bool onPaper)
{
    p.save();
    if (!onPaper)
        p.fillRect(0, 0, L.W, L.H,
                   QColor(kSketchBackgroundRed, kSketchBackgroundGreen, kSketchBackgroundBlue));
    if (L.complete) {
        p.setFont(sketchFont(*p.device()));
        paintGrid(p, L, onPaper);
        paintPoints(p, L, onPaper);
        paintNetworkLines(p, L, onPaper);
    }
    p.restore();
}

QImage sketchImage(const Document& doc, int mode, int filter, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    const SketchLayout L = plotSketch(doc, mode, filter, size.width(), size.height(), 1);
    QPainter p(&img);
    paintSketch(p, L, false);
    return img;
}

bool paintSketchPage(QPagedPaintDevice& device, const Document& doc, int mode, int filter,
                     int pictureWidth)
{
    QPainter p(&device);
    if (!p.isActive())
        return false;
    const int W = device.width(), H = device.height();
    const int k = std::max(1, W / std::max(1, pictureWidth));
    paintSketch(p, plotSketch(doc, mode, filter, W, H, k), true);
    return p.end();
}

}  // namespace korthal::paint
