#pragma once
// Prints a photograph on one page: stretched into the rectangle of
// views/PhotoLayout.h (100 device pixels from the left and top of the
// printable area, the width of the page less 200, the picture's proportions).

class QImage;
class QPaintDevice;

namespace korthal::paint {

// Paints `picture` on the current page of `device` (a printer or a PDF
// writer); false when no painter could be opened on it.
bool paintPhotoPage(QPaintDevice& device, const QImage& picture);

}  // namespace korthal::paint
