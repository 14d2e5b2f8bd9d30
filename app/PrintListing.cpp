#include "app/PrintListing.h"

#include "paint/ListingPainter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace korthal::app {

bool printListing(QWidget* parent, const std::vector<std::vector<std::string>>& pages,
                  int lineWidth)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    paint::paintListing(printer, pages, lineWidth);
    return true;
}

}  // namespace korthal::app
