#include "app/PhotoWindow.h"

#include "app/ScreenFit.h"

#include "app/QtDialogs.h"
#include "network/PointTables.h"
#include "paint/PhotoPrint.h"
#include "paint/Picture.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "project/Photos.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace korthal::app {

namespace {

const char* const kNoPhoto =
    "Δεν υπάρχει φωτογραφία (μπορείτε να προσθέσετε με κλίκ στην επιλογή \"αλλαγή\")";
const char* const kDeletePhotoQuestion = "Θέλετε πραγματικά ναδιαγράψετε την εικόνα ?";

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CaptionPanel::CaptionPanel(const QString& caption, QWidget* parent)
    : QFrame(parent), caption_(caption)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void CaptionPanel::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    // The caption shows only while nothing inside covers it.
    for (const QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible()) return;
    QPainter p(this);
    p.drawText(contentsRect().adjusted(8, 0, -8, 0), Qt::AlignCenter | Qt::TextWordWrap, caption_);
}

void CaptionPanel::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    emit resized();
}

void PictureView::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    if (image_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), image_);
}

PhotoWindow::PhotoWindow(Document& doc, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), doc_(doc), main_(mainWindow)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Φωτογραφία σημείου"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(700, 539);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(2, 2, 2, 2);
    h->setSpacing(2);
    splitter_ = new QSplitter(Qt::Vertical, this);
    panel3_ = new CaptionPanel(QString::fromUtf8(kNoPhoto), splitter_);
    panel3_->setObjectName(QStringLiteral("Panel3"));
    panel3_->setMinimumSize(60, 60);
    panel4_ = new CaptionPanel(QStringLiteral("φόρτωμα φωτογραφίας"), panel3_);
    panel4_->setObjectName(QStringLiteral("Panel4"));
    panel4_->setFrameStyle(QFrame::NoFrame);
    panel4_->hide();
    bigImage_ = new PictureView(panel4_);
    bigImage_->setObjectName(QStringLiteral("BigImage"));
    auto* fill = new QVBoxLayout(panel4_);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(bigImage_);
    memo_ = new QPlainTextEdit(splitter_);
    memo_->setObjectName(QStringLiteral("DBMemo1"));
    memo_->setToolTip(QStringLiteral("Απεριόριστο μέγεθος κειμένου σχετικά με την φωτογραφία"));
    splitter_->addWidget(panel3_);
    splitter_->addWidget(memo_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setSizes({440, 70});
    h->addWidget(splitter_, 1);

    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    struct ButtonDef {
        int k;
        const char* caption;
        const char* hint;
        QStyle::StandardPixmap glyph;
    };
    const ButtonDef buttons[] = {
        {1, "διαγραφή", "Διαγράφει την φωτογραφία", QStyle::SP_TrashIcon},
        {2, "αλλαγή", "Εμφανίζει τα αρχεία φωτογραφιών για επιλογή", QStyle::SP_DialogOpenButton},
        {9, "επεξεργασία", "καλεί το πρόγραμμα επεξεργασίας εικόνας", QStyle::SP_FileIcon},
        {10, "εκτύπωση", "εκτυπώνει την φωτογραφία", QStyle::SP_ComputerIcon},
        {3, "μεγέθυνση", "μεγενθύνει κατα 5% την φωτογραφία", QStyle::SP_ArrowUp},
        {4, "σμίκρυνση", "μικραίνει κατα 5% την φωτογραφία", QStyle::SP_ArrowDown},
        {5, "", "προηγούμενο σημείο", QStyle::SP_ArrowUp},
        {6, "", "επόμενο σημείο", QStyle::SP_ArrowDown},
        {7, "", "προηγούμενη εικόνα", QStyle::SP_ArrowLeft},
        {8, "", "επόμενη εικόνα", QStyle::SP_ArrowRight},
    };
    for (const ButtonDef& sp : buttons) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(sp.k));
        b->setToolTip(QString::fromUtf8(sp.hint));
        b->setIcon(style()->standardIcon(sp.glyph));
        if (*sp.caption) {
            b->setText(QString::fromUtf8(sp.caption));
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            b->setMinimumWidth(110);
        }
        buttons_[sp.k] = b;
    }
    for (int k : {1, 2, 9, 10, 3, 4}) column->addWidget(buttons_[k]);
    buttons_[3]->hide();
    buttons_[4]->hide();
    column->addSpacing(12);
    auto* points = new QHBoxLayout;
    points->addWidget(buttons_[5]);
    points->addWidget(buttons_[6]);
    column->addLayout(points);
    auto* photos = new QHBoxLayout;
    photos->addWidget(buttons_[7]);
    photos->addWidget(buttons_[8]);
    column->addLayout(photos);
    column->addStretch();
    h->addLayout(column);

    connect(buttons_[1], &QToolButton::clicked, this, &PhotoWindow::SpeedButton1Click);
    connect(buttons_[2], &QToolButton::clicked, this, &PhotoWindow::SpeedButton2Click);
    connect(buttons_[3], &QToolButton::clicked, this, &PhotoWindow::SpeedButton3Click);
    connect(buttons_[4], &QToolButton::clicked, this, &PhotoWindow::SpeedButton4Click);
    connect(buttons_[5], &QToolButton::clicked, this, &PhotoWindow::SpeedButton5Click);
    connect(buttons_[6], &QToolButton::clicked, this, &PhotoWindow::SpeedButton6Click);
    connect(buttons_[7], &QToolButton::clicked, this, &PhotoWindow::SpeedButton7Click);
    connect(buttons_[8], &QToolButton::clicked, this, &PhotoWindow::SpeedButton8Click);
    connect(buttons_[9], &QToolButton::clicked, this, &PhotoWindow::SpeedButton9Click);
    connect(buttons_[10], &QToolButton::clicked, this, &PhotoWindow::SpeedButton10Click);
    connect(panel3_, &CaptionPanel::resized, this, [this] { layoutPicture(false); });
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
        if (!showingCaption_) captionDirty_ = true;
    });
}

MemTable& PhotoWindow::table() const { return network_ ? doc_.GPS() : doc_.GYS(); }

void PhotoWindow::setPhoto(int n, bool network)
{
    postCaption();
    photo_ = std::clamp(n, 1, kPhotosPerPoint);
    network_ = network;
}

void PhotoWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    FormShow();
}

void PhotoWindow::FormShow()
{
    MemTable& t = table();
    panel4_->hide();
    if (t.current() == NoRec) {
        // Nothing to show a photograph of (the table was emptied meanwhile).
        close();
        return;
    }
    const PhotoButtons b =
        photoButtons(t.currentRow() + 1, t.recordCount(), photo_, false);
    buttons_[5]->setEnabled(b.previousPoint);
    buttons_[6]->setEnabled(b.nextPoint);
    buttons_[7]->setEnabled(b.previousPhoto);
    buttons_[8]->setEnabled(b.nextPhoto);
    base_ = {main_->width(), main_->height()};
    picture_ = {1, 1};
    const int nameField = network_ ? int(gps::Name) : int(gys::Name);
    setWindowTitle(QStringLiteral("  ") + q(t.asString(nameField)) + QStringLiteral(" : ") +
                   QString::number(photo_) + QStringLiteral("η φωτογραφία"));
    showCaption();

    const std::string base = photoBaseName(doc_.CurrentFileName, network_);
    const int idField = network_ ? int(gps::ID) : int(gys::ID);
    const QString found = q(findPhoto(imagesFolderOf(doc_.CurrentFileName), base, t.asInteger(idField), photo_));
    const bool exists = !found.isEmpty();
    for (int k : {1, 3, 4, 9, 10}) buttons_[k]->setEnabled(exists);
    if (!exists) {
        photoPath_.clear();
        bigImage_->setImage(QImage());
        return;
    }
    photoPath_ = found;
    QSize box(1920, 1440);
    if (QScreen* s = screen()) box = s->availableSize() * s->devicePixelRatio();
    const paint::Picture pic = paint::readPicture(photoPath_, box);
    bigImage_->setImage(pic.image);
    if (!pic.ok()) {
        // The file stays: it can be deleted, replaced or opened elsewhere.
        DialogParent over(this);
        showMessage(pic.error.toStdString(), MsgIcon::Exclamation);
        return;
    }
    picture_ = {pic.fullSize.width(), pic.fullSize.height()};
    layoutPicture(true);
}

void PhotoWindow::layoutPicture(bool resizeWindow)
{
    if (picture_.width > 0) panel4_->hide();
    if (resizeWindow) {
        resizing_ = true;
        const PixelSize s = zoomedWindowSize(base_, zoom_);
        // The base is the main window's size: at a zoom above 1 (or a main
        // window that fills a larger screen) it may not fit this screen.
        placed_ = placeInsideScreen(this, QSize(s.width, s.height));
        resizing_ = false;
    }
    // Only a picture that was read has a panel to show.
    if (bigImage_->image().isNull()) return;
    const PixelRect r = photoPanelRect({panel3_->width(), panel3_->height()}, picture_);
    panel4_->setGeometry(r.left, r.top, r.width, r.height);
    panel4_->show();
}

void PhotoWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // A size the window was given for the zoom keeps the zoom as it is.
    const PixelSize now{width(), height()};
    if (resizing_ || now == zoomedWindowSize(base_, zoom_) ||
        QSize(now.width, now.height) == placed_)
        return;
    zoom_ = zoomAfterResize(base_, zoom_, now);
    layoutPicture(false);
}

void PhotoWindow::showCaption()
{
    MemTable& t = table();
    const int field = (network_ ? int(gps::Sxolio1) : int(gys::Sxolio1)) + photo_ - 1;
    showingCaption_ = true;
    memo_->setPlainText(t.current() == NoRec ? QString() : q(t.asString(field)));
    showingCaption_ = false;
    captionDirty_ = false;
}

void PhotoWindow::postCaption()
{
    if (!captionDirty_) return;
    captionDirty_ = false;
    MemTable& t = table();
    if (t.current() == NoRec) return;
    const int field = (network_ ? int(gps::Sxolio1) : int(gys::Sxolio1)) + photo_ - 1;
    const std::string text = memo_->toPlainText().toStdString();
    if (t.asString(field) == text) return;
    t.edit();
    t.set(field, Value(text));
    t.post();
}

void PhotoWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || isActiveWindow()) return;
    // Once the activation has settled: another window of the program (not a
    // dialog of this one, not another program) took over.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && anotherWindowActive()) FormDeactivate();
    });
}

bool PhotoWindow::anotherWindowActive() const
{
    QWidget* a = QApplication::activeWindow();
    if (!a || a == this) return false;
    for (QWidget* w = a; w; w = w->parentWidget())
        if (w == this) return false;
    return true;
}

void PhotoWindow::FormDeactivate()
{
    close();
}

void PhotoWindow::closeEvent(QCloseEvent* e)
{
    postCaption();
    QWidget::closeEvent(e);
    emit deactivated();
}

void PhotoWindow::SpeedButton1Click()
{
    DialogParent over(this);
    if (dialogs().ask(kDeletePhotoQuestion, "", MsgIcon::Warning, MsgButtons::YesNo) != Answer::Yes)
        return;
    std::string error;
    if (!deletePhotoFile(photoPath_.toStdString(), error)) showMessage(error, MsgIcon::Exclamation);
    FormShow();
}

void PhotoWindow::SpeedButton2Click()
{
    DialogParent over(this);
    const auto file = dialogs().chooseFile(
        "Αναζήτηση του αρχείου εικόνας",
        "αρχεία εικόνας|*.BMP;*.JPG;*.JPEG;*.GIF;*.PNG", doc_.IconsPath, "");
    if (!file) return;
    const QString source = q(*file);
    // A file that is no readable picture is not copied.
    const paint::Picture pic = paint::readPicture(source, QSize(64, 64));
    if (!pic.ok()) {
        showMessage(pic.error.toStdString(), MsgIcon::Exclamation);
        return;
    }
    MemTable& t = table();
    const int idField = network_ ? int(gps::ID) : int(gys::ID);
    const std::string stem =
        photoStem(photoBaseName(doc_.CurrentFileName, network_), t.asInteger(idField), photo_);
    const std::string folder = QDir::current().filePath(QString::fromStdString(imagesFolderOf(doc_.CurrentFileName))).toStdString();
    const std::string target = photoTargetPath(folder, stem, *file,
                                               paint::pictureExtension(source).toStdString());
    std::string error;
    if (!copyPhotoFile(*file, target, error)) {
        showMessage(error, MsgIcon::Exclamation);
        return;
    }
    photoPath_ = q(target);
    doc_.IconsPath = QFileInfo(source).absolutePath().toStdString() + "/";
    // Shown again, so that the new picture gets its size and the buttons
    // that need a picture are enabled.
    FormShow();
}

void PhotoWindow::SpeedButton9Click()
{
    const QString file = QFileInfo(photoPath_).absoluteFilePath();
    const bool opened =
        fileOpener ? fileOpener(file) : QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    if (!opened) {
        DialogParent over(this);
        showMessage("Δεν βρέθηκε πρόγραμμα για το άνοιγμα της εικόνας «" + file.toStdString() + "»",
                    MsgIcon::Exclamation);
    }
}

void PhotoWindow::SpeedButton10Click()
{
    const paint::Picture pic = paint::readPicture(photoPath_);
    DialogParent over(this);
    if (!pic.ok()) {
        showMessage(pic.error.toStdString(), MsgIcon::Exclamation);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!paint::paintPhotoPage(printer, pic.image))
        showMessage("Η εκτύπωση της φωτογραφίας δεν ήταν δυνατή", MsgIcon::Exclamation);
}

void PhotoWindow::SpeedButton3Click()
{
    zoom_ *= kZoomInFactor;
    layoutPicture(true);
}

void PhotoWindow::SpeedButton4Click()
{
    zoom_ *= kZoomOutFactor;
    layoutPicture(true);
}

void PhotoWindow::movePoint(int step)
{
    postCaption();
    MemTable& t = table();
    t.moveToRow(t.currentRow() + step);
    FormShow();
}

void PhotoWindow::SpeedButton5Click() { movePoint(-1); }
void PhotoWindow::SpeedButton6Click() { movePoint(+1); }

void PhotoWindow::SpeedButton7Click()
{
    postCaption();
    if (photo_ > 1) --photo_;
    FormShow();
}

void PhotoWindow::SpeedButton8Click()
{
    postCaption();
    if (photo_ < kPhotosPerPoint) ++photo_;
    FormShow();
}

}  // namespace korthal::app
