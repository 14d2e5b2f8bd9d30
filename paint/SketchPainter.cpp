#include "paint/SketchPainter.h"

#include "views/Sketch.h"

#include <QDate>
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
#include <map>
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
    explicit NameWriter(const QFont& font) : raw_(QRawFont::fromFont(font)), fm_(font) {}

    // Makes `text` the next name to draw and returns its width.
    double prepare(const QString& text)
    {
        text_ = text;
        plain_ = !raw_.isValid();
        if (!plain_) {
            glyphs_ = raw_.glyphIndexesForString(text);
            plain_ = glyphs_.contains(0u);
        }
        if (plain_) return fm_.horizontalAdvance(text);
        const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs_);
        positions_.resize(glyphs_.size());
        QPointF at;
        for (qsizetype i = 0; i < glyphs_.size(); ++i) {
            positions_[i] = at;
            at += advances[i];
        }
        return at.x();
    }

    // Draws the prepared name.
    void draw(QPainter& p, QPointF baseline)
    {
        if (plain_) {
            p.drawText(baseline, text_);
            return;
        }
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs_);
        run.setPositions(positions_);
        p.drawGlyphRun(baseline, run);
    }

private:
    QRawFont raw_;
    QFontMetricsF fm_;
    QString text_;
    bool plain_ = true;
    QList<quint32> glyphs_;
    QList<QPointF> positions_;
};

// The rectangles of the names already written, in buckets of a coarse grid
// so that a sketch of thousands of points asks only its neighbours.
class LabelSpace {
public:
    explicit LabelSpace(double cell) : cell_(std::max(1.0, cell)) {}

    bool isFree(const QRectF& r) const
    {
        const Cells c = cells(r);
        for (long long x = c.x0; x <= c.x1; ++x)
            for (long long y = c.y0; y <= c.y1; ++y) {
                const auto it = buckets_.find({x, y});
                if (it == buckets_.end()) continue;
                for (const QRectF& o : it->second)
                    if (o.intersects(r)) return false;
            }
        return true;
    }
    void take(const QRectF& r)
    {
        const Cells c = cells(r);
        for (long long x = c.x0; x <= c.x1; ++x)
            for (long long y = c.y0; y <= c.y1; ++y) buckets_[{x, y}].push_back(r);
    }

private:
    struct Cells {
        long long x0, x1, y0, y1;
    };
    Cells cells(const QRectF& r) const
    {
        const auto at = [this](double v) { return static_cast<long long>(std::floor(v / cell_)); };
        return {at(r.left()), at(r.right()), at(r.top()), at(r.bottom())};
    }
    double cell_;
    std::map<std::pair<long long, long long>, std::vector<QRectF>> buckets_;
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

// The colour of a check point (a reference point left out of the
// estimation), as the grids and the transformation page show it.
const QColor kCheckPoint(0, 70, 200);

// The mark of a check point: a triangle standing on its base, as wide as
// the circle of the other points.
void drawCheckMark(QPainter& p, double px, double py, double k)
{
    const QPointF tri[3] = {QPointF(px, py - 3 * k), QPointF(px + 2.6 * k, py + 1.5 * k),
                            QPointF(px - 2.6 * k, py + 1.5 * k)};
    p.drawPolygon(tri, 3);
}

void paintPoints(QPainter& p, const SketchLayout& L, bool onPaper)
{
    const QFontMetricsF fm(p.font(), p.device());
    const double k = L.k;
    const QPen black(Qt::black, 0);
    const QPen red(Qt::red, 0);
    const QPen blue(kCheckPoint, 0);
    p.setBrush(onPaper ? QColor(Qt::white)
                       : QColor(kSketchBackgroundRed, kSketchBackgroundGreen, kSketchBackgroundBlue));
    // Points whose circle and name lie wholly off the canvas are not drawn.
    const double left = -fm.maxWidth() * 32, right = L.W + 2 * k;
    const double top = -2 * k, bottom = L.H + fm.height() + 2 * k;
    const double h = fm.height();
    NameWriter names(p.font());
    // A name goes where it overlaps no name written before: right of its
    // point, then above that, then left, then left and above. A detail
    // point's name that finds no free place is left out (its point stays);
    // the reference points come first in the table and keep theirs.
    LabelSpace space(h * 4);
    for (const auto& d : L.points) {
        if (d.px < left || d.px > right || d.py < top || d.py > bottom)
            continue;
        const QString name = QString::fromStdString(d.name);
        const double w = names.prepare(name);
        const QRectF places[4] = {QRectF(d.px + 5 * k, d.py - 2 * k, w, h),
                                  QRectF(d.px + 5 * k, d.py - 2 * k - h, w, h),
                                  QRectF(d.px - 5 * k - w, d.py - 2 * k, w, h),
                                  QRectF(d.px - 5 * k - w, d.py - 2 * k - h, w, h)};
        const QRectF* place = nullptr;
        for (const QRectF& r : places)
            if (space.isFree(r)) {
                place = &r;
                break;
            }
        if (!place && (d.network || d.check)) place = &places[0];
        if (place && !name.isEmpty()) {
            space.take(*place);
            p.setPen(d.check ? blue : d.network ? red : black);
            names.draw(p, QPointF(place->left(), place->top() + fm.ascent()));
        }
        p.setPen(d.check ? blue : black);
        if (d.check)
            drawCheckMark(p, d.px, d.py, k);
        else
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

namespace {

// What the printed sketch shows, in words.
const char* sheetModeText(int mode)
{
    static const char* const texts[3] = {"Προβολικές συντεταγμένες ΕΓΣΑ87 (E, N)",
                                         "Ελλειψοειδείς συντεταγμένες ΕΓΣΑ87 (φ, λ)",
                                         "Προβολικές συντεταγμένες HATT (x, y)"};
    return texts[std::clamp(mode, 0, 2)];
}

// A font of the sheet: `points` points high on the device, bold or not.
QFont sheetFont(const QPaintDevice& device, double points, bool bold)
{
    QFont font = sketchFont(device);
    font.setPixelSize(std::max(1, qRound(points * device.logicalDpiY() / 72.0)));
    font.setBold(bold);
    return font;
}

// The north arrow: a shaft with a filled head and the letter Β above it,
// `size` device pixels high, its top at `top`.
void paintNorthArrow(QPainter& p, double x, double top, double size)
{
    p.save();
    const QFontMetricsF fm(p.font(), p.device());
    const QString north = QStringLiteral("Β");
    p.setPen(QPen(Qt::black, std::max(1.0, size / 30)));
    p.drawText(QPointF(x - fm.horizontalAdvance(north) / 2, top + fm.ascent()), north);
    const double y0 = top + fm.height(), y1 = y0 + size;
    p.drawLine(QLineF(x, y0 + size * 0.3, x, y1));
    p.setBrush(Qt::black);
    const QPointF head[3] = {QPointF(x, y0), QPointF(x + size * 0.18, y0 + size * 0.4),
                             QPointF(x - size * 0.18, y0 + size * 0.4)};
    p.drawPolygon(head, 3);
    p.restore();
}

// The legend and the scale of the foot of the sheet, in the band
// (0, top, W, height).
void paintSheetFoot(QPainter& p, const SketchLayout& L, const Document& doc, double top,
                    double height, int W)
{
    const QFontMetricsF fm(p.font(), p.device());
    const double k = L.k, mid = top + height / 2;
    const double gap = fm.horizontalAdvance(QStringLiteral("MM"));
    double x = gap / 2;
    const auto entry = [&](const QColor& colour, bool triangle, const char* text) {
        p.setPen(QPen(colour, 0));
        p.setBrush(Qt::white);
        if (triangle) {
            const QPointF tri[3] = {QPointF(x + 3 * k, mid - 3 * k),
                                    QPointF(x + 5.6 * k, mid + 1.5 * k),
                                    QPointF(x + 0.4 * k, mid + 1.5 * k)};
            p.drawPolygon(tri, 3);
        } else {
            p.drawEllipse(QRectF(x + k, mid - 2 * k, 4 * k, 4 * k));
        }
        x += 8 * k;
        const QString t = QString::fromUtf8(text);
        p.drawText(QPointF(x, mid - fm.height() / 2 + fm.ascent()), t);
        x += fm.horizontalAdvance(t) + gap;
    };
    entry(Qt::red, false, "σημείο αναφοράς");
    entry(kCheckPoint, true, "σημείο ελέγχου (εκτός εκτίμησης)");
    entry(Qt::black, false, "σημείο λεπτομερειών");
    // The network's lines.
    p.setPen(dottedPen(kSilver.darker(130), L, true));
    p.drawLine(QLineF(x, mid, x + 8 * k, mid));
    x += 10 * k;
    p.setPen(QPen(Qt::black, 0));
    const QString lines = QStringLiteral("γραμμές δικτύου");
    p.drawText(QPointF(x, mid - fm.height() / 2 + fm.ascent()), lines);

    // The scale bar in metres (in the angles of mode 1 a bar has no one
    // length), at the right.
    if (L.mode == SketchEllipsoidal || !L.complete)
        return;
    const SketchScaleBar bar = sketchScaleBar(L.frame.Scale, W / 6.0);
    if (bar.pixels <= 0)
        return;
    const double right = W - gap / 2, left = right - bar.pixels;
    const double barH = fm.height() * 0.35, barTop = mid - barH / 2;
    p.setPen(QPen(Qt::black, 0));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i % 2 == 0 ? Qt::black : Qt::white);
        p.drawRect(QRectF(left + bar.pixels * i / 4, barTop, bar.pixels / 4, barH));
    }
    // The length over the bar's ends, the paper scale under its middle.
    const QString zero = QStringLiteral("0"), end = QString::fromStdString(bar.label);
    p.drawText(QPointF(left - fm.horizontalAdvance(zero) / 2, barTop - fm.descent() - k), zero);
    p.drawText(QPointF(right - fm.horizontalAdvance(end), barTop - fm.descent() - k), end);
    const double mmPerPixel = p.device()->widthMM() / double(std::max(1, p.device()->width()));
    const double n = sketchPaperScale(L.frame.Scale, mmPerPixel > 0 ? 1 / mmPerPixel : 0);
    if (n > 0) {
        const QString scale = QStringLiteral("Κλίμακα 1:") +
                              QString::fromStdString(doc.numbers().FormatNumber("%.0n", {Extended(n)}));
        p.drawText(QPointF(std::min(left + bar.pixels / 2 - fm.horizontalAdvance(scale) / 2,
                                    right - fm.horizontalAdvance(scale)),
                           barTop + barH + k + fm.ascent()),
                   scale);
    }
}

}  // namespace

bool paintSketchPage(QPagedPaintDevice& device, const Document& doc, int mode, int filter,
                     int pictureWidth)
{
    QPainter p(&device);
    if (!p.isActive())
        return false;
    const int W = device.width(), H = device.height();
    const int k = std::max(1, W / std::max(1, pictureWidth));
    // The sheet: a title band, the sketch in a frame, the foot with the
    // legend and the scale.
    const QFont title = sheetFont(device, 13, true), small = sheetFont(device, 9, false);
    const QFontMetricsF tm(title, &device), sm(small, &device);
    const double head = tm.height() + sm.height() * 1.6, foot = sm.height() * 3.0;
    const int sketchTop = qRound(head), sketchH = std::max(1, H - qRound(head + foot));

    p.setPen(QPen(Qt::black, 0));
    p.setFont(title);
    p.drawText(QPointF(0, tm.ascent()), QStringLiteral("Σκαρίφημα δικτύου"));
    p.setFont(small);
    const QString file = QStringLiteral("Αρχείο : ") + QString::fromStdString(doc.CurrentFileName) +
                         QStringLiteral("     ") + QString::fromUtf8(sheetModeText(mode));
    p.drawText(QPointF(0, tm.height() + sm.ascent()), file);
    const QString date =
        QStringLiteral("Ημερομηνία : ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    p.drawText(QPointF(W - sm.horizontalAdvance(date), tm.ascent()), date);

    const SketchLayout L = plotSketch(doc, mode, filter, W, sketchH, k);
    p.save();
    p.translate(0, sketchTop);
    p.setClipRect(QRect(0, 0, W, sketchH));
    paintSketch(p, L, true);
    p.setClipping(false);
    p.setPen(QPen(Qt::black, std::max(1, k / 2)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0, 0, W - 1, sketchH - 1));
    p.setFont(small);
    // North is up in every mode: the grid's y (northing, latitude, HATT y).
    paintNorthArrow(p, W - sm.height() * 2, sm.height() * 0.6, sm.height() * 2.4);
    p.restore();

    p.setFont(small);
    paintSheetFoot(p, L, doc, sketchTop + sketchH, foot, W);
    return p.end();
}

}  // namespace korthal::paint
