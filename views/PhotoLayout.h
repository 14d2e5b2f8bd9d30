#pragma once
// The numbers of the photo window, as plain data: which buttons are enabled,
// where the picture goes in its panel, how the window's size follows the zoom
// and back, and the rectangle a photograph is printed into. The window (app/
// PhotoWindow) and the printout apply them; nothing here knows Qt.
//
// Sizes and positions are in pixels; rounding goes to the nearest integer
// with halves to the even neighbour.

#include "project/Photos.h"

namespace korthal {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The buttons of the photo window that depend on the point and photograph.
struct PhotoButtons {
    bool previousPoint = false;  // the current record is not the first
    bool nextPoint = false;      // ... not the last
    bool previousPhoto = false;  // photograph 2 or later
    bool nextPhoto = false;      // photograph 5 or earlier
    bool pictureActions = false; // delete, zoom in and out, edit, print: a file exists
};

// recordNumber counts from 1 in the table's order; photo is 1 to 6.
PhotoButtons photoButtons(int recordNumber, int recordCount, int photo, bool fileExists);

// The picture's panel inside the panel that holds it (`holder`): the picture
// scaled by the smaller of the two ratios, 6 pixels smaller, centred (the
// offsets halved toward zero). A picture without pixels gives an empty rect.
PixelRect photoPanelRect(PixelSize holder, PixelSize picture);

// The window's size at a zoom of the base size (the main window's).
PixelSize zoomedWindowSize(PixelSize base, double zoom);

// The zoom after the user resized the window to `window`: from the width when
// it differs from the zoomed base width, otherwise from the height.
double zoomAfterResize(PixelSize base, double zoom, PixelSize window);

inline constexpr double kZoomInFactor = 1.05;
inline constexpr double kZoomOutFactor = 0.95;

// The rectangle a picture is printed into on a page of `page` device pixels:
// 100 pixels from the left and top, the page width less 200 wide with the
// picture's proportions; a picture that would then reach beyond the page's
// bottom margin is made as high as the page less 200 instead, and its width
// follows. An empty picture gives an empty rect.
PixelRect photoPrintRect(PixelSize page, PixelSize picture);

}  // namespace korthal
