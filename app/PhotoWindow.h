#pragma once
// The photo window `TForm2`: one photograph of the current point of a table
// shown large, its caption (`Sxolio1` .. `Sxolio6` of the record) under it,
// and the buttons that delete, replace, edit, print and zoom the photograph
// and move to the previous or next point or photograph. It closes itself
// when another window of the program becomes active, posting the caption.
//
// The numbers (which buttons are enabled, where the picture goes, how the
// size follows the zoom) come from views/PhotoLayout.h, the file names and
// copies from project/Photos.h and the pictures from paint/Picture.h.

#include "views/PhotoLayout.h"

#include <QFrame>
#include <QWidget>

#include <functional>

class QPlainTextEdit;
class QSplitter;
class QToolButton;

namespace korthal {
class Document;
class MemTable;
}  // namespace korthal

namespace korthal::app {

// A panel with a caption drawn in its middle (behind whatever it holds).
class CaptionPanel : public QFrame {
    Q_OBJECT
public:
    CaptionPanel(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return caption_; }

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QString caption_;
};

// The large picture, stretched over the whole widget.
class PictureView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
};

class PhotoWindow : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` gives the base size and is the window whose activation
    // closes this one.
    PhotoWindow(Document& doc, QWidget* mainWindow);

    // The photograph and table to show (the thumbnail click): `network` is
    // the network table, otherwise the reference table.
    void setPhoto(int n, bool network);
    int photo() const { return photo_; }
    MemTable& table() const;
    bool networkTable() const { return network_; }
    const QString& photoPath() const { return photoPath_; }
    PixelSize pictureSize() const { return picture_; }
    double zoom() const { return zoom_; }

    CaptionPanel* Panel3() const { return panel3_; }
    CaptionPanel* Panel4() const { return panel4_; }
    PictureView* BigImage() const { return bigImage_; }
    QPlainTextEdit* DBMemo1() const { return memo_; }
    QToolButton* SpeedButton(int k) const { return buttons_[k]; }  // 1 to 10

    // Shows the current photograph again (also after each button that
    // changes what is shown).
    void FormShow();
    // Posts a changed caption, closes the window and tells the main window.
    void FormDeactivate();
    // Stores the caption into the record when it was changed.
    void postCaption();

    void SpeedButton1Click();   // delete
    void SpeedButton2Click();   // change
    void SpeedButton9Click();   // edit in the desktop's program
    void SpeedButton10Click();  // print
    void SpeedButton3Click();   // zoom in
    void SpeedButton4Click();   // zoom out
    void SpeedButton5Click();   // previous point
    void SpeedButton6Click();   // next point
    void SpeedButton7Click();   // previous photograph
    void SpeedButton8Click();   // next photograph

    // Opens a file with the desktop's program for it and says whether it
    // could; tests replace it.
    std::function<bool(const QString&)> fileOpener;

signals:
    // The window closed (on deactivation or by its close box): the
    // thumbnails are to be redrawn.
    void deactivated();

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void layoutPicture(bool resizeWindow);
    void showCaption();
    void movePoint(int step);
    bool anotherWindowActive() const;

    Document& doc_;
    QWidget* main_;
    int photo_ = 1;
    bool network_ = true;
    QString photoPath_;
    PixelSize base_{700, 539};
    PixelSize picture_{1, 1};
    double zoom_ = 1.0;
    bool captionDirty_ = false;
    bool showingCaption_ = false;
    bool resizing_ = false;
    QSize placed_;  // the size the window was last given for the zoom

    CaptionPanel* panel3_ = nullptr;
    CaptionPanel* panel4_ = nullptr;
    PictureView* bigImage_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QToolButton* buttons_[11] = {};
};

}  // namespace korthal::app
