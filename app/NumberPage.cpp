#include "app/NumberPage.h"

#include "app/DocAccess.h"
#include "geodesy/Dialogs.h"
#include "project/Document.h"

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
    v->addWidget(body);
    v->addStretch();

    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this] { ComboBox3Change(); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });
    connect(SpinEdit2, &QSpinBox::valueChanged, this, [this] { SpinEdit2Change(); });
    connect(SpinEdit3, &QSpinBox::valueChanged, this, [this] { SpinEdit3Change(); });
    connect(SpinEdit4, &QSpinBox::valueChanged, this, [this] { SpinEdit4Change(); });
    connect(TabControlDecimal, &QTabBar::currentChanged, this, [this](int index) {
        if (showing_ || index == page_) return;
        // The switch has already happened in the tab bar: save the page left.
        const int now = index;
        setNumberPage(doc_, page_);
        if (!TabControlDecimalChanging()) {
            const QSignalBlocker b(TabControlDecimal);
            TabControlDecimal->setCurrentIndex(page_);
            return;
        }
        page_ = now;
        setNumberPage(doc_, page_);
        TabControlDecimalChange();
    });
    showSettings();
}

void NumberPage::showSettings()
{
    showing_ = true;
    const NumberSettings& ns = numberSettings(doc_);
    const auto k = static_cast<std::size_t>(numberPage(doc_));
    page_ = static_cast<int>(k);
    const QSignalBlocker b0(TabControlDecimal), b1(ComboBox2), b2(ComboBox3), b3(SpinEdit1),
        b4(SpinEdit2), b5(SpinEdit3), b6(SpinEdit4);
    TabControlDecimal->setCurrentIndex(page_);
    ComboBox2->setCurrentIndex(thousandsToIndex(ns.ThousandSeparators[k]));
    ComboBox3->setCurrentIndex(decimalToIndex(ns.DecimalSeparators[k]));
    SpinEdit1->setValue(ns.ParamDecimals[k]);
    SpinEdit2->setValue(ns.GPSDecimals[k]);
    SpinEdit3->setValue(ns.EGSA87Decimals[k]);
    SpinEdit4->setValue(ns.DMSDecimals[k]);
    showing_ = false;
}

void NumberPage::storeSeparators()
{
    NumberSettings& ns = numberSettings(doc_);
    const auto k = static_cast<std::size_t>(page_);
    ns.ThousandSeparators[k] = thousandsFromIndex(ComboBox2->currentIndex());
    ns.DecimalSeparators[k] = decimalFromIndex(ComboBox3->currentIndex());
    doc_.numbers().setDisplay({ns.DecimalSeparators[0], ns.ThousandSeparators[0]});
    doc_.SettingsModified = true;
    emit numbersChanged();
}

void NumberPage::ComboBox2Change()
{
    if (showing_) return;
    Separators s{decimalFromIndex(ComboBox3->currentIndex()),
                 thousandsFromIndex(ComboBox2->currentIndex())};
    s = afterThousandsChange(s);
    {
        const QSignalBlocker b(ComboBox3);
        ComboBox3->setCurrentIndex(decimalToIndex(s.decimal));
    }
    storeSeparators();
}

void NumberPage::ComboBox3Change()
{
    if (showing_) return;
    Separators s{decimalFromIndex(ComboBox3->currentIndex()),
                 thousandsFromIndex(ComboBox2->currentIndex())};
    s = afterDecimalChange(s);
    {
        const QSignalBlocker b(ComboBox2);
        ComboBox2->setCurrentIndex(thousandsToIndex(s.thousands));
    }
    storeSeparators();
}

void NumberPage::SpinEdit1Change()
{
    if (showing_) return;
    numberSettings(doc_).ParamDecimals[static_cast<std::size_t>(page_)] = SpinEdit1->value();
    doc_.SettingsModified = true;
    doc_.ShowTransformationParameters();
    emit numbersChanged();
}

void NumberPage::SpinEdit2Change()
{
    if (showing_) return;
    numberSettings(doc_).GPSDecimals[static_cast<std::size_t>(page_)] = SpinEdit2->value();
    doc_.SettingsModified = true;
    doc_.ShowTransformationParameters();
    emit numbersChanged();
}

void NumberPage::SpinEdit3Change()
{
    if (showing_) return;
    numberSettings(doc_).EGSA87Decimals[static_cast<std::size_t>(page_)] = SpinEdit3->value();
    doc_.SettingsModified = true;
    emit numbersChanged();
}

void NumberPage::SpinEdit4Change()
{
    if (showing_) return;
    numberSettings(doc_).DMSDecimals[static_cast<std::size_t>(page_)] = SpinEdit4->value();
    doc_.SettingsModified = true;
    emit numbersChanged();
}

bool NumberPage::TabControlDecimalChanging()
{
    if (!doc_.SettingsModified) return true;
    if (doc_.saveParams()) return true;
    showMessage(Document::saveErrorMessage(doc_.settingsFileName()));
    return false;
}

void NumberPage::TabControlDecimalChange()
{
    doc_.LoadParams();
    showSettings();
    emit numbersChanged();
}

}  // namespace korthal::app
