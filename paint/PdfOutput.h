#pragma once
// PDF files of what the print button prints, for the command line and the
// tests: the listing of a point table on A4 portrait pages, and the sketch
// on one A4 landscape page. The bytes are returned whole, so that the
// caller writes the file at once or not at all.

#include "paint/ListingPainter.h"

#include <QByteArray>

namespace korthal {
class Document;
}

namespace korthal::paint {

QByteArray listingPdf(const ListingPages& pages);

// pictureWidth: the width of the screen picture whose texts and circles the
// page enlarges (see paintSketchPage).
QByteArray sketchPdf(const Document& doc, int mode, int filter, int pictureWidth);

}  // namespace korthal::paint
