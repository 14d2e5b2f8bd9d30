#include "app/CalculatorPage.h"

#include "project/Dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace korthal::app {

namespace {

std::size_t ix(CalcEdit e) { return static_cast<std::size_t>(e); }
std::size_t ix(CalcButton b) { return static_cast<std::size_t>(b); }

QStringList sheetRowItems()
{
    QStringList items;
    for (int i = 0; i < kSheetRows; ++i) {
        const int minutes = 34 * 60 + 45 + 30 * i;
        QString s = QStringLiteral("       %1°  %2'").arg(minutes / 60).arg(minutes % 60, 2, 10,
                                                                            QLatin1Char('0'));
        if (i == kSheetRows - 1) s += QLatin1Char('\'');
        items << s;
    }
    return items;
}

QStringList sheetColItems()
{
    QStringList items;
    for (int j = 0; j < kSheetCols; ++j) {
        const int minutes = -4 * 60 - 15 + 30 * j;
        const int a = minutes < 0 ? -minutes : minutes;
        QString s = (minutes < 0 ? QStringLiteral("      - ") : QStringLiteral("     + ")) +
                    QStringLiteral("%1°  %2'").arg(a / 60, 2, 10, QLatin1Char('0'))
                        .arg(a % 60, 2, 10, QLatin1Char('0'));
        if (j == kSheetCols - 1) s += QLatin1Char('\'');
        items << s;
    }
    return items;
}

}  // namespace

CalculatorPage::CalculatorPage(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc)
{
    // One size smaller than the window's, so that three coordinates with
    // grouping fit side by side.
    QFont small = font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() - 1);
    setFont(small);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    const QStringList geo{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    const QStringList ell{QStringLiteral("φ"), QStringLiteral("λ"), QStringLiteral("h")};
    const QStringList tm{QStringLiteral("E"), QStringLiteral("N"), QStringLiteral("H")};
    const QStringList hatt{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("H")};

    auto pair = [&](CalcButton a, const QString& ta, CalcButton b, const QString& tb,
                    Qt::Orientation o) {
        auto* w = new QWidget(this);
        QBoxLayout* l = o == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(w))
                                            : static_cast<QBoxLayout*>(new QVBoxLayout(w));
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(2);
        l->addStretch();
        l->addWidget(makeButton(a, ta));
        l->addWidget(makeButton(b, tb));
        l->addStretch();
        return w;
    };

    grid->addWidget(group(QStringLiteral("WGS84 ελλειψοειδείς  (φ, λ: DD.MMSSsss)"), CalcEdit::WGS84f, ell), 0, 0);
    grid->addWidget(pair(CalcButton::SBWGS84eg, QStringLiteral("→"), CalcButton::SBWGS84ge,
                         QStringLiteral("←"), Qt::Vertical), 0, 1);
    grid->addWidget(group(QStringLiteral("WGS84 γεωκεντρικές"), CalcEdit::WGS84X, geo), 0, 2);

    grid->addWidget(pair(CalcButton::SBWGS84eEGSA87e, QStringLiteral("⇓"),
                         CalcButton::SBEGSA87eWGS84e, QStringLiteral("⇑"), Qt::Horizontal), 1, 0);
    grid->addWidget(pair(CalcButton::SBWGS84gEGSA87g, QStringLiteral("↓"),
                         CalcButton::SBEGSA87gWGS84g, QStringLiteral("↑"), Qt::Horizontal), 1, 2);

    grid->addWidget(group(QStringLiteral("ΕΓΣΑ87 ελλειψοειδείς GRS80  (φ, λ: DD.MMSSsss)"), CalcEdit::EGSA87f, ell), 2, 0);
    grid->addWidget(pair(CalcButton::SBEGSA87eg, QStringLiteral("→"), CalcButton::SBEGSA87ge,
                         QStringLiteral("←"), Qt::Vertical), 2, 1);
    grid->addWidget(group(QStringLiteral("ΕΓΣΑ87 γεωκεντρικές"), CalcEdit::EGSA87X, geo), 2, 2);

    {
        auto* w = new QWidget(this);
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->addStretch();
        l->addWidget(makeButton(CalcButton::SBEGSAeTM, QStringLiteral("↓")));
        l->addWidget(makeButton(CalcButton::SBTM87EGSAe, QStringLiteral("↑")));
        auto* e = new QLineEdit(w);
        e->setObjectName(QStringLiteral("EditApoxhEGSA"));
        e->setAlignment(Qt::AlignRight);
        edits_[ix(CalcEdit::EditApoxhEGSA)] = e;
        l->addWidget(e);
        auto* sb11 = new QToolButton(w);
        sb11->setObjectName(QStringLiteral("SpeedButton11"));
        sb11->setText(QStringLiteral("αποχή"));
        sb11->setToolTip(
            QStringLiteral("Συμπληρώνει την αποχή του γεωειδούς και δείχνει το σημείο στον χάρτη"));
        buttons_[ix(CalcButton::SpeedButton11)] = sb11;
        // The model's undulation at the point goes into its edit first, then
        // the map shows the point, as it always has.
        connect(sb11, &QToolButton::clicked, this, [this] {
            Extended phi = 0, lambda = 0;
            const CalcOutcome o = calc_.geoidMarker(phi, lambda);
            showMessages(o);
            if (!o) return;
            emit undulationRequested(phi, lambda);
            emit geoidMapRequested(static_cast<double>(phi), static_cast<double>(lambda));
        });
        l->addWidget(sb11);
        l->addStretch();
        grid->addWidget(w, 3, 0);
    }
    grid->addWidget(pair(CalcButton::SBEGSAgTM87m, QStringLiteral("↓"),
                         CalcButton::SBTM87mEGSA87g, QStringLiteral("↑"), Qt::Horizontal), 3, 2);

    grid->addWidget(group(QStringLiteral("ΤΜ87"), CalcEdit::TM87E, tm), 4, 0);
    grid->addWidget(pair(CalcButton::SBTM87TM87m, QStringLiteral("→"), CalcButton::SBTM87mTM87,
                         QStringLiteral("←"), Qt::Vertical), 4, 1);
    grid->addWidget(group(QStringLiteral("ΤΜ87 μετά τον μετασχηματισμό του δικτύου"), CalcEdit::TM87Em, tm), 4, 2);

    grid->addWidget(pair(CalcButton::SBTM87HATT, QStringLiteral("↓"), CalcButton::SBHATTTM87,
                         QStringLiteral("↑"), Qt::Horizontal), 5, 0);
    grid->addWidget(pair(CalcButton::SBTM87mHATT, QStringLiteral("↙"), CalcButton::SBHATTTM87m,
                         QStringLiteral("↗"), Qt::Horizontal), 5, 2);

    grid->addWidget(group(QStringLiteral("HATT"), CalcEdit::HATTx, hatt), 6, 0);
    {
        auto* box = new QGroupBox(QStringLiteral("  περιοχή  "), this);
        auto* l = new QGridLayout(box);
        l->setContentsMargins(4, 2, 4, 2);
        cbf_ = new QComboBox(box);
        cbf_->setObjectName(QStringLiteral("CBf"));
        cbf_->addItems(sheetRowItems());
        cbl_ = new QComboBox(box);
        cbl_->setObjectName(QStringLiteral("CBl"));
        cbl_->addItems(sheetColItems());
        cbArea_ = new QComboBox(box);
        cbArea_->setObjectName(QStringLiteral("CBperioxhs"));
        auto* ah = new QLineEdit(box);
        ah->setObjectName(QStringLiteral("EditApoxhHATT"));
        ah->setAlignment(Qt::AlignRight);
        edits_[ix(CalcEdit::EditApoxhHATT)] = ah;
        l->addWidget(new QLabel(QStringLiteral("φ0"), box), 0, 0);
        l->addWidget(cbf_, 0, 1);
        l->addWidget(new QLabel(QStringLiteral("λ0-λA"), box), 0, 2);
        l->addWidget(cbl_, 0, 3);
        l->addWidget(cbArea_, 1, 0, 1, 3);
        l->addWidget(new QLabel(QStringLiteral("αποχή"), box), 1, 3);
        l->addWidget(ah, 1, 4);
        grid->addWidget(box, 6, 1, 1, 2);
        connect(cbf_, &QComboBox::activated, this,
                [this](int i) { calc_.setSheet(i, calc_.sheetCol()); });
        connect(cbl_, &QComboBox::activated, this,
                [this](int j) { calc_.setSheet(calc_.sheetRow(), j); });
        connect(cbArea_, &QComboBox::activated, this,
                [this](int k) { calc_.selectHattArea(k); });
    }
    // A larger window leaves the calculator as it is, in its corner.
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(3, 1);

    for (std::size_t k = ix(CalcEdit::EditApoxhEGSA); k <= ix(CalcEdit::EditApoxhHATT); ++k) {
        const auto e = static_cast<CalcEdit>(k);
        connect(edits_[k], &QLineEdit::textEdited, this,
                [this, e](const QString& t) { calc_.setText(e, t.toStdString()); });
    }
    calc_.onChanged = [this] { sync(); };
    sync();
    fitEdits();
}

void CalculatorPage::fitEdits()
{
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        QLineEdit* ed = edits_[k];
        if (!ed) continue;
        const QString widest = QString::fromStdString(calc_.widestText(static_cast<CalcEdit>(k)));
        const int frame = ed->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, ed);
        const int width = ed->fontMetrics().horizontalAdvance(widest) + 2 * frame + 10;
        ed->setFixedWidth(width);
    }
}

QWidget* CalculatorPage::group(const QString& title, CalcEdit first, const QStringList& labels)
{
    auto* box = new QGroupBox(title, this);
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(2);
    for (int k = 0; k < 3; ++k) {
        const auto e = static_cast<CalcEdit>(static_cast<int>(first) + k);
        l->addWidget(new QLabel(labels[k], box));
        auto* ed = new QLineEdit(box);
        ed->setAlignment(Qt::AlignRight);
        edits_[ix(e)] = ed;
        l->addWidget(ed);
        connect(ed, &QLineEdit::textEdited, this,
                [this, e](const QString& t) { calc_.setText(e, t.toStdString()); });
        connect(ed, &QLineEdit::editingFinished, this, [this, e] {
            const CalcOutcome o = calc_.exitEdit(e);
            showMessages(o);
            if (!o) focusRefused(o.refused);
        });
    }
    return box;
}

QToolButton* CalculatorPage::makeButton(CalcButton b, const QString& text)
{
    auto* t = new QToolButton(this);
    t->setText(text);
    t->setToolTip(QString::fromUtf8(kCalcButtonHint));
    t->setAutoRaise(false);
    buttons_[ix(b)] = t;
    connect(t, &QToolButton::clicked, this, [this, b] {
        const CalcOutcome o = calc_.convert(b);
        showMessages(o);
        if (!o) focusRefused(o.refused);
    });
    return t;
}

void CalculatorPage::showMessages(const CalcOutcome& o)
{
    for (const CalcMessage& m : o.messages) {
        MsgIcon icon = MsgIcon::None;
        switch (m.problem) {
        case CalcProblem::NotANumber: icon = MsgIcon::Error; break;
        case CalcProblem::NoSheet:
        case CalcProblem::NoConvergence: icon = MsgIcon::Exclamation; break;
        case CalcProblem::Singular: icon = MsgIcon::None; break;
        }
        showMessage(m.text, icon);
    }
}

void CalculatorPage::focusRefused(CalcEdit e)
{
    // Once the message has closed: the cursor goes into the edit whose text
    // was not a number, with that text selected for retyping.
    if (e == CalcEdit::Count) return;
    QLineEdit* ed = edit(e);
    QTimer::singleShot(0, ed, [ed] {
        ed->setFocus(Qt::OtherFocusReason);
        ed->selectAll();
    });
}

void CalculatorPage::fillAreas()
{
    QSignalBlocker block(cbArea_);
    cbArea_->clear();
    for (const HattArea& a : HattAreas) cbArea_->addItem(QString::fromUtf8(a.name));
    cbArea_->setCurrentIndex(-1);
}

void CalculatorPage::sync()
{
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        if (!edits_[k]) continue;
        const QString t = QString::fromStdString(calc_.text(static_cast<CalcEdit>(k)));
        if (edits_[k]->text() != t) edits_[k]->setText(t);
    }
    for (std::size_t k = 0; k < buttons_.size(); ++k)
        if (buttons_[k]) buttons_[k]->setEnabled(calc_.enabled(static_cast<CalcButton>(k)));
    const QSignalBlocker b1(cbf_), b2(cbl_), b3(cbArea_);
    cbf_->setCurrentIndex(calc_.sheetRow());
    cbl_->setCurrentIndex(calc_.sheetCol());
    cbArea_->setCurrentIndex(calc_.area() < cbArea_->count() ? calc_.area() : -1);
}

}  // namespace korthal::app
