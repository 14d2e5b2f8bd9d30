// Reading photographs upright and at the size shown, the embedded preview,
// unreadable files, and the printed page.

#include "paint/PhotoPrint.h"
#include "paint/Picture.h"
#include "support/ExifJpeg.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace korthal::paint {
namespace {

using test::TempDir;
using test::writeBytes;

// A stored picture of four coloured quarters: red, green above blue, yellow.
QImage quarters(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return img;
}

std::string jpeg(const QImage& img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 95);
    return out.toStdString();
}

// The colour nearest to a pixel among the four of quarters().
char colourAt(const QImage& img, double fx, double fy)
{
    const QColor c = img.pixelColor(static_cast<int>(fx * (img.width() - 1)),
                                    static_cast<int>(fy * (img.height() - 1)));
    if (c.red() > 150 && c.green() > 150) return 'Y';
    if (c.red() > 150) return 'R';
    if (c.green() > 150) return 'G';
    if (c.blue() > 150) return 'B';
    return '?';
}

std::string corners(const QImage& img)
{
    return {colourAt(img, 0.1, 0.1), colourAt(img, 0.9, 0.1), colourAt(img, 0.1, 0.9),
            colourAt(img, 0.9, 0.9)};
}

TEST(Picture, UprightByOrientationWithAndWithoutThePreview)
{
    TempDir dir("picture");
    const QImage stored = quarters(240, 120);
    // The upright corners (top-left, top-right, bottom-left, bottom-right)
    // for each EXIF orientation of the stored RG/BY picture.
    const char* const expected[9] = {"", "RGBY", "GRYB", "YBGR", "BYRG",
                                     "RBGY", "BRYG", "YGBR", "GYRB"};
    for (int o = 1; o <= 8; ++o) {
        const bool sideways = o >= 5;
        const std::string plain = writeBytes(dir.path / ("plain" + std::to_string(o) + ".jpg"),
                                             test::withExif(jpeg(stored), o));
        const std::string camera =
            writeBytes(dir.path / ("camera" + std::to_string(o) + ".jpg"),
                       test::withExif(jpeg(stored), o, jpeg(quarters(80, 40))));
        const QSize full = sideways ? QSize(120, 240) : QSize(240, 120);

        const Picture whole = readPicture(QString::fromStdString(plain));
        ASSERT_TRUE(whole.ok()) << whole.error.toStdString();
        EXPECT_EQ(whole.image.size(), full);
        EXPECT_EQ(whole.fullSize, full);
        EXPECT_EQ(corners(whole.image), expected[o]) << "orientation " << o;

        // A thumbnail: decoded small, or taken from the preview; both upright.
        for (const std::string& f : {plain, camera}) {
            const Picture thumb = readPicture(QString::fromStdString(f), QSize(40, 40));
            ASSERT_TRUE(thumb.ok());
            EXPECT_EQ(thumb.fullSize, full);
            EXPECT_EQ(thumb.image.size(), full.scaled(40, 40, Qt::KeepAspectRatio));
            EXPECT_EQ(corners(thumb.image), expected[o]) << f;
        }
    }
}

TEST(Picture, PreviewOnlyWhenItFits)
{
    TempDir dir("picture");
    // The preview is all green: seeing green means it was used.
    QImage green(80, 40, QImage::Format_RGB32);
    green.fill(Qt::green);
    const std::string f = writeBytes(dir.path / "a.jpg",
                                     test::withExif(jpeg(quarters(240, 120)), 1, jpeg(green)));
    const QString path = QString::fromStdString(f);
    EXPECT_EQ(corners(readPicture(path, QSize(64, 48)).image), "GGGG");
    // Larger than the preview: the picture itself.
    EXPECT_EQ(corners(readPicture(path, QSize(100, 100)).image), "RGBY");

    // A preview of other proportions (a letter-boxed one) is not used.
    QImage square(60, 60, QImage::Format_RGB32);
    square.fill(Qt::green);
    const std::string g = writeBytes(dir.path / "b.jpg",
                                     test::withExif(jpeg(quarters(240, 120)), 1, jpeg(square)));
    EXPECT_EQ(corners(readPicture(QString::fromStdString(g), QSize(32, 32)).image), "RGBY");
}

TEST(Picture, SmallPicturesAreNotEnlarged)
{
    TempDir dir("picture");
    const QString f = QString::fromStdString(writeBytes(dir.path / "s.png", ""));
    ASSERT_TRUE(quarters(30, 20).save(f, "PNG"));
    const Picture p = readPicture(f, QSize(64, 48));
    EXPECT_EQ(p.image.size(), QSize(30, 20));
    EXPECT_EQ(pictureExtension(f), QStringLiteral(".png"));
}

TEST(Picture, UnreadableFilesAreNamed)
{
    TempDir dir("picture");
    const QString text = QString::fromStdString(writeBytes(dir.path / "notes.jpg", "not a picture"));
    Picture p = readPicture(text, QSize(64, 48));
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("notes.jpg")));
    EXPECT_TRUE(p.error.contains(QStringLiteral("δεν μπορεί να διαβαστεί")));
    EXPECT_TRUE(pictureExtension(text).isEmpty());

    // A JPEG cut short after its header.
    const std::string whole = jpeg(quarters(240, 120));
    const QString cut =
        QString::fromStdString(writeBytes(dir.path / "cut.jpg", whole.substr(0, 200)));
    p = readPicture(cut);
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("cut.jpg")));

    p = readPicture(QString::fromStdString((dir.path / "missing.png").string()));
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("missing.png")));
}

TEST(PhotoPrint, PictureFillsItsRectangleOfThePage)
{
    // A page of 1000 × 1000 device pixels and a picture too tall for the
    // page's width: 100 pixels from the top and left, 681 × 800.
    QImage page(1000, 1000, QImage::Format_RGB32);
    page.fill(Qt::white);
    QImage picture(800, 940, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(paintPhotoPage(page, picture));
    auto red = [&](int x, int y) { return page.pixelColor(x, y) == QColor(Qt::red); };
    EXPECT_TRUE(red(100, 100));
    EXPECT_TRUE(red(780, 899));
    EXPECT_FALSE(red(99, 500));
    EXPECT_FALSE(red(500, 99));
    EXPECT_FALSE(red(782, 500));
    EXPECT_FALSE(red(500, 901));
}

}  // namespace
}  // namespace korthal::paint
