#include "app/RinexGrid.h"

#include "network/NumberText.h"
#include "views/RinexTable.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

namespace korthal::app {

namespace {

QColor qColour(std::uint32_t c)
{
    return QColor(rinex::colourRed(c), rinex::colourGreen(c), rinex::colourBlue(c));
}

// The longest text a column shows.
const char* sampleText(int field)
{
    switch (field) {
    case rnx::epoxh: return "999999";
    case rnx::Date: return "30/12/99";
    case rnx::Time: return "23 : 59 :  59,9999999";
    case rnx::Health: return "Powered OFF";
    case rnx::PRN: return "999";
    case rnx::L1slip:
    case rnx::L2slip: return "99999";
    case rnx::Sxolio: return "";
    default: break;
    }
    switch (rinex::cellAlignment(field)) {
    case rinex::CellAlign::Centre: return "very good";  // the LLI and strength texts
    case rinex::CellAlign::Right: return "-123.456.789,999";
    case rinex::CellAlign::Left: break;
    }
    return "";
}

}  // namespace

RinexGridModel::RinexGridModel(MemTable& table, const NumberText& numbers, QObject* parent)
    : PointTableModel(table, parent), rinex_(table), numbers_(numbers)
{
    std::vector<GridColumn> cols;
    for (const rinex::GridColumnDef& d : rinex::gridColumns()) {
        GridColumn c;
        c.field = d.field;
        c.title = QString::fromUtf8(d.title);
        // Only the comment is typed into; the observations are the file's.
        c.readOnly = d.field != rnx::Sxolio;
        c.display = [this, f = d.field](Rec r) {
            return QString::fromStdString(rinex::cellText(rinex_, r, f, numbers_));
        };
        c.editText = [this, f = d.field](Rec r) {
            return QString::fromStdString(rinex_.getString(r, f));
        };
        c.red = [this, f = d.field](Rec r) { return rinex::cellIsRed(rinex_, r, f); };
        cols.push_back(std::move(c));
    }
    setColumns(std::move(cols));
    setSetText([this](Rec r, int column, const std::string& text) {
        if (this->column(column).field != rnx::Sxolio) return false;
        rinex_.setString(r, rnx::Sxolio, text);
        commentsChanged_ = true;
        return true;
    });
    colours_.reset(table);
}

QVariant RinexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::BackgroundRole) {
        const Rec r = rinex_.recAt(index.row());
        if (r == NoRec) return {};
        return qColour(colours_.colourOf(rinex_, r));
    }
    if (role == Qt::TextAlignmentRole) {
        switch (rinex::cellAlignment(column(index.column()).field)) {
        case rinex::CellAlign::Centre: return QVariant::fromValue(Qt::AlignCenter);
        case rinex::CellAlign::Right:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case rinex::CellAlign::Left: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    if (role == Qt::ForegroundRole) {
        const QVariant red = PointTableModel::data(index, role);
        return red.isValid() ? red : QVariant(QColor(Qt::black));
    }
    return PointTableModel::data(index, role);
}

QVariant RinexGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 0 &&
        section < rinex::kGridColumns &&
        rinex::gridColumns()[static_cast<std::size_t>(section)].rightAligned)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return PointTableModel::headerData(section, o, role);
}

void RinexGridModel::endReset()
{
    // A load, a read or a change of index: the satellites and the order
    // that the colours follow may have changed.
    colours_.reset(rinex_);
    PointTableModel::endReset();
}

RinexGrid::RinexGrid(MemTable& table, const NumberText& numbers, QWidget* parent)
    : QTableView(parent), table_(table), model_(new RinexGridModel(table, numbers, this)),
      header_(new GroupHeaderView(this))
{
    setObjectName(QStringLiteral("Grid"));
    setHorizontalHeader(header_);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // The grid's own background is the first row colour.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, qColour(rinex::kFirstRowColour));
    setPalette(pal);

    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    verticalHeader()->setFont(small);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setFixedWidth(12);
    QFont bold = small;
    bold.setBold(true);
    header_->setFont(bold);
    header_->setFixedHeight(kTitleBand);
    header_->setSectionsClickable(true);
    header_->setMinimumSectionSize(4);

    std::vector<GroupHeaderView::Group> groups;
    for (const rinex::GridGroup& g : rinex::gridGroups())
        groups.push_back({g.first, g.last, QString::fromUtf8(g.title)});
    header_->setGroups(std::move(groups));
    // At least the widths the columns are meant to have, and wide enough for
    // their longest texts and for each word of their titles.
    const QFontMetrics fm(small), fb(bold);
    for (int c = 0; c < rinex::kGridColumns; ++c) {
        const rinex::GridColumnDef& d = rinex::gridColumns()[static_cast<std::size_t>(c)];
        int w = std::max(d.width, fm.horizontalAdvance(QString::fromUtf8(sampleText(d.field))) + 10);
        for (const QString& word : QString::fromUtf8(d.title).split(QLatin1Char(' ')))
            w = std::max(w, fb.horizontalAdvance(word) + 10);
        widths_[static_cast<std::size_t>(c)] = w;
        setColumnWidth(c, w);
    }

    connect(header_, &QHeaderView::sectionClicked, this, &RinexGrid::titleClick);
    header_->viewport()->setMouseTracking(true);
    header_->viewport()->installEventFilter(this);
}

void RinexGrid::commitDataIfEditing()
{
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void RinexGrid::titleClick(int column)
{
    const std::string index = rinex::indexForTitleClick(column);
    if (!index.empty() && index != table_.indexName()) table_.setIndex(index);
}

void RinexGrid::titleMouseMove(const QPoint& pos)
{
    QWidget* v = header_->viewport();
    int sortWidth = 0;
    for (int c = 0; c < rinex::kSortColumns; ++c) sortWidth += fullWidth(c);
    if (pos.y() < kTitleBand && pos.x() < sortWidth) {
        v->setCursor(Qt::DragCopyCursor);
        v->setToolTip(QString::fromUtf8(kSortHint));
    } else {
        v->unsetCursor();
        v->setToolTip(QString());
        QToolTip::hideText();
    }
}

bool RinexGrid::eventFilter(QObject* o, QEvent* e)
{
    if (o == header_->viewport() && e->type() == QEvent::MouseMove)
        titleMouseMove(static_cast<QMouseEvent*>(e)->position().toPoint());
    return QTableView::eventFilter(o, e);
}

}  // namespace korthal::app
