#pragma once
// The six thumbnails of the current point's photographs beside a point grid
// (`Image1a` to `Image6a` for the network, `Image1b` to `Image6b` for the
// reference points). Each shows its photograph with its proportions, or
// nothing when there is none; a click asks for the photo window.
//
// Pictures are decoded on worker threads at the thumbnail's size, so that
// moving through points with large photographs never holds the window up:
// a thumbnail fills in when its picture is ready, and pictures already seen
// (same file, same size and time) come from a small cache at once.

#include <QCache>
#include <QFutureWatcher>
#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <array>
#include <atomic>
#include <memory>

#include "paint/Picture.h"
#include "project/Photos.h"

namespace korthal::app {

// One thumbnail: the picture fitted into the frame and centred.
class PhotoThumb : public QWidget {
    Q_OBJECT
public:
    PhotoThumb(int tag, QWidget* parent = nullptr);
    int tag() const { return tag_; }
    const QImage& image() const { return image_; }
    // The picture, or none (null image, no problem).
    void setImage(const QImage& image, const QString& problem = QString());
    bool broken() const { return !problem_.isEmpty(); }

signals:
    void clicked(int tag);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int tag_;
    QImage image_;
    QString problem_;
};

class PhotoThumbnails : public QWidget {
    Q_OBJECT
public:
    // suffix: "a" (network) or "b" (reference), for the thumbnails' names.
    PhotoThumbnails(const QString& suffix, QWidget* parent = nullptr);
    ~PhotoThumbnails() override;

    PhotoThumb* thumb(int n) const { return thumbs_[static_cast<std::size_t>(n - 1)]; }
    // Shows the photographs of point `id` of the table whose photo names
    // start with `baseName`, from the images folder `folder`.
    void showPoint(const QString& folder, const std::string& baseName, long long id);
    // Clears all six (no current point).
    void clear();
    // True while a picture is still being decoded.
    bool loading() const;

signals:
    void thumbnailClicked(int n);

private:
    void startLoad(int n, const QString& path, const QString& key);

    std::array<PhotoThumb*, kPhotosPerPoint> thumbs_{};
    std::array<QFutureWatcher<paint::Picture>*, kPhotosPerPoint> watchers_{};
    // The current request; a picture decoded for an older one is dropped,
    // and one not started yet is skipped.
    std::shared_ptr<std::atomic<int>> generation_ = std::make_shared<std::atomic<int>>(0);
    int pending_ = 0;  // pictures of the current request still decoding
    QCache<QString, QImage> cache_;
    QThreadPool pool_;
};

}  // namespace korthal::app
