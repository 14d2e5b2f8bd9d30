#pragma once
// Paints the network sketch (views/SketchLayout.h lays it out) onto any
// QPainter target: the picture of the sketch tab, a printer page, a PDF
// page, an image file. The layout says where everything goes; this file
// only chooses pens, fonts and colours and draws.

#include "views/SketchLayout.h"

#include <QImage>
#include <QSize>

class QPainter;
class QPagedPaintDevice;

namespace korthal::paint {

// Paints `layout` onto a painter whose device is layout.W × layout.H
// pixels. On the screen the canvas is first filled with the sketch's pale
// background; on paper (onPaper) it stays white and every point gets a
// second circle of 2 device pixels as well.
void paintSketch(QPainter& painter, const SketchLayout& layout, bool onPaper);

// The fitted sketch of the document as a picture of `size` pixels.
QImage sketchImage(const Document& doc, int mode, int filter, QSize size);

// The fitted sketch on one page of a printer or PDF writer (set to landscape
// by the caller), the page's size in device pixels, texts and circles k = page width div
// pictureWidth times their screen size (at least 1).
// False when painting could not start.
bool paintSketchPage(QPagedPaintDevice& device, const Document& doc, int mode, int filter,
                     int pictureWidth);

}  // namespace korthal::paint
