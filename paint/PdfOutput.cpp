#include "paint/PdfOutput.h"

#include "paint/SketchPainter.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace korthal::paint {

namespace {

template <typename Paint>
QByteArray pdf(QPageLayout::Orientation orientation, const Paint& paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Korthal"));
        writer.setTitle(QStringLiteral("Korthal"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        paint(writer);
    }
    return bytes;
}

}  // namespace

QByteArray listingPdf(const ListingPages& pages)
{
    return pdf(QPageLayout::Portrait, [&](QPdfWriter& w) { paintListing(w, pages); });
}

QByteArray sketchPdf(const Document& doc, int mode, int filter, int pictureWidth)
{
    return pdf(QPageLayout::Landscape,
               [&](QPdfWriter& w) { paintSketchPage(w, doc, mode, filter, pictureWidth); });
}

}  // namespace korthal::paint
