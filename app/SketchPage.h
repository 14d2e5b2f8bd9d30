#pragma once
// The page "Σκαρίφημα δικτύου": the picture of the network sketch (`Image2`),
// and under it the status bar: the coordinate readout of the pointer, the
// hint, the panel that shows the names, distance and differences while the
// user measures from one point to another, and the mode and filter buttons.
//
// The page is thin: views/Sketch.h keeps the mode, filter, view and drag and
// gives every text; paint/SketchPainter.h paints the picture. The picture is
// drawn anew at its own size whenever the page is shown, a button is
// clicked, the page is resized, or the user zooms (wheel), moves the drawing
// (right or middle button) or returns to the fitted view (double click).

#include "views/Sketch.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

class QLabel;
class QStackedWidget;
class QToolButton;

namespace korthal {
class Document;
}

namespace korthal::app {

class SketchPage;

// The picture: the last drawing, and over it the measuring rubber band (a
// red dotted line, drawn as an overlay so that it leaves nothing behind).
class SketchPicture : public QWidget {
    Q_OBJECT
public:
    explicit SketchPicture(SketchPage& page);
    const QImage& image() const { return image_; }
    void setImage(QImage image);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    SketchPage& page_;
    QImage image_;
    bool panning_ = false;
    QPoint panStart_, panDelta_;
};

class SketchPage : public QWidget {
    Q_OBJECT
public:
    SketchPage(Document& doc, QWidget* parent = nullptr);

    Sketch& sketch() { return sketch_; }
    SketchPicture* Image2() const { return picture_; }
    QToolButton* SpeedButton10a() const { return sb10a_; }
    QToolButton* SpeedButton15() const { return sb15_; }
    QLabel* firstCaption() const { return firstCaption_; }
    QLabel* firstValue() const { return firstValue_; }
    QLabel* secondCaption() const { return secondCaption_; }
    QLabel* secondValue() const { return secondValue_; }
    QLabel* hint() const { return hint_; }
    QWidget* dragPanel() const { return dragPanel_; }
    QLabel* nameI() const { return nameI_; }
    QLabel* nameJ() const { return nameJ_; }
    QLabel* distanceCaption() const { return distanceCaption_; }
    QLabel* distanceValue() const { return distanceValue_; }
    QLabel* diff1Caption() const { return diff1Caption_; }
    QLabel* diff1Value() const { return diff1Value_; }
    QLabel* diff2Caption() const { return diff2Caption_; }
    QLabel* diff2Value() const { return diff2Value_; }

    // The mode button and the filter button.
    void SpeedButton10aClick();
    void SpeedButton15Click();
    // Draws the sketch on the picture at its present size (when shown).
    void plot();
    // The print button on this page: the sketch on a landscape page.
    bool print();

    // Mouse on the picture, in its pixels.
    void Image2MouseDown(Qt::MouseButton button, QPoint at);
    void Image2MouseMove(QPoint at, bool leftHeld);
    void Image2MouseUp(Qt::MouseButton button);
    void zoomAt(double factor, QPoint at);
    void panBy(QPoint delta);
    void resetView();

private:
    void showStatus(const SketchStatus& st);
    void showCaptions();

    Document& doc_;
    Sketch sketch_;
    SketchPicture* picture_;
    QToolButton* sb10a_;
    QToolButton* sb15_;
    QLabel* firstCaption_;
    QLabel* firstValue_;
    QLabel* secondCaption_;
    QLabel* secondValue_;
    QStackedWidget* hintStack_;
    QLabel* hint_;
    QWidget* dragPanel_;
    QLabel* nameI_;
    QLabel* nameJ_;
    QLabel* distanceCaption_;
    QLabel* distanceValue_;
    QLabel* diff1Caption_;
    QLabel* diff1Value_;
    QLabel* diff2Caption_;
    QLabel* diff2Value_;
};

}  // namespace korthal::app
