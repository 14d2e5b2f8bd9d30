#include "paint/Picture.h"

#include "views/Exif.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <cmath>

namespace korthal::paint {

namespace {

// Orientations 5 to 8 store the picture on its side.
bool turnsSideways(int orientation) { return orientation >= 5 && orientation <= 8; }

// The picture as it is meant to be seen, from its stored pixels.
QImage upright(const QImage& stored, int orientation)
{
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.transformed(QTransform().rotate(180));
    case 4: return stored.mirrored(false, true);
    case 5: return stored.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6: return stored.transformed(QTransform().rotate(90));
    case 7: return stored.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8: return stored.transformed(QTransform().rotate(270));
    default: return stored;
    }
}

QString reasonText(QImageReader::ImageReaderError e)
{
    switch (e) {
    case QImageReader::FileNotFoundError: return QStringLiteral("το αρχείο δεν βρέθηκε");
    case QImageReader::DeviceError: return QStringLiteral("σφάλμα κατά την ανάγνωση του αρχείου");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("δεν είναι εικόνα γνωστού τύπου");
    case QImageReader::InvalidDataError: return QStringLiteral("τα δεδομένα της εικόνας είναι κατεστραμμένα");
    default: return QStringLiteral("άγνωστο σφάλμα");
    }
}

// The embedded preview of a JPEG (`head`: its first bytes), upright and
// scaled to `target`, when it has the picture's proportions (within 2 %) and
// is at least that large; null otherwise.
QImage embeddedPreview(const QByteArray& head, const ExifInfo& exif, QSize stored, QSize target)
{
    if (!exif.hasThumbnail() || stored.isEmpty()) return {};
    const QImage thumb = QImage::fromData(
        QByteArrayView(head.constData() + exif.thumbnailOffset,
                       static_cast<qsizetype>(exif.thumbnailLength)),
        "JPG");
    if (thumb.isNull()) return {};
    const double want = double(stored.width()) / stored.height();
    const double have = double(thumb.width()) / thumb.height();
    if (std::abs(have / want - 1) > 0.02) return {};
    const QSize storedTarget = turnsSideways(exif.orientation) ? target.transposed() : target;
    if (thumb.width() < storedTarget.width() || thumb.height() < storedTarget.height()) return {};
    return upright(thumb.scaled(storedTarget, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                   exif.orientation);
}

}  // namespace

QString unreadablePictureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Η εικόνα «%1» δεν μπορεί να διαβαστεί: %2").arg(path, reason);
}

QString pictureExtension(const QString& path)
{
    QImageReader reader(path);
    if (!reader.canRead()) return {};
    const QByteArray format = reader.format().toLower();
    if (format == "jpeg") return QStringLiteral(".jpg");
    return QLatin1Char('.') + QString::fromLatin1(format);
}

Picture readPicture(const QString& path, QSize box)
{
    Picture p;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!reader.canRead() || !stored.isValid()) {
        p.error = unreadablePictureMessage(path, reasonText(reader.error()));
        return p;
    }
    // The EXIF block says how the picture is turned before it is decoded.
    QByteArray head;
    ExifInfo exif;
    if (reader.format().toLower() == "jpeg") {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) head = f.read(static_cast<qint64>(kExifSearchBytes));
        exif = readExif(std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
    }
    const bool sideways = turnsSideways(exif.orientation);
    p.fullSize = sideways ? stored.transposed() : stored;
    if (box.isValid()) {
        const QSize target = p.fullSize.scaled(box, Qt::KeepAspectRatio);
        if (target.width() < p.fullSize.width() && !target.isEmpty()) {
            p.image = embeddedPreview(head, exif, stored, target);
            if (!p.image.isNull()) return p;
            reader.setScaledSize(sideways ? target.transposed() : target);
        }
    }
    p.image = reader.read();
    if (p.image.isNull()) p.error = unreadablePictureMessage(path, reasonText(reader.error()));
    return p;
}

}  // namespace korthal::paint
