#pragma once
// Reading photographs for the screen and the printer. A picture comes out
// upright as its EXIF orientation says (phone cameras store it turned and
// say so), and no larger than it is to be shown: a thumbnail of a 12
// megapixel photograph is decoded at a fraction of its size, or taken from
// the small preview the camera embedded, so that browsing points with many
// photographs stays quick.
//
// Safe to call from worker threads (QImage only, no pixmaps).

#include <QImage>
#include <QSize>
#include <QString>

namespace korthal::paint {

struct Picture {
    QImage image;    // upright; null when the file could not be read
    QSize fullSize;  // the picture's own size, upright (for layout and print)
    QString error;   // Greek, naming the file; empty when read
    bool ok() const { return !image.isNull(); }
};

// Reads the picture at `path`. With a valid `box` the image is at most that
// large (proportions kept, never enlarged); without one it is the whole
// picture. An embedded preview is used when it has the picture's
// proportions and covers the box.
Picture readPicture(const QString& path, QSize box = QSize());

// The type of picture the file holds, as a file extension with its point
// (".jpg", ".png", ...); empty when it is no picture that can be read.
QString pictureExtension(const QString& path);

// "Η εικόνα «file» δεν μπορεί να διαβαστεί: reason".
QString unreadablePictureMessage(const QString& path, const QString& reason);

}  // namespace korthal::paint
