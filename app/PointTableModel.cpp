#include "app/PointTableModel.h"

#include <QFont>

namespace korthal::app {

PointTableModel::PointTableModel(MemTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table)
{
    table_.addListener(this);
}

PointTableModel::~PointTableModel() { table_.removeListener(this); }

void PointTableModel::setColumns(std::vector<GridColumn> cols)
{
    beginResetModel();
    columns_ = std::move(cols);
    endResetModel();
}

void PointTableModel::setColumnTitle(int c, const QString& title)
{
    columns_[static_cast<std::size_t>(c)].title = title;
    emit headerDataChanged(Qt::Horizontal, c, c);
}

void PointTableModel::setColumnReadOnly(int c, bool ro)
{
    columns_[static_cast<std::size_t>(c)].readOnly = ro;
}

void PointTableModel::refresh()
{
    table_.invalidateCalc();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int PointTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.recordCount();
}

int PointTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const Rec r = table_.recAt(index.row());
    if (r == NoRec) return {};
    const GridColumn& c = column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return c.display ? c.display(r) : QString::fromStdString(table_.text(r, c.field));
    case Qt::EditRole:
        if (c.editText) return c.editText(r);
        return c.display ? c.display(r) : QString::fromStdString(table_.text(r, c.field));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(c.numeric ? (Qt::AlignRight | Qt::AlignVCenter)
                                             : (Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::ForegroundRole:
        if (c.red && c.red(r)) {
            if (rowMark_) {
                const QColor marked = rowMark_(r).text;
                if (marked.isValid()) return marked;
            }
            return QColor(255, 0, 0);
        }
        return {};
    case Qt::BackgroundRole:
        if (rowMark_) {
            const QColor ground = rowMark_(r).ground;
            if (ground.isValid()) return ground;
        }
        return {};
    case Qt::ToolTipRole:
        if (rowMark_) {
            const QString tip = rowMark_(r).tip;
            if (!tip.isEmpty()) return tip;
        }
        return {};
    case Qt::FontRole:
        if (c.bold) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) return {};
        return column(section).title;
    }
    return {};
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!column(index.column()).readOnly) f |= Qt::ItemIsEditable;
    return f;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !setText_) return false;
    const Rec r = table_.recAt(index.row());
    if (r == NoRec || column(index.column()).readOnly) return false;
    // The entry rules work on the table in a quiet section, which would reset
    // the model and close the editor that is committing; the rows stay the
    // same, so a layout change is enough.
    inSetData_ = true;
    const bool ok = setText_(r, index.column(), value.toString().toStdString());
    inSetData_ = false;
    return ok;
}

void PointTableModel::beginReset()
{
    if (resetDepth_++ != 0) return;
    layoutOnly_ = inSetData_;
    if (layoutOnly_) {
        emit layoutAboutToBeChanged();
    } else {
        beginResetModel();
    }
}

void PointTableModel::endReset()
{
    if (resetDepth_ == 0 || --resetDepth_ != 0) return;
    if (!layoutOnly_) {
        endResetModel();
        return;
    }
    layoutOnly_ = false;
    emit layoutChanged();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void PointTableModel::beginInsertRow(int row) { beginInsertRows({}, row, row); }
void PointTableModel::endInsertRow() { endInsertRows(); }
void PointTableModel::beginRemoveRow(int row) { beginRemoveRows({}, row, row); }
void PointTableModel::endRemoveRow() { endRemoveRows(); }

void PointTableModel::beginMoveRow(int from, int to)
{
    moving_ = beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
}

void PointTableModel::endMoveRow()
{
    if (moving_) endMoveRows();
    moving_ = false;
}

void PointTableModel::rowChanged(int row)
{
    if (resetDepth_ > 0 || row < 0 || row >= rowCount()) return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void PointTableModel::currentChanged(int row)
{
    if (resetDepth_ > 0) return;
    emit cursorMoved(row);
}

}  // namespace korthal::app
