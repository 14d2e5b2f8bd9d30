#include "paint/ListingPainter.h"

#include "views/Listing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

namespace korthal::paint {

namespace {

// The pixel size of `font` at which every line fits `width` and the longest
// page fits `height`. Measured on the real lines, so that characters the
// fixed-pitch font lacks (taken from another font) count with their true
// width.
int fittingPixelSize(QFont font, const QPaintDevice& device, const ListingPages& pages,
                     double width, double height)
{
    constexpr int kProbe = 100;
    font.setPixelSize(kProbe);
    const QFontMetricsF fm(font, &device);
    double widest = fm.horizontalAdvance(QString(kListingWidth, QLatin1Char('0')));
    std::size_t longestPage = 1;
    for (const auto& page : pages) {
        longestPage = std::max(longestPage, page.size());
        for (const std::string& line : page)
            widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(line)));
    }
    const double byWidth = kProbe * width / widest;
    const double byHeight = kProbe * height / (fm.lineSpacing() * static_cast<double>(longestPage));
    // A little room for the rounding of glyph advances at the final size.
    return std::max(1, static_cast<int>(std::floor(std::min(byWidth, byHeight) * 0.98)));
}

}  // namespace

bool paintListing(QPagedPaintDevice& device, const ListingPages& pages)
{
    QPainter p(&device);
    if (!p.isActive())
        return false;
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    const QRect area = p.viewport();
    font.setPixelSize(fittingPixelSize(font, device, pages, area.width(), area.height()));
    p.setFont(font);
    const QFontMetricsF fm(font, &device);
    bool first = true;
    for (const auto& page : pages) {
        if (!first)
            device.newPage();
        first = false;
        double y = fm.ascent();
        for (const std::string& line : page) {
            p.drawText(QPointF(0, y), QString::fromStdString(line));
            y += fm.lineSpacing();
        }
    }
    return p.end();
}

}  // namespace korthal::paint
