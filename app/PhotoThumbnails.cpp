#include "app/PhotoThumbnails.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

namespace korthal::app {

namespace {

const char* const kThumbHint = "Κάντε κλίκ για να δείτε ή να επεξεργαστείτε την εικόνα";
constexpr int kThumbWidth = 64;
constexpr int kThumbHeight = 48;

// The cache key of a file: its path with its size and time of writing, so
// that a replaced photograph is decoded again.
QString cacheKey(const QString& path)
{
    const QFileInfo fi(path);
    return path + QLatin1Char('|') + QString::number(fi.size()) + QLatin1Char('|') +
           QString::number(fi.lastModified().toMSecsSinceEpoch());
}

}  // namespace

PhotoThumb::PhotoThumb(int tag, QWidget* parent) : QWidget(parent), tag_(tag)
{
    setFixedSize(kThumbWidth, kThumbHeight);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QString::fromUtf8(kThumbHint));
}

void PhotoThumb::setImage(const QImage& image, const QString& problem)
{
    image_ = image;
    problem_ = problem;
    setToolTip(problem.isEmpty() ? QString::fromUtf8(kThumbHint)
                                 : problem + QLatin1Char('\n') + QString::fromUtf8(kThumbHint));
    update();
}

void PhotoThumb::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().color(QPalette::Base).darker(104));
    if (!image_.isNull()) {
        QSize s = image_.size().scaled(box.size() - QSize(2, 2), Qt::KeepAspectRatio);
        const QRect r(box.center() - QPoint(s.width() / 2, s.height() / 2), s);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, image_);
    } else if (!problem_.isEmpty()) {
        p.setPen(QColor(170, 30, 30));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(box);
}

void PhotoThumb::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) emit clicked(tag_);
    QWidget::mousePressEvent(e);
}

PhotoThumbnails::PhotoThumbnails(const QString& suffix, QWidget* parent)
    : QWidget(parent), cache_(512)
{
    pool_.setMaxThreadCount(2);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(3);
    for (int n = 1; n <= kPhotosPerPoint; ++n) {
        auto* t = new PhotoThumb(n, this);
        t->setObjectName(QStringLiteral("Image%1%2").arg(n).arg(suffix));
        thumbs_[static_cast<std::size_t>(n - 1)] = t;
        h->addWidget(t);
        connect(t, &PhotoThumb::clicked, this, &PhotoThumbnails::thumbnailClicked);
        auto* w = new QFutureWatcher<paint::Picture>(this);
        watchers_[static_cast<std::size_t>(n - 1)] = w;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

PhotoThumbnails::~PhotoThumbnails()
{
    // Pictures still queued are skipped; one being decoded is waited for.
    ++*generation_;
    pool_.clear();
    pool_.waitForDone();
}

bool PhotoThumbnails::loading() const { return pending_ > 0; }

void PhotoThumbnails::clear()
{
    ++*generation_;
    pool_.clear();
    pending_ = 0;
    for (auto* w : watchers_) w->disconnect(this);
    for (auto* t : thumbs_) t->setImage(QImage());
}

void PhotoThumbnails::showPoint(const QString& folder, const std::string& baseName, long long id)
{
    clear();
    const auto files = findPhotos(folder.toStdString(), baseName, id);
    for (int n = 1; n <= kPhotosPerPoint; ++n) {
        const QString path = QString::fromStdString(files[static_cast<std::size_t>(n - 1)]);
        if (path.isEmpty()) continue;
        const QString key = cacheKey(path);
        if (const QImage* hit = cache_.object(key))
            thumb(n)->setImage(*hit);
        else
            startLoad(n, path, key);
    }
}

void PhotoThumbnails::startLoad(int n, const QString& path, const QString& key)
{
    auto* w = watchers_[static_cast<std::size_t>(n - 1)];
    const int gen = *generation_;
    const auto current = generation_;
    const QSize box = thumb(n)->size() * thumb(n)->devicePixelRatio();
    ++pending_;
    connect(w, &QFutureWatcherBase::finished, this, [this, w, n, gen, key] {
        w->disconnect(this);
        if (*generation_ != gen || w->future().resultCount() == 0) return;
        --pending_;
        const paint::Picture pic = w->result();
        if (pic.ok()) cache_.insert(key, new QImage(pic.image));
        thumb(n)->setImage(pic.image, pic.error);
    });
    w->setFuture(QtConcurrent::run(&pool_, [current, gen, path, box] {
        // Skipped when the point was left before its turn came.
        if (*current != gen) return paint::Picture();
        return paint::readPicture(path, box);
    }));
}

}  // namespace korthal::app
