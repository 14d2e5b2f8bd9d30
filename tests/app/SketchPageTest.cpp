// The sketch tab on the offscreen platform: its start-up modes, the picture
// at the picture's size, measuring with the mouse, zoom, pan and the way
// back, and the print button on every tab with the print dialog answered.

#include "AppSession.h"
#include "app/MainWindow.h"
#include "app/PrintListing.h"
#include "app/SketchPage.h"
#include "project/Document.h"

#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

QString demoFolder()
{
    return QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");
}

// What pdfinfo says of a file.
QString pdfInfo(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

const SketchDrawnPoint* pointNamed(const SketchLayout& L, const std::string& name)
{
    for (const auto& p : L.points)
        if (p.name == name)
            return &p;
    return nullptr;
}

QPoint pixel(const SketchDrawnPoint* p)
{
    return QPoint(int(p->px), int(p->py));
}

}  // namespace

class SketchPageTest : public QObject {
    Q_OBJECT
private slots:
    void startsInProjectedModeWithAllPoints();
    void pictureFollowsTheTabAndItsSize();
    void measuringFromPointToPoint();
    void zoomPanAndBack();
    void printButtonOnEveryTab();
};

void SketchPageTest::startsInProjectedModeWithAllPoints()
{
    Session s(demoFolder(), QStringLiteral("DEMO.WGS84"));
    SketchPage* page = s.w->sketchPage();
    QCOMPARE(page->sketch().SketchMode, 0);
    QCOMPARE(page->sketch().SketchFilter, 0);
    QCOMPARE(page->SpeedButton10a()->text(), QStringLiteral("π"));
    QCOMPARE(page->SpeedButton10a()->toolTip(),
             QStringLiteral("απεικόνιση Ελλειψοειδών συντεταγμένων"));
    QCOMPARE(page->SpeedButton15()->toolTip(),
             QStringLiteral("απεικόνιση μόνο των σημείων λεπτομερειών"));
    QCOMPARE(page->firstCaption()->text(), QStringLiteral(" E = "));
    QVERIFY(!page->SpeedButton10a()->icon().isNull());

    // The mode button clears the readout and shows the captions of φ, λ.
    page->firstValue()->setText(QStringLiteral("x"));
    page->SpeedButton10aClick();
    QCOMPARE(page->firstValue()->text(), QString());
    QCOMPARE(page->firstCaption()->text(), QStringLiteral(" φ = "));
    QCOMPARE(page->distanceCaption()->text(), QString());
    QCOMPARE(page->SpeedButton10a()->toolTip(), QStringLiteral("απεικόνιση συντεταγμένων HATT"));
}

void SketchPageTest::pictureFollowsTheTabAndItsSize()
{
    Session s(demoFolder(), QStringLiteral("DEMO.WGS84"));
    SketchPage* page = s.w->sketchPage();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet5());
    QApplication::processEvents();
    QVERIFY(s.w->Panel9()->isVisible());
    const QImage& img = page->Image2()->image();
    QCOMPARE(img.size(), page->Image2()->size());
    QCOMPARE(page->sketch().lastLayout().points.size(), std::size_t(36));
    // A red name beside a network point.
    const auto* s101 = pointNamed(page->sketch().lastLayout(), "Σ101");
    QVERIFY(s101);
    int red = 0;
    for (int x = 5; x < 35; ++x)
        for (int y = -2; y < 10; ++y) {
            const QRgb c = img.pixel(pixel(s101) + QPoint(x, y));
            red += qRed(c) > 200 && qGreen(c) < 80 ? 1 : 0;
        }
    QVERIFY(red > 3);

    // A new size is drawn anew at that size, with hit rectangles of its own.
    page->Image2()->resize(page->Image2()->width() - 200, page->Image2()->height() - 100);
    QCOMPARE(page->Image2()->image().size(), page->Image2()->size());
    QCOMPARE(page->sketch().lastLayout().W, page->Image2()->width());
}

void SketchPageTest::measuringFromPointToPoint()
{
    Session s(demoFolder(), QStringLiteral("DEMO.WGS84"));
    SketchPage* page = s.w->sketchPage();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet5());
    QApplication::processEvents();
    QWidget* pic = page->Image2();
    const SketchLayout& L = page->sketch().lastLayout();
    const QPoint a = pixel(pointNamed(L, "Σ101")), b = pixel(pointNamed(L, "Σ104"));

    // The readout's boxes show their texts whole, descenders and frame.
    for (QLabel* l : {page->firstValue(), page->secondValue()})
        QVERIFY(l->height() >= l->fontMetrics().height() + 2 * l->frameWidth() + 2);
    QTest::mousePress(pic, Qt::LeftButton, {}, a + QPoint(1, -1));
    QVERIFY(page->dragPanel()->isVisible());
    QCOMPARE(page->nameI()->text(), QStringLiteral("Σ101"));
    QTest::mouseMove(pic, b + QPoint(2, 1));
    QCOMPARE(page->nameJ()->text(), QStringLiteral("Σ104"));
    // The points' own coordinates: Σ104 − Σ101 of the network file.
    QCOMPARE(page->diff1Value()->text(), QStringLiteral("5.535,200"));
    QCOMPARE(page->diff2Value()->text(), QStringLiteral("-89,110"));
    QCOMPARE(page->distanceValue()->text(), QStringLiteral("5.535,917"));
    QCOMPARE(page->firstValue()->text(), QStringLiteral("396.336,890"));
    QCOMPARE(page->sketch().endX(), b.x() + 2);
    QTest::mouseRelease(pic, Qt::LeftButton, {}, b + QPoint(2, 1));
    // The measurement stays shown until the next click.
    QVERIFY(page->dragPanel()->isVisible());
    QCOMPARE(page->distanceValue()->text(), QStringLiteral("5.535,917"));
    QVERIFY(!page->sketch().dragging());

    // Outside any point the names are "Pi" and "Pj".
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(page->nameI()->text(), QStringLiteral("Pi"));
    QCOMPARE(page->nameJ()->text(), QStringLiteral("Pj"));
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(3, 3));
}

void SketchPageTest::zoomPanAndBack()
{
    Session s(demoFolder(), QStringLiteral("DEMO.WGS84"));
    SketchPage* page = s.w->sketchPage();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet5());
    QApplication::processEvents();
    QWidget* pic = page->Image2();
    const QPoint a = pixel(pointNamed(page->sketch().lastLayout(), "Σ101"));

    // Two notches of the wheel about Σ101: it stays under the pointer (to
    // the pixel), and the readout and hit test follow.
    QWheelEvent wheel(QPointF(a), pic->mapToGlobal(QPointF(a)), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic, &wheel);
    QVERIFY(page->sketch().zoom() > 1.4);
    const QPoint zoomed = pixel(pointNamed(page->sketch().lastLayout(), "Σ101"));
    QVERIFY((zoomed - a).manhattanLength() <= 2);
    QTest::mouseMove(pic, a);
    QCOMPARE(page->firstValue()->text(), QStringLiteral("390.801,690"));

    // A right-button drag moves the drawing.
    QTest::mousePress(pic, Qt::RightButton, {}, QPoint(300, 200));
    QTest::mouseMove(pic, QPoint(250, 180));
    QTest::mouseRelease(pic, Qt::RightButton, {}, QPoint(250, 180));
    const QPoint moved = pixel(pointNamed(page->sketch().lastLayout(), "Σ101"));
    QVERIFY((moved - (zoomed + QPoint(-50, -20))).manhattanLength() <= 1);

    // A double click returns to the fitted view.
    QTest::mouseDClick(pic, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!page->sketch().viewChanged());
    QCOMPARE(pixel(pointNamed(page->sketch().lastLayout(), "Σ101")), a);
}

void SketchPageTest::printButtonOnEveryTab()
{
    Session s(demoFolder(), QStringLiteral("DEMO.WGS84"));
    QString offered;
    QString out = s.dir.filePath(QStringLiteral("print.pdf"));
    setPrintDialogHook([&](QPrinter& printer) {
        offered = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        return true;
    });

    // The sketch: one landscape page.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet5());
    QApplication::processEvents();
    s.w->SpeedButton1Click();
    QVERIFY(pdfInfo(out).contains(QStringLiteral("Pages:           1")));
    QVERIFY(pdfInfo(out).contains(QStringLiteral("842 x 595")));
    QVERIFY(offered.isEmpty() || offered.endsWith(QStringLiteral("DEMO_σκαρίφημα.pdf")));

    // The network listing: portrait pages.
    out = s.dir.filePath(QStringLiteral("list.pdf"));
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.w->SpeedButton1Click();
    QVERIFY(pdfInfo(out).contains(QStringLiteral("595 x 842")));
    QVERIFY(offered.isEmpty() || offered.endsWith(QStringLiteral("DEMO.pdf")));

    // A PDF that cannot be written gets the save error message.
    out = s.dir.filePath(QStringLiteral("no-such-folder/list.pdf"));
    s.rec.clear();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet1());
    s.w->SpeedButton1Click();
    QCOMPARE(int(s.rec.messages().size()), 1);
    QVERIFY(QString::fromStdString(s.rec.messages()[0]).contains(QStringLiteral("list.pdf")));
    setPrintDialogHook({});
}

QTEST_MAIN(SketchPageTest)
#include "SketchPageTest.moc"
