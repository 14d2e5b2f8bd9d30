#pragma once
// The observation viewer's grid `Grid`: a view of the point's observation
// table without a copy of it, with the two-row titles, the code texts, the
// row colours by epoch or by satellite, red flags and LLI digits, sorting by
// a click on the epoch and satellite titles, and the hint that says so.
// What it shows comes from views/RinexColumns.h.

#include "app/GroupHeaderView.h"
#include "app/PointTableModel.h"
#include "views/RinexColumns.h"

#include <QTableView>

#include <array>

namespace korthal {
class NumberText;
}

namespace korthal::app {

class RinexGridModel : public PointTableModel {
    Q_OBJECT
public:
    RinexGridModel(MemTable& table, const NumberText& numbers, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void endReset() override;

    // Set when a comment was typed since the last clearCommentsChanged().
    bool commentsChanged() const { return commentsChanged_; }
    void clearCommentsChanged() { commentsChanged_ = false; }

private:
    MemTable& rinex_;
    const NumberText& numbers_;
    rinex::RowColours colours_;
    bool commentsChanged_ = false;
};

class RinexGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kTitleBand = 50;
    static constexpr int kRowHeight = 17;
    static inline const char* const kSortHint = "Κάντε κλίκ για αλλαγή ταξινόμισης";

    RinexGrid(MemTable& table, const NumberText& numbers, QWidget* parent = nullptr);

    RinexGridModel* gridModel() const { return model_; }
    GroupHeaderView* groupHeader() const { return header_; }

    // The width of a column, also while it is hidden.
    int fullWidth(int column) const { return widths_[static_cast<std::size_t>(column)]; }
    // Stores what an open cell editor holds and closes it.
    void commitDataIfEditing();
    // A click on a column title: PRN sorts by satellite, the epoch columns
    // by epoch, the others do nothing.
    void titleClick(int column);
    // The pointer over the titles: the hint and the cursor where a click sorts.
    void titleMouseMove(const QPoint& pos);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    MemTable& table_;
    RinexGridModel* model_;
    GroupHeaderView* header_;
    std::array<int, rinex::kGridColumns> widths_{};
};

}  // namespace korthal::app
