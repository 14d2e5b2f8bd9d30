#include "app/SketchPage.h"

#include "app/PrintListing.h"
#include "paint/SketchPainter.h"
#include "project/Document.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace korthal::app {

namespace {

const QColor kBackground(kSketchBackgroundRed, kSketchBackgroundGreen, kSketchBackgroundBlue);

// The sketch's image list: glyphs 0..2 of the modes, 3..5 of the filters.
QIcon sketchGlyph(int index)
{
    QPixmap pm(24, 24);
    pm.fill(kBackground);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (index < 3) {
        // A dotted grid under the letters of the coordinates.
        p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1, Qt::DotLine));
        for (int v = 4; v < 24; v += 8) {
            p.drawLine(v, 0, v, 23);
            p.drawLine(0, v, 23, v);
        }
        static const char* const letters[3] = {"EN", "φλ", "xy"};
        QFont f = p.font();
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QString::fromUtf8(letters[index]));
        return QIcon(pm);
    }
    const int filter = index - 3;
    const QPoint network[2] = {QPoint(5, 6), QPoint(18, 17)};
    const QPoint detail[3] = {QPoint(6, 18), QPoint(12, 11), QPoint(18, 5)};
    if (filter != SketchDetailPoints) {
        p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        p.drawLine(network[0], network[1]);
        p.setPen(Qt::red);
        p.setBrush(Qt::red);
        for (const QPoint& c : network)
            p.drawEllipse(c, 3, 3);
    }
    if (filter != SketchNetworkPoints) {
        p.setPen(Qt::black);
        p.setBrush(kBackground);
        for (const QPoint& c : detail)
            p.drawEllipse(c, 2, 2);
    }
    return QIcon(pm);
}

QLabel* label(QWidget* parent, const char* name, bool sunken = false)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    if (sunken) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("4.444.444,444")) + 8);
        // Room for the descenders and the frame, whatever the font.
        l->setMargin(1);
        l->setMinimumHeight(l->fontMetrics().height() + 2 * l->frameWidth() + 4);
    }
    return l;
}

}  // namespace

// ---- The picture ----

SketchPicture::SketchPicture(SketchPage& page) : QWidget(&page), page_(page)
{
    setObjectName(QStringLiteral("Image2"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setMinimumSize(120, 80);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SketchPicture::setImage(QImage image)
{
    image_ = std::move(image);
    update();
}

void SketchPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    // While the drawing is moved with the mouse, the last picture follows
    // the pointer; it is drawn anew when the button is released.
    p.drawImage(panDelta_, image_);
    const Sketch& s = page_.sketch();
    if (s.dragging()) {
        QPen pen(Qt::red);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawLine(s.anchorX(), s.anchorY(), s.endX(), s.endY());
    }
}

void SketchPicture::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (isVisible())
        page_.plot();
}

void SketchPicture::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton || e->button() == Qt::MiddleButton) {
        if (page_.sketch().dragging())
            return;
        panning_ = true;
        panStart_ = e->position().toPoint();
        panDelta_ = QPoint();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    page_.Image2MouseDown(e->button(), e->position().toPoint());
}

void SketchPicture::mouseMoveEvent(QMouseEvent* e)
{
    if (panning_) {
        panDelta_ = e->position().toPoint() - panStart_;
        update();
        return;
    }
    page_.Image2MouseMove(e->position().toPoint(), e->buttons() & Qt::LeftButton);
}

void SketchPicture::mouseReleaseEvent(QMouseEvent* e)
{
    if (panning_ && (e->button() == Qt::RightButton || e->button() == Qt::MiddleButton)) {
        panning_ = false;
        const QPoint delta = panDelta_;
        panDelta_ = QPoint();
        setCursor(Qt::CrossCursor);
        page_.panBy(delta);
        update();
        return;
    }
    page_.Image2MouseUp(e->button());
}

void SketchPicture::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        page_.resetView();
}

void SketchPicture::wheelEvent(QWheelEvent* e)
{
    // One notch (120) zooms by a fifth.
    const double factor = std::pow(1.2, e->angleDelta().y() / 120.0);
    page_.zoomAt(factor, e->position().toPoint());
    e->accept();
}

// ---- The page ----

SketchPage::SketchPage(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setObjectName(QStringLiteral("TabSheet5"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    picture_ = new SketchPicture(*this);
    v->addWidget(picture_, 1);

    // The status bar: the readout over the hint (or the drag panel), the
    // two buttons at the right.
    auto* bar = new QGridLayout;
    bar->setContentsMargins(2, 0, 2, 2);
    bar->setHorizontalSpacing(4);
    bar->setVerticalSpacing(2);
    v->addLayout(bar);
    firstCaption_ = label(this, "LabelCaption1");
    firstValue_ = label(this, "LabelValue1", true);
    secondCaption_ = label(this, "LabelCaption2");
    secondValue_ = label(this, "LabelValue2", true);
    bar->addWidget(firstCaption_, 0, 0);
    bar->addWidget(firstValue_, 0, 1);
    bar->addWidget(secondCaption_, 0, 2);
    bar->addWidget(secondValue_, 0, 3);
    bar->setColumnStretch(4, 1);

    // The hint, and over it while measuring the drag panel.
    hintStack_ = new QStackedWidget(this);
    hintStack_->setFrameShape(QFrame::Panel);
    hintStack_->setFrameShadow(QFrame::Sunken);
    hintStack_->setMinimumHeight(hintStack_->fontMetrics().height() + 2 * hintStack_->frameWidth() + 4);
    hint_ = label(hintStack_, "HintPanel");
    hint_->setText(QString::fromUtf8(kSketchDragHint));
    hintStack_->addWidget(hint_);
    dragPanel_ = new QWidget(hintStack_);
    dragPanel_->setObjectName(QStringLiteral("DragPanel"));
    auto* d = new QHBoxLayout(dragPanel_);
    d->setContentsMargins(2, 0, 2, 0);
    d->setSpacing(0);
    nameI_ = label(dragPanel_, "NameI");
    nameJ_ = label(dragPanel_, "NameJ");
    distanceCaption_ = label(dragPanel_, "DistanceCaption");
    distanceValue_ = label(dragPanel_, "DistanceValue");
    diff1Caption_ = label(dragPanel_, "DiffCaption1");
    diff1Value_ = label(dragPanel_, "DiffValue1");
    diff2Caption_ = label(dragPanel_, "DiffCaption2");
    diff2Value_ = label(dragPanel_, "DiffValue2");
    auto* colon1 = label(dragPanel_, "Colon1");
    auto* colon2 = label(dragPanel_, "Colon2");
    colon1->setText(QStringLiteral(" : "));
    colon2->setText(QStringLiteral(" : "));
    for (QWidget* w : {static_cast<QWidget*>(nameI_), static_cast<QWidget*>(colon1),
                       static_cast<QWidget*>(nameJ_), static_cast<QWidget*>(colon2),
                       static_cast<QWidget*>(distanceCaption_),
                       static_cast<QWidget*>(distanceValue_)})
        d->addWidget(w);
    d->addSpacing(10);
    d->addWidget(diff1Caption_);
    d->addWidget(diff1Value_);
    d->addSpacing(10);
    d->addWidget(diff2Caption_);
    d->addWidget(diff2Value_);
    d->addStretch();
    hintStack_->addWidget(dragPanel_);
    hintStack_->setCurrentWidget(hint_);
    bar->addWidget(hintStack_, 1, 0, 1, 5);

    sb10a_ = new QToolButton(this);
    sb10a_->setObjectName(QStringLiteral("SpeedButton10a"));
    sb10a_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sb10a_->setIconSize(QSize(24, 24));
    sb15_ = new QToolButton(this);
    sb15_->setObjectName(QStringLiteral("SpeedButton15"));
    sb15_->setIconSize(QSize(24, 24));
    bar->addWidget(sb10a_, 0, 5, 2, 1);
    bar->addWidget(sb15_, 0, 6, 2, 1);
    connect(sb10a_, &QToolButton::clicked, this, &SketchPage::SpeedButton10aClick);
    connect(sb15_, &QToolButton::clicked, this, &SketchPage::SpeedButton15Click);
    showCaptions();
}

void SketchPage::showCaptions()
{
    const SketchCaptions c = sketchCaptions(sketch_.SketchMode);
    firstCaption_->setText(QString::fromUtf8(c.first));
    secondCaption_->setText(QString::fromUtf8(c.second));
    diff1Caption_->setText(QString::fromUtf8(c.diff1));
    diff2Caption_->setText(QString::fromUtf8(c.diff2));
    distanceCaption_->setText(QString::fromUtf8(c.distance));
}

void SketchPage::SpeedButton10aClick()
{
    sketch_.nextMode();
    sb10a_->setIcon(sketchGlyph(sketch_.SketchMode));
    firstValue_->clear();
    secondValue_->clear();
    sb10a_->setToolTip(QString::fromUtf8(sketchModeHint(sketch_.SketchMode)));
    // A measurement in the units of the other mode is not shown on.
    hintStack_->setCurrentWidget(hint_);
    showCaptions();
    plot();
}

void SketchPage::SpeedButton15Click()
{
    sketch_.nextFilter();
    sb15_->setIcon(sketchGlyph(sketch_.SketchFilter + 3));
    sb15_->setToolTip(QString::fromUtf8(sketchFilterHint(sketch_.SketchFilter)));
    plot();
}

void SketchPage::plot()
{
    // A hidden page is drawn when it is shown (the page change calls here).
    const QSize size = picture_->size();
    if (!picture_->isVisible() || size.width() < 2 || size.height() < 2)
        return;
    QImage image(size, QImage::Format_RGB32);
    const SketchLayout& layout = sketch_.plot(doc_, size.width(), size.height());
    QPainter p(&image);
    paint::paintSketch(p, layout, false);
    p.end();
    picture_->setImage(std::move(image));
    showCaptions();
}

bool SketchPage::print()
{
    return printSketch(this, doc_, sketch_.SketchMode, sketch_.SketchFilter,
                       picture_->width());
}

void SketchPage::showStatus(const SketchStatus& st)
{
    firstValue_->setText(QString::fromStdString(st.readout.first));
    secondValue_->setText(QString::fromStdString(st.readout.second));
    if (!sketch_.dragging())
        return;
    nameI_->setText(QString::fromStdString(st.nameI));
    nameJ_->setText(QString::fromStdString(st.nameJ));
    distanceValue_->setText(QString::fromStdString(st.measure.distance));
    diff1Value_->setText(QString::fromStdString(st.measure.diff1));
    diff2Value_->setText(QString::fromStdString(st.measure.diff2));
}

void SketchPage::Image2MouseDown(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton)
        return;
    showStatus(sketch_.mouseDown(at.x(), at.y(), doc_.numbers()));
    if (sketch_.dragging())
        hintStack_->setCurrentWidget(dragPanel_);
    picture_->update();
}

void SketchPage::Image2MouseMove(QPoint at, bool leftHeld)
{
    showStatus(sketch_.mouseMove(at.x(), at.y(), leftHeld, doc_.numbers()));
    if (leftHeld && sketch_.dragging())
        picture_->update();
}

void SketchPage::Image2MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    sketch_.mouseUp();
    // The measured distance stays to be read (and written down) until the
    // next click starts another measurement.
    picture_->update();
}

void SketchPage::zoomAt(double factor, QPoint at)
{
    if (sketch_.zoomAt(factor, at.x(), at.y()))
        plot();
}

void SketchPage::panBy(QPoint delta)
{
    if (sketch_.panBy(delta.x(), delta.y()))
        plot();
}

void SketchPage::resetView()
{
    sketch_.resetView();
    plot();
}

}  // namespace korthal::app
