#include "app/SystemsCalculatorPage.h"

#include "project/Dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace korthal::app {

namespace {

const char* const kConvertHint = "Κάντε κλίκ για να γίνει η αναγωγή";
const char* const kFromPoint = "από το σημείο";

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The page's place of each group: two columns, the HEPOS systems and the old
// datum's grids on the left, ED50, the sheets and the first page's systems on
// the right.
struct Place {
    SysGroup group;
    int row, column;
};
constexpr Place kPlaces[] = {
    {SysGroup::HTRS07Geo, 0, 0},  {SysGroup::HTRS07Xyz, 1, 0},  {SysGroup::TM07, 2, 0},
    {SysGroup::TM3West, 3, 0},    {SysGroup::TM3Central, 4, 0}, {SysGroup::TM3East, 5, 0},
    {SysGroup::UTM34ED50, 0, 1},  {SysGroup::UTM35ED50, 1, 1},  {SysGroup::EGSA87TM87, 2, 1},
    {SysGroup::EGSA87Geo, 3, 1},  {SysGroup::WGS84Geo, 4, 1},   {SysGroup::WGS84Xyz, 5, 1},
};

}  // namespace

SystemsCalculatorPage::SystemsCalculatorPage(SystemsContext ctx, QWidget* parent)
    : QWidget(parent), calc_(ctx)
{
    // The first page's font, one size smaller than the window's.
    QFont small = font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() - 1);
    setFont(small);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    for (const Place& p : kPlaces)
        grid->addWidget(group(p.group), p.row, p.column);
    grid->addWidget(group(SysGroup::HattSheet), 6, 0);
    grid->addWidget(sheetBox(), 6, 1);
    // A larger window leaves the page as it is, in its corner.
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(2, 1);
    fillSheets({});
    sync();
}

QWidget* SystemsCalculatorPage::group(SysGroup g)
{
    const SysGroupTitles& t = sysGroupTitles(g);
    auto* box = new QGroupBox(QString::fromUtf8(t.title), this);
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(2);
    // Wide enough for 4 500 000,0000 with grouping, or a packed angle.
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("-4.500.000,00000")) + 12;
    for (int k = 0; k < 3; ++k) {
        l->addWidget(new QLabel(QString::fromUtf8(t.labels[k]), box));
        auto* ed = new QLineEdit(box);
        ed->setAlignment(Qt::AlignRight);
        ed->setFixedWidth(width);
        edits_[ix(g)][static_cast<std::size_t>(k)] = ed;
        l->addWidget(ed);
        connect(ed, &QLineEdit::textEdited, this, [this, g, k](const QString& text) {
            calc_.setText(g, k, text.toStdString());
            buttons_[ix(g)]->setEnabled(calc_.complete(g));
        });
    }
    auto* b = new QToolButton(box);
    b->setText(QStringLiteral("⇉"));
    b->setToolTip(QString::fromUtf8(kConvertHint));
    buttons_[ix(g)] = b;
    l->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, g] { convert(g); });
    return box;
}

QWidget* SystemsCalculatorPage::sheetBox()
{
    auto* box = new QGroupBox(QStringLiteral("φύλλο HATT 1:50 000"), this);
    auto* l = new QGridLayout(box);
    l->setContentsMargins(4, 2, 4, 2);
    search_ = new QLineEdit(box);
    search_->setObjectName(QStringLiteral("sheetSearch"));
    search_->setPlaceholderText(QStringLiteral("όνομα ή αριθμός"));
    search_->setClearButtonEnabled(true);
    sheets_ = new QComboBox(box);
    sheets_->setObjectName(QStringLiteral("sheetList"));
    sheets_->setMinimumContentsLength(24);
    sheets_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    found_ = new QLabel(box);
    found_->setObjectName(QStringLiteral("sheetFound"));
    l->addWidget(new QLabel(QStringLiteral("αναζήτηση"), box), 0, 0);
    l->addWidget(search_, 0, 1);
    l->addWidget(sheets_, 1, 0, 1, 2);
    l->addWidget(found_, 2, 0, 1, 2);
    connect(search_, &QLineEdit::textChanged, this, &SystemsCalculatorPage::fillSheets);
    connect(sheets_, &QComboBox::currentIndexChanged, this, [this](int i) {
        calc_.chooseSheet(i < 0 ? -1 : sheets_->itemData(i).toInt());
        sync();
    });
    return box;
}

void SystemsCalculatorPage::fillSheets(const QString& query)
{
    const std::vector<int> found = searchSheets(query.trimmed().toStdString());
    const QSignalBlocker block(sheets_);
    sheets_->clear();
    // Without a search the sheet is found from the point; a search offers
    // its sheets, the best first and chosen.
    if (query.trimmed().isEmpty())
        sheets_->addItem(QString::fromUtf8(kFromPoint), -1);
    for (int s : found)
        sheets_->addItem(qs(sheetLabel(s)), s);
    sheets_->setCurrentIndex(sheets_->count() > 0 ? 0 : -1);
    calc_.chooseSheet(sheets_->count() > 0 ? sheets_->itemData(0).toInt() : -1);
    sync();
}

void SystemsCalculatorPage::convert(SysGroup g)
{
    const SysOutcome r = calc_.convertFrom(g);
    sync();
    for (const std::string& m : r.messages)
        showMessage(m, MsgIcon::Exclamation);
    if (r.refusedGroup != SysGroup::Count) {
        // Once the message has closed: back to the edit that could not be
        // read, its text selected for retyping.
        QLineEdit* ed = edit(r.refusedGroup, r.refusedEdit);
        QTimer::singleShot(0, ed, [ed] {
            ed->setFocus(Qt::OtherFocusReason);
            ed->selectAll();
        });
    }
}

void SystemsCalculatorPage::sync()
{
    for (int k = 0; k < kSysGroupCount; ++k) {
        const auto g = static_cast<SysGroup>(k);
        for (int e = 0; e < 3; ++e) {
            const QString t = qs(calc_.text(g, e));
            QLineEdit* ed = edit(g, e);
            if (ed->text() != t) ed->setText(t);
        }
        buttons_[ix(g)]->setEnabled(calc_.complete(g));
    }
    const int s = calc_.sheet();
    found_->setText(s < 0 ? QString() : QStringLiteral("φύλλο ") + qs(sheetLabel(s)));
}

CalculatorPages::CalculatorPages(QWidget* first, SystemsCalculatorPage* second, QWidget* parent)
    : QWidget(parent), systems_(second)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 0);
    switch_ = new QToolButton(this);
    switch_->setObjectName(QStringLiteral("calculatorSwitch"));
    bar->addWidget(switch_);
    bar->addStretch();
    v->addLayout(bar);
    stack_ = new QStackedWidget(this);
    stack_->addWidget(first);
    // The second page scrolls on a small window, as the first does.
    auto* scroll = new QScrollArea(stack_);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(second);
    stack_->addWidget(scroll);
    v->addWidget(stack_);
    connect(switch_, &QToolButton::clicked, this, [this] { showSecond(!secondShown()); });
    showSecond(false);
}

bool CalculatorPages::secondShown() const { return stack_->currentIndex() == 1; }

void CalculatorPages::showSecond(bool second)
{
    stack_->setCurrentIndex(second ? 1 : 0);
    switch_->setText(second ? QStringLiteral("◂ ΕΓΣΑ87, WGS84, HATT")
                            : QStringLiteral("HTRS07, ΤΜ07, ΤΜ3, UTM, φύλλα HATT ▸"));
}

}  // namespace korthal::app
