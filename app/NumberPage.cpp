#include "app/NumberPage.h"

#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace korthal::app {

NumberPage::NumberPage(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    auto* v = new QVBoxLayout(this);
    TabControlDecimal = new QTabBar(this);
    TabControlDecimal->setObjectName(QStringLiteral("TabControlDecimal"));
    TabControlDecimal->addTab(QStringLiteral("Οθόνη-Εκτυπωτής"));
    TabControlDecimal->addTab(QStringLiteral("αρχείο εισόδου"));
    TabControlDecimal->addTab(QStringLiteral("αρχείο εξόδου"));
    v->addWidget(TabControlDecimal);

    auto* body = new QWidget(this);
    auto* h = new QHBoxLayout(body);
    auto* seps = new QGroupBox(QStringLiteral("  διαχωριστικά  "), body);
    auto* sg = new QGridLayout(seps);
    ComboBox2 = new QComboBox(seps);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({QStringLiteral("τελεία"), QStringLiteral("κόμμα"), QStringLiteral("κενό"),
                         QStringLiteral("κανένα")});
    ComboBox3 = new QComboBox(seps);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->addItems({QStringLiteral("τελεία"), QStringLiteral("κόμμα")});
    sg->addWidget(new QLabel(QStringLiteral("χιλιάδων"), seps), 0, 0);
    sg->addWidget(ComboBox2, 0, 1);
    sg->addWidget(new QLabel(QStringLiteral("δεκαδικών"), seps), 1, 0);
    sg->addWidget(ComboBox3, 1, 1);
    sg->setRowStretch(2, 1);
    h->addWidget(seps);

    auto* decs = new QGroupBox(QStringLiteral("  δεκαδικά ψηφία  "), body);
    auto* dg = new QGridLayout(decs);
    auto spin = [decs](const char* name, int max) {
        auto* s = new QSpinBox(decs);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(0, max);
        return s;
    };
    SpinEdit2 = spin("SpinEdit2", 10);
    SpinEdit3 = spin("SpinEdit3", 10);
    SpinEdit1 = spin("SpinEdit1", 10);
    SpinEdit4 = spin("SpinEdit4", 12);
    dg->addWidget(new QLabel(QStringLiteral("συντ/γμένων GPS"), decs), 0, 0);
    dg->addWidget(SpinEdit2, 0, 1);
    dg->addWidget(new QLabel(QStringLiteral("συντ/γμένων ΕΓΣΑ87"), decs), 1, 0);
    dg->addWidget(SpinEdit3, 1, 1);
    dg->addWidget(new QLabel(QStringLiteral("παραμέτρων μετασχηματισμού"), decs), 2, 0);
    dg->addWidget(SpinEdit1, 2, 1);
    dg->addWidget(new QLabel(QStringLiteral("μοιρών  (DD.MMSSsss)"), decs), 3, 0);
    dg->addWidget(SpinEdit4, 3, 1);
    dg->setRowStretch(4, 1);
    h->addWidget(decs);
    h->addStretch(1);  // a wider window leaves the boxes where they are
    v->addWidget(body);
    v->addStretch();

    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this] { ComboBox3Change(); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });
    connect(SpinEdit2, &QSpinBox::valueChanged, this, [this] { SpinEdit2Change(); });
    connect(SpinEdit3, &QSpinBox::valueChanged, this, [this] { SpinEdit3Change(); });
    connect(SpinEdit4, &QSpinBox::valueChanged, this, [this] { SpinEdit4Change(); });
    connect(TabControlDecimal, &QTabBar::currentChanged, this, [this](int index) {
        if (showing_ || index == doc_.settings().page) return;
        if (!TabControlDecimalChanging()) {
            // The page being left could not be saved: stay on it.
            const QSignalBlocker b(TabControlDecimal);
            TabControlDecimal->setCurrentIndex(doc_.settings().page);
            return;
        }
        TabControlDecimalChange();
    });
    showSettings();
}

void NumberPage::showSettings()
{
    showing_ = true;
    const NetworkSettings& ns = doc_.settings();
    const QSignalBlocker b0(TabControlDecimal), b1(ComboBox2), b2(ComboBox3), b3(SpinEdit1),
        b4(SpinEdit2), b5(SpinEdit3), b6(SpinEdit4);
    TabControlDecimal->setCurrentIndex(ns.page);
    ComboBox2->setCurrentIndex(ns.thousandsChoice);
    ComboBox3->setCurrentIndex(ns.decimalChoice);
    SpinEdit1->setValue(ns.paramDecimals);
    SpinEdit2->setValue(ns.gpsDecimals);
    SpinEdit3->setValue(ns.egsaDecimals);
    SpinEdit4->setValue(ns.dmsDecimals);
    showing_ = false;
}

void NumberPage::changed(bool parameters)
{
    doc_.settingsChanged();
    if (parameters) doc_.ShowTransformationParameters();
    showSettings();
    emit numbersChanged();
}

void NumberPage::ComboBox2Change()
{
    if (showing_) return;
    doc_.settings().chooseThousandsSeparator(ComboBox2->currentIndex());
    changed(false);
}

void NumberPage::ComboBox3Change()
{
    if (showing_) return;
    doc_.settings().chooseDecimalSeparator(ComboBox3->currentIndex());
    changed(false);
}

void NumberPage::SpinEdit1Change()
{
    if (showing_) return;
    doc_.settings().setParameterDecimals(SpinEdit1->value());
    changed(true);
}

void NumberPage::SpinEdit2Change()
{
    if (showing_) return;
    doc_.settings().setGpsDecimals(SpinEdit2->value());
    changed(true);
}

void NumberPage::SpinEdit3Change()
{
    if (showing_) return;
    doc_.settings().setEgsa87Decimals(SpinEdit3->value());
    changed(false);
}

void NumberPage::SpinEdit4Change()
{
    if (showing_) return;
    doc_.settings().setDmsDecimals(SpinEdit4->value());
    changed(false);
}

bool NumberPage::TabControlDecimalChanging()
{
    if (!doc_.settingsModified()) return true;
    if (doc_.saveParams()) return true;
    showMessage(Document::saveErrorMessage(doc_.settingsFileName()));
    return false;
}

void NumberPage::TabControlDecimalChange()
{
    doc_.switchNumberPage(TabControlDecimal->currentIndex());
    showSettings();
    emit numbersChanged();
}

}  // namespace korthal::app
