// The calculator's second page on the offscreen platform, on the demo
// network: switched to from the first page, a point typed into one group and
// converted, the other groups read back; the sheet picked by a search; a
// point outside the HEPOS grid told.

#include "AppSession.h"
#include "app/SystemsCalculatorPage.h"
#include "network/SystemsCalculator.h"

#include <QComboBox>
#include <array>
#include <cmath>
#include <QLabel>
#include <QToolButton>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {
const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");
}  // namespace

class SystemsCalculatorPageTest : public QObject {
    Q_OBJECT
private slots:
    void typedPointConvertedIntoEveryGroup();
};

void SystemsCalculatorPageTest::typedPointConvertedIntoEveryGroup()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    CalculatorPages* pages = s.w->calculatorPages();
    s.w->settingsPages()->setCurrentWidget(pages);
    QVERIFY(!pages->secondShown());
    QTest::mouseClick(pages->switchButton(), Qt::LeftButton);
    QVERIFY(pages->secondShown());
    SystemsCalculatorPage* p = pages->systemsPage();
    QVERIFY(p->isVisible());

    const NumberText& numbers = s.doc->numbers();
    auto value = [&](SysGroup g, int k) {
        const NumberResult r = numbers.readShown(p->edit(g, k)->text().toStdString());
        return r ? static_cast<double>(r.value) : -1e99;
    };
    // Typed as the screen shows numbers (the demo's separators).
    auto typeInto = [&](SysGroup g, std::array<double, 3> v) {
        for (int k = 0; k < 3; ++k) {
            p->edit(g, k)->clear();
            QTest::keyClicks(p->edit(g, k), QString::fromStdString(numbers.formatFixed(
                                                 v[static_cast<std::size_t>(k)], 3)));
        }
    };

    // The HEPOS manual's point typed in TM07 (the button waits for all three).
    QVERIFY(!p->button(SysGroup::TM07)->isEnabled());
    typeInto(SysGroup::TM07, {566446.108, 2529618.096, 51.610});
    QVERIFY(p->button(SysGroup::TM07)->isEnabled());
    QTest::mouseClick(p->button(SysGroup::TM07), Qt::LeftButton);
    QVERIFY(s.rec.messages().empty());
    QVERIFY(std::abs(value(SysGroup::EGSA87TM87, 0) - 566296.537) < 0.001);
    QVERIFY(std::abs(value(SysGroup::EGSA87TM87, 1) - 4529332.307) < 0.001);
    for (int g = 0; g < kSysGroupCount; ++g)
        for (int k = 0; k < 3; ++k)
            QVERIFY2(!p->edit(static_cast<SysGroup>(g), k)->text().isEmpty(),
                     sysGroupTitles(static_cast<SysGroup>(g)).title);
    // The sheet found from the point is named.
    QVERIFY(p->sheetFound()->text().startsWith(QStringLiteral("φύλλο ")));

    // The sheet by a search without accents in capitals, then HATT typed.
    p->sheetSearch()->setText(QStringLiteral("ΑΛΕΞΑΝΔΡΕΙΑ"));  // (keyClicks types ASCII only)
    QCOMPARE(p->sheetList()->currentText(), QStringLiteral("26  Αλεξάνδρεια"));
    typeInto(SysGroup::HattSheet, {-16997.09, -14277.15, 120});
    QTest::mouseClick(p->button(SysGroup::HattSheet), Qt::LeftButton);
    QVERIFY(s.rec.messages().empty());
    QVERIFY(std::abs(value(SysGroup::EGSA87TM87, 0) - 353310.92) < 0.01);
    QVERIFY(std::abs(value(SysGroup::EGSA87TM87, 1) - 4497950.95) < 0.01);
    QCOMPARE(p->sheetFound()->text(), QStringLiteral("φύλλο 26  Αλεξάνδρεια"));

    // West of the HEPOS grid: told, and HTRS07 and TM07 left empty.
    p->sheetSearch()->clear();
    typeInto(SysGroup::EGSA87TM87, {30000, 4400000, 0});
    QTest::mouseClick(p->button(SysGroup::EGSA87TM87), Qt::LeftButton);
    QVERIFY(!s.rec.messages().empty());
    QCOMPARE(QString::fromStdString(s.rec.messages().front()),
             QString::fromUtf8(kOutsideHeposText));
    QVERIFY(p->edit(SysGroup::TM07, 0)->text().isEmpty());
    QVERIFY(!p->edit(SysGroup::TM3West, 0)->text().isEmpty());

    QTest::mouseClick(pages->switchButton(), Qt::LeftButton);
    QVERIFY(!pages->secondShown());
}

QTEST_MAIN(SystemsCalculatorPageTest)
#include "SystemsCalculatorPageTest.moc"
