// The photographs of the points in the window: the thumbnails beside the
// grids, the photo window's buttons, captions and layout, and the geoid map
// window opened by the map buttons.

#include "AppSession.h"
#include "app/CalculatorPage.h"
#include "app/GeoidMapWindow.h"
#include "app/PhotoThumbnails.h"
#include "app/PhotoWindow.h"
#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"
#include "network/PointTables.h"
#include "paint/GeoidMapPainter.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include <numbers>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");

// A picture file of one colour.
QString picture(const QString& path, int w, int h, QColor c, const char* format = "JPG")
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    img.save(path, format);
    return path;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The demo network on its page, with photographs 1 and 3 of its first
// point (Σ101, ID 1) and photograph 1 of its reference point Σ101.
struct PhotoSession : Session {
    PhotoSession() : Session(kDemo, QStringLiteral("DEMO.WGS84"))
    {
        picture(QStringLiteral("Images/DEMO0000011.jpg"), 400, 300, Qt::red);
        picture(QStringLiteral("Images/DEMO0000013.png"), 300, 400, Qt::blue, "PNG");
        picture(QStringLiteral("Images/EGSA870000011.jpg"), 200, 100, Qt::green);
        w->PageControl1()->setCurrentWidget(w->TabSheet2());
        doc->GPS().first();
        QApplication::processEvents();
    }
    PhotoThumbnails* thumbs() const { return w->networkPage()->thumbnails(); }
    PhotoWindow* photo() const { return w->Form2(); }
    void waitForThumbnails()
    {
        QTRY_VERIFY(!w->networkPage()->thumbnails()->loading());
        QTRY_VERIFY(!w->referencePage()->thumbnails()->loading());
    }
    void openPhoto(int n)
    {
        waitForThumbnails();
        QTest::mouseClick(thumbs()->thumb(n), Qt::LeftButton);
        QTRY_VERIFY(photo()->isVisible());
    }
};

// Closes the modal window that opens next, keeping what it showed.
struct ModalCatcher {
    QImage shown;
    bool modal = false;
    void arm(GeoidMapWindow* map)
    {
        QTimer::singleShot(0, map, [this, map] {
            modal = map->isModal() && map->isVisible();
            shown = map->Image1()->pixmap().toImage();
            QTest::keyClick(map, Qt::Key_Escape);
        });
    }
};

}  // namespace

class PhotoWindowTest : public QObject {
    Q_OBJECT
private slots:
    void thumbnailsFollowTheCurrentPoint();
    void buttonsAndBrowsing();
    void changeCopiesTheFileAndDeleteAsks();
    void captionIsPostedAndSaved();
    void unreadablePictureIsNamed();
    void layoutFollowsTheWindowAndZoom();
    void geoidMapButtons();
};

void PhotoWindowTest::thumbnailsFollowTheCurrentPoint()
{
    PhotoSession s;
    s.waitForThumbnails();
    QGroupBox* box = s.w->networkPage()->detailsBox();
    QCOMPARE(box->title(), QStringLiteral("  λεπτομέρειες σημείου \"Σ101\""));
    // Photographs 1 and 3, each with its proportions.
    QVERIFY(!s.thumbs()->thumb(1)->image().isNull());
    QVERIFY(s.thumbs()->thumb(2)->image().isNull());
    QCOMPARE(s.thumbs()->thumb(3)->image().size(), QSize(36, 48));
    QVERIFY(s.thumbs()->thumb(6)->image().isNull());

    // Another point: its name, no photographs.
    s.w->networkPage()->grid()->setCurrentIndex(s.net()->index(1, 1));
    s.waitForThumbnails();
    QCOMPARE(box->title(), QStringLiteral("  λεπτομέρειες σημείου \"Σ103\""));
    for (int n = 1; n <= 6; ++n) QVERIFY(s.thumbs()->thumb(n)->image().isNull());

    // While the settings page is shown a move loads the calculator only; the
    // thumbnails catch up when their page is shown again.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    s.doc->GPS().first();
    QApplication::processEvents();
    QCOMPARE(box->title(), QStringLiteral("  λεπτομέρειες σημείου \"Σ103\""));
    QVERIFY(!s.w->calculatorPage()->edit(CalcEdit::WGS84X)->text().isEmpty());
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.waitForThumbnails();
    QCOMPARE(box->title(), QStringLiteral("  λεπτομέρειες σημείου \"Σ101\""));
    QVERIFY(!s.thumbs()->thumb(1)->image().isNull());

    // The reference page has its own, named after the reference file.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet1());
    s.doc->GYS().first();
    s.waitForThumbnails();
    QCOMPARE(s.w->referencePage()->thumbnails()->thumb(1)->image().size(), QSize(64, 32));
}

void PhotoWindowTest::buttonsAndBrowsing()
{
    PhotoSession s;
    s.openPhoto(1);
    PhotoWindow* p = s.photo();
    QCOMPARE(p->windowTitle(), QStringLiteral("  Σ101 : 1η φωτογραφία"));
    QCOMPARE(p->photoPath(), QStringLiteral("Images/DEMO0000011.jpg"));
    QCOMPARE(p->pictureSize(), (PixelSize{400, 300}));
    QVERIFY(p->Panel4()->isVisible());
    // The first point and photograph: no way back.
    QVERIFY(!p->SpeedButton(5)->isEnabled());
    QVERIFY(p->SpeedButton(6)->isEnabled());
    QVERIFY(!p->SpeedButton(7)->isEnabled());
    QVERIFY(p->SpeedButton(8)->isEnabled());
    for (int k : {1, 9, 10}) QVERIFY(p->SpeedButton(k)->isEnabled());

    // Photograph 2 has no file: the panel that says so.
    p->SpeedButton(8)->click();
    QCOMPARE(p->photo(), 2);
    QCOMPARE(p->windowTitle(), QStringLiteral("  Σ101 : 2η φωτογραφία"));
    QVERIFY(p->Panel4()->isHidden());
    for (int k : {1, 9, 10}) QVERIFY(!p->SpeedButton(k)->isEnabled());
    QVERIFY(p->Panel3()->caption().startsWith(QStringLiteral("Δεν υπάρχει φωτογραφία")));
    // On to photograph 6: no further.
    for (int k = 0; k < 4; ++k) p->SpeedButton(8)->click();
    QCOMPARE(p->photo(), 6);
    QVERIFY(!p->SpeedButton(8)->isEnabled());
    QVERIFY(p->SpeedButton(7)->isEnabled());

    // The next point: the grid follows, and the window shows that point.
    p->SpeedButton(6)->click();
    QCOMPARE(s.doc->GPS().currentRow(), 1);
    QCOMPARE(s.w->networkPage()->grid()->currentIndex().row(), 1);
    QCOMPARE(p->windowTitle(), QStringLiteral("  Σ103 : 6η φωτογραφία"));
    QVERIFY(p->SpeedButton(5)->isEnabled());
    p->SpeedButton(5)->click();
    QCOMPARE(s.doc->GPS().currentRow(), 0);

    // The last point: no next one.
    s.doc->GPS().last();
    p->FormShow();
    QVERIFY(!p->SpeedButton(6)->isEnabled());

    // Edit hands the file to the desktop's program; a failure is said.
    s.doc->GPS().first();
    p->setPhoto(1, true);
    p->FormShow();
    QString opened;
    p->fileOpener = [&](const QString& f) {
        opened = f;
        return false;
    };
    p->SpeedButton(9)->click();
    QCOMPARE(opened, QFileInfo(QStringLiteral("Images/DEMO0000011.jpg")).absoluteFilePath());
    QCOMPARE(s.rec.messages().size(), 1u);
    QVERIFY(QString::fromStdString(s.rec.messages()[0]).contains(QStringLiteral("DEMO0000011.jpg")));
}

void PhotoWindowTest::changeCopiesTheFileAndDeleteAsks()
{
    PhotoSession s;
    s.openPhoto(2);
    PhotoWindow* p = s.photo();
    QDir().mkdir(QStringLiteral("pics"));
    const QString chosen =
        QDir::current().filePath(picture(QStringLiteral("pics/field.JPEG"), 640, 480, Qt::yellow));

    // A cancelled dialog changes nothing.
    s.rec.inputs.push_back(std::nullopt);
    p->SpeedButton(2)->click();
    QVERIFY(!QFile::exists(QStringLiteral("Images/DEMO0000012.JPEG")));

    s.rec.inputs.push_back(chosen.toStdString());
    p->SpeedButton(2)->click();
    const QString stored = QDir::current().filePath(QStringLiteral("Images/DEMO0000012.JPEG"));
    QVERIFY(QFile::exists(stored));
    QCOMPARE(bytes(stored), bytes(chosen));
    QCOMPARE(QString::fromStdString(s.doc->IconsPath), QFileInfo(chosen).absolutePath() + "/");
    // Shown at once, with the buttons of a picture.
    QCOMPARE(p->pictureSize(), (PixelSize{640, 480}));
    QVERIFY(p->Panel4()->isVisible());
    QVERIFY(p->SpeedButton(1)->isEnabled());

    // A file that is no picture is not copied.
    QFile junk(QStringLiteral("pics/notes.jpg"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    s.rec.inputs.push_back(QDir::current().filePath(QStringLiteral("pics/notes.jpg")).toStdString());
    p->SpeedButton(2)->click();
    QVERIFY(QString::fromStdString(s.rec.messages().back()).contains(QStringLiteral("notes.jpg")));
    QCOMPARE(bytes(stored), bytes(chosen));

    // Delete asks first; No keeps the file.
    s.rec.answers.push_back(Answer::No);
    p->SpeedButton(1)->click();
    const auto& q = s.rec.entries.back();
    QVERIFY(q.question);
    QCOMPARE(QString::fromStdString(q.text), QStringLiteral("Θέλετε πραγματικά ναδιαγράψετε την εικόνα ?"));
    QVERIFY(q.caption.empty());
    QCOMPARE(q.icon, MsgIcon::Warning);
    QVERIFY(QFile::exists(stored));
    s.rec.answers.push_back(Answer::Yes);
    p->SpeedButton(1)->click();
    QVERIFY(!QFile::exists(stored));
    QVERIFY(p->Panel4()->isHidden());
    for (int k : {1, 9, 10}) QVERIFY(!p->SpeedButton(k)->isEnabled());

    // On closing, the thumbnails show what is there now.
    p->close();
    s.waitForThumbnails();
    QVERIFY(s.thumbs()->thumb(2)->image().isNull());
}

void PhotoWindowTest::captionIsPostedAndSaved()
{
    PhotoSession s;
    s.openPhoto(1);
    PhotoWindow* p = s.photo();
    QVERIFY(!s.doc->NetworkModified);
    const QString first = QStringLiteral("Βάθρο 100% ορατό\nαπό τον δρόμο, \"νότια\"");
    p->DBMemo1()->setPlainText(first);
    // Another photograph: the caption goes to its record's Sxolio1.
    p->SpeedButton(8)->click();
    const Rec r = s.doc->GPS().current();
    QCOMPARE(QString::fromStdString(s.doc->GPS().getString(r, gps::Sxolio1)), first);
    QVERIFY(s.doc->NetworkModified);
    QVERIFY(p->DBMemo1()->toPlainText().isEmpty());
    p->DBMemo1()->setPlainText(QStringLiteral("δεύτερη"));
    // Going back to the main window posts it and closes the photo window.
    QApplication::setActiveWindow(p);
    QTRY_VERIFY(p->isActiveWindow());
    QApplication::setActiveWindow(s.w.get());
    QTRY_VERIFY(p->isHidden());
    QCOMPARE(QString::fromStdString(s.doc->GPS().getString(r, gps::Sxolio2)),
             QStringLiteral("δεύτερη"));

    // Saved and read back with the network.
    const long long id = s.doc->GPS().getInteger(r, gps::ID);
    QVERIFY(s.doc->saveNetworkAs("SAVED.WGS84"));
    s.w->LoadFile(QStringLiteral("SAVED.WGS84"));
    QVERIFY(s.doc->GPS().locateID(id));
    QCOMPARE(QString::fromStdString(s.doc->GPS().asString(gps::Sxolio1)), first);
    QCOMPARE(QString::fromStdString(s.doc->GPS().asString(gps::Sxolio2)), QStringLiteral("δεύτερη"));

    // A reference point's caption goes to the reference table.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet1());
    s.doc->GYS().first();
    s.waitForThumbnails();
    QTest::mouseClick(s.w->referencePage()->thumbnails()->thumb(1), Qt::LeftButton);
    QTRY_VERIFY(p->isVisible());
    QVERIFY(!p->networkTable());
    QCOMPARE(p->photoPath(), QStringLiteral("Images/EGSA870000011.jpg"));
    p->DBMemo1()->setPlainText(QStringLiteral("τριγωνομετρικό"));
    p->close();
    QCOMPARE(QString::fromStdString(s.doc->GYS().asString(gys::Sxolio1)),
             QStringLiteral("τριγωνομετρικό"));
    QVERIFY(s.doc->ReferenceModified);
}

void PhotoWindowTest::unreadablePictureIsNamed()
{
    PhotoSession s;
    QFile bad(QStringLiteral("Images/DEMO0000014.jpg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("\xFF\xD8 broken");
    bad.close();
    s.doc->GPS().next();
    s.doc->GPS().first();
    s.openPhoto(4);
    QVERIFY(s.thumbs()->thumb(4)->broken());
    PhotoWindow* p = s.photo();
    QCOMPARE(s.rec.messages().size(), 1u);
    const QString m = QString::fromStdString(s.rec.messages()[0]);
    QVERIFY(m.contains(QStringLiteral("Images/DEMO0000014.jpg")));
    QVERIFY(m.contains(QStringLiteral("δεν μπορεί να διαβαστεί")));
    // Still usable: the file can be deleted or replaced, other photographs shown.
    QVERIFY(p->isVisible());
    QVERIFY(p->SpeedButton(1)->isEnabled());
    QVERIFY(p->Panel4()->isHidden());
    p->SpeedButton(7)->click();
    p->SpeedButton(7)->click();
    p->SpeedButton(7)->click();
    QCOMPARE(p->photo(), 1);
    QVERIFY(p->Panel4()->isVisible());
}

void PhotoWindowTest::layoutFollowsTheWindowAndZoom()
{
    PhotoSession s;
    s.openPhoto(1);
    PhotoWindow* p = s.photo();
    const PixelSize base{s.w->width(), s.w->height()};
    QCOMPARE(p->zoom(), 1.0);
    QTRY_COMPARE(p->size(), QSize(base.width, base.height));
    auto panelMatches = [&] {
        const PixelRect r = photoPanelRect({p->Panel3()->width(), p->Panel3()->height()},
                                           p->pictureSize());
        return p->Panel4()->geometry() == QRect(r.left, r.top, r.width, r.height);
    };
    QTRY_VERIFY(panelMatches());

    // The user makes the window wider: the zoom follows the width.
    p->resize(800, base.height);
    QTRY_COMPARE(p->zoom(), 800.0 / base.width);
    QTRY_VERIFY(panelMatches());

    // Zoom in: the window grows by 5 %, as far as the screen allows.
    p->SpeedButton3Click();
    const PixelSize z = zoomedWindowSize(base, 800.0 / base.width * kZoomInFactor);
    const QRect avail = p->screen()->availableGeometry();
    const QSize frame = p->frameGeometry().size() - p->size();
    QTRY_COMPARE(p->size(), QSize(z.width, z.height).boundedTo(avail.size() - frame));
    QTRY_VERIFY(avail.contains(p->frameGeometry()));
    QTRY_VERIFY(panelMatches());
    p->SpeedButton4Click();
    QCOMPARE(p->zoom(), 800.0 / base.width * kZoomInFactor * kZoomOutFactor);

    // A main window of a larger screen: the photo window, sized after it,
    // still lies wholly on this one.
    p->close();
    s.w->resize(1500, 900);
    s.openPhoto(1);
    QTRY_VERIFY(avail.contains(p->frameGeometry()));
    QVERIFY(p->width() > 0 && p->height() > 0);
}

void PhotoWindowTest::geoidMapButtons()
{
    PhotoSession s;
    GeoidMapWindow* map = s.w->Form4();
    QVERIFY(map);
    ModalCatcher c;

    // The network point: its calculated φ, λ.
    const double toDegrees = 180 / std::numbers::pi;
    const double phi = double(DMSToRad(s.doc->GPS().asFloat(gps::f))) * toDegrees;
    const double lambda = double(DMSToRad(s.doc->GPS().asFloat(gps::l))) * toDegrees;
    c.arm(map);
    s.w->networkPage()->SpeedButton8()->click();
    QVERIFY(c.modal);
    QCOMPARE(c.shown.size(), QSize(744, 728));
    QCOMPARE(c.shown.convertToFormat(QImage::Format_RGB32), paint::markedGeoidMap(phi, lambda));
    // Closing the map closed only the map.
    QVERIFY(s.w->isVisible());
    QVERIFY(!map->isVisible());

    // The reference page's button: the reference point's radians.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet1());
    s.doc->GYS().first();
    c.arm(map);
    s.w->referencePage()->SpeedButton9()->click();
    QCOMPARE(c.shown.convertToFormat(QImage::Format_RGB32),
             paint::markedGeoidMap(s.doc->GYS().asFloat(gys::f) * toDegrees,
                                   s.doc->GYS().asFloat(gys::l) * toDegrees));

    // The calculator's "αποχή": the model's undulation at the point of its
    // TM87 edits (the reference point was loaded into them), through the
    // ellipsoidal edits, and then the map with the point marked.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    CalculatorPage* cp = s.w->calculatorPage();
    s.doc->GYS().next();
    s.doc->GYS().first();
    QApplication::processEvents();
    QVERIFY(cp->edit(CalcEdit::EGSA87f)->text().isEmpty());
    QVERIFY(cp->button(CalcButton::SpeedButton11)->isEnabled());
    s.w->calculator().setText(CalcEdit::EditApoxhEGSA, "");
    c.arm(map);
    cp->button(CalcButton::SpeedButton11)->click();
    QVERIFY(!cp->edit(CalcEdit::EGSA87f)->text().isEmpty());
    QVERIFY(!c.shown.isNull());
    QVERIFY(c.shown.convertToFormat(QImage::Format_RGB32) != paint::geoidMapImage());
    QVERIFY(!map->isVisible());
    const auto read = [&](CalcEdit e) {
        return DMSToRad(s.doc->numbers().readShown(cp->edit(e)->text().toStdString()).value);
    };
    const auto n = GeoidUndulation(s.doc->datumShifts(), double(read(CalcEdit::EGSA87f)),
                                   double(read(CalcEdit::EGSA87l)));
    QVERIFY(n.has_value());
    // Typed over, the value comes back with the next click.
    s.w->calculator().setText(CalcEdit::EditApoxhEGSA, "");
    QVERIFY(cp->edit(CalcEdit::EditApoxhEGSA)->text().isEmpty());
    c.arm(map);
    cp->button(CalcButton::SpeedButton11)->click();
    QCOMPARE(cp->edit(CalcEdit::EditApoxhEGSA)->text(),
             QString::fromStdString(s.doc->numbers().floatToShownText(*n)));

    // Under the pointer: the place and the undulation there.
    map->showReadout(QPoint(400, 380));
    QVERIFY(map->readoutLabel()->text().startsWith(QStringLiteral("φ = ")));
    QVERIFY(map->readoutLabel()->text().contains(QStringLiteral("αποχή = ")));
    map->showReadout(QPoint(5, 5));  // off the map
    QVERIFY(map->readoutLabel()->text().isEmpty());

    // A point outside the map: said so, and the map without a marker.
    c.arm(map);
    s.w->showGeoidMap(45, 10);
    QVERIFY(QString::fromStdString(s.rec.messages().back()).contains(QStringLiteral("έξω")));
    QCOMPARE(c.shown.convertToFormat(QImage::Format_RGB32), paint::geoidMapImage());
}

QTEST_MAIN(PhotoWindowTest)
#include "PhotoWindowTest.moc"
