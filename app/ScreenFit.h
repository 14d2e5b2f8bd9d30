#pragma once
// Windows stay inside the screen's available area (without the task bars):
// a size restored or computed for a larger screen is cut down to the area
// and the window moved in, so that no part of it, title bar included, lies
// out of reach.

#include <QRect>

class QWidget;

namespace korthal::app {

// `wanted` made no larger than `available` and moved the least distance that
// puts it wholly inside.
QRect fitRectInside(const QRect& wanted, const QRect& available);

// Gives the window the inner size `size` at its place, both cut down to the
// available area of the screen it is on (its frame counted), and moves it
// inside that area. A maximized window is left alone. Returns the inner
// size given.
QSize placeInsideScreen(QWidget* window, const QSize& size);

}  // namespace korthal::app
