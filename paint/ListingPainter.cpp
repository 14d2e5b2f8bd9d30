#include "paint/ListingPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace korthal::paint {

void paintListing(QPagedPaintDevice& device, const ListingPages& pages, int lineWidth)
{
    QPainter p(&device);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    // 124 characters (or the listing's widest line) across the printable width.
    const QRect area = p.viewport();
    font.setPixelSize(std::max(1, area.width() * 10 / (std::max(lineWidth, 124) * 6)));
    p.setFont(font);
    const int lineHeight = QFontMetrics(font, &device).lineSpacing();
    bool first = true;
    for (const auto& page : pages) {
        if (!first) device.newPage();
        first = false;
        int y = lineHeight;
        for (const std::string& line : page) {
            p.drawText(0, y, QString::fromStdString(line));
            y += lineHeight;
        }
    }
}

}  // namespace korthal::paint
