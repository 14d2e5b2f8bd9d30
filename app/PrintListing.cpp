#include "app/PrintListing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace korthal::app {

bool printListing(QWidget* parent, const std::vector<std::vector<std::string>>& pages)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    QPainter p(&printer);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    // 124 characters across the printable width.
    const QRect area = p.viewport();
    font.setPixelSize(std::max(1, area.width() * 10 / (124 * 6)));
    p.setFont(font);
    const int lineHeight = QFontMetrics(font, &printer).lineSpacing();
    bool first = true;
    for (const auto& page : pages) {
        if (!first) printer.newPage();
        first = false;
        int y = lineHeight;
        for (const std::string& line : page) {
            p.drawText(0, y, QString::fromStdString(line));
            y += lineHeight;
        }
    }
    return true;
}

}  // namespace korthal::app
