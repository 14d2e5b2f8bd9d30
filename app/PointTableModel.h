#pragma once
// A Qt table model that shows an in-memory table without copying it: row r is
// the r-th record in the table's index order, and the table's change
// notifications become the model's signals. What a cell shows, how it is
// aligned and coloured and how typed text is stored are given per column by
// the page that owns the grid, so that the drawing rules stay with it.

#include "table/MemTable.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <functional>
#include <vector>

namespace korthal::app {

struct GridColumn {
    int field = -1;        // the table field edited through this column
    QString title;
    bool readOnly = false;
    bool numeric = false;  // right-aligned
    bool bold = false;
    // The text drawn in the cell.
    std::function<QString(Rec)> display;
    // The text the cell editor starts with.
    std::function<QString(Rec)> editText;
    // Whether the row is drawn in red in this column.
    std::function<bool(Rec)> red;
};

// The colours of a reference point left out of the estimation (its text)
// and of the suspect reference point (its ground), in the grids and on the
// transformation page.
inline const QColor kCheckPointColour{0, 70, 200};
inline const QColor kSuspectBackground{255, 215, 210};

// A mark over a whole row: the text colour of the columns drawn in red, the
// ground of every column and a tooltip (invalid or empty: none).
struct RowMark {
    QColor text, ground;
    QString tip;
};

class PointTableModel : public QAbstractTableModel, public TableListener {
    Q_OBJECT
public:
    // setText stores typed text into the column's field of a record and
    // returns whether it was taken.
    using SetText = std::function<bool(Rec, int column, const std::string&)>;

    PointTableModel(MemTable& table, QObject* parent = nullptr);
    ~PointTableModel() override;

    MemTable& table() { return table_; }
    std::vector<GridColumn>& columns() { return columns_; }
    const GridColumn& column(int c) const { return columns_[static_cast<std::size_t>(c)]; }
    void setColumns(std::vector<GridColumn> cols);
    void setColumnTitle(int c, const QString& title);
    void setColumnReadOnly(int c, bool ro);
    void setSetText(SetText f) { setText_ = std::move(f); }
    void setRowMark(std::function<RowMark(Rec)> f) { rowMark_ = std::move(f); }
    // Redraws every cell (after a change of settings that the texts use).
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // TableListener
    void beginReset() override;
    void endReset() override;
    void beginInsertRow(int row) override;
    void endInsertRow() override;
    void beginRemoveRow(int row) override;
    void endRemoveRow() override;
    void beginMoveRow(int from, int to) override;
    void endMoveRow() override;
    void rowChanged(int row) override;
    void currentChanged(int row) override;

signals:
    // The table's cursor moved to this row (-1: none).
    void cursorMoved(int row);

private:
    MemTable& table_;
    std::vector<GridColumn> columns_;
    SetText setText_;
    std::function<RowMark(Rec)> rowMark_;
    int resetDepth_ = 0;
    bool inSetData_ = false;
    bool layoutOnly_ = false;
    bool moving_ = false;
};

}  // namespace korthal::app
