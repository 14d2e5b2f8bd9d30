#include "views/PhotoLayout.h"

#include <algorithm>
#include <cmath>

namespace korthal {

namespace {

int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

PhotoButtons photoButtons(int recordNumber, int recordCount, int photo, bool fileExists)
{
    PhotoButtons b;
    b.previousPoint = recordNumber > 1;
    b.nextPoint = recordNumber < recordCount;
    b.previousPhoto = photo >= 2;
    b.nextPhoto = photo < kPhotosPerPoint;
    b.pictureActions = fileExists;
    return b;
}

PixelRect photoPanelRect(PixelSize holder, PixelSize picture)
{
    if (picture.width <= 0 || picture.height <= 0) return {};
    const double scale = std::min(double(holder.width) / picture.width,
                                  double(holder.height) / picture.height);
    PixelRect r;
    r.height = roundEven(picture.height * scale) - 6;
    r.width = roundEven(picture.width * scale) - 6;
    // Integer division rounds toward zero, as the offsets must.
    r.left = (holder.width - r.width) / 2;
    r.top = (holder.height - r.height) / 2;
    if (r.width < 0 || r.height < 0) return {r.left, r.top, 0, 0};
    return r;
}

PixelSize zoomedWindowSize(PixelSize base, double zoom)
{
    return {roundEven(base.width * zoom), roundEven(base.height * zoom)};
}

double zoomAfterResize(PixelSize base, double zoom, PixelSize window)
{
    if (base.width <= 0 || base.height <= 0) return zoom;
    if (window.width != zoomedWindowSize(base, zoom).width)
        return double(window.width) / base.width;
    return double(window.height) / base.height;
}

PixelRect photoPrintRect(PixelSize page, PixelSize picture)
{
    if (picture.width <= 0 || picture.height <= 0) return {};
    const double r = double(picture.height) / picture.width;
    int W = page.width - 200;
    int H = roundEven(W * r);
    // The picture keeps a margin of 100 pixels at the bottom as at the top.
    if (H > page.height - 200) {
        H = page.height - 200;
        W = roundEven(H / r);
    }
    return {100, 100, std::max(W, 0), std::max(H, 0)};
}

}  // namespace korthal
