#include "paint/PhotoPrint.h"

#include "views/PhotoLayout.h"

#include <QImage>
#include <QPainter>

namespace korthal::paint {

bool paintPhotoPage(QPaintDevice& device, const QImage& picture)
{
    QPainter p;
    if (!p.begin(&device)) return false;
    const PixelRect r = photoPrintRect({device.width(), device.height()},
                                       {picture.width(), picture.height()});
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (r.width > 0 && r.height > 0)
        p.drawImage(QRect(r.left, r.top, r.width, r.height), picture);
    return p.end();
}

}  // namespace korthal::paint
