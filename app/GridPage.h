#pragma once
// What the two point pages share: a grid over one table with the two-row
// header, a navigator (insert, delete, post, cancel), and under the grid the
// current point's details: its description memo (`Perigrafh`) and the
// thumbnails of its photographs.

#include "app/GroupHeaderView.h"
#include "app/PointTableModel.h"

#include <QStringList>
#include <QTableView>
#include <QWidget>

class QPlainTextEdit;
class QToolButton;
class QHBoxLayout;
class QGroupBox;

namespace korthal {
class Document;
}

namespace korthal::app {

class PhotoThumbnails;

// The grid: swallows Ctrl+Delete (records are deleted only through the
// navigator, which asks first).
class PointGrid : public QTableView {
    Q_OBJECT
public:
    explicit PointGrid(QWidget* parent = nullptr);
    GroupHeaderView* groupHeader() const { return header_; }
    // Stores what an open cell editor holds and closes it (before the window
    // closes or another network replaces this one).
    void commitOpenEditor();
    bool editing() const { return state() == EditingState; }
    using QTableView::edit;

    // The editable cell `step` cells after (1) or before (-1) `from` in
    // reading order: the columns of a row, then the next (or previous) row.
    // Invalid when there is none.
    QModelIndex nextEditable(const QModelIndex& from, int step) const;
    // Set by the page when the entry just committed was refused: the cell
    // stays where it is instead of moving on.
    bool entryRefused = false;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Tab, Shift+Tab and Enter in an editor: the entry is stored (the rules
    // may move the record in the order), then the cursor moves on from the
    // record's new place to the next editable cell, without opening an
    // editor: typing there opens it with the first key.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget* editor) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void moveOnLater(int step);
    QPersistentModelIndex editing_;  // the cell whose editor is open
    GroupHeaderView* header_;
};

class GridPage : public QWidget {
    Q_OBJECT
public:
    GridPage(Document& doc, MemTable& table, int perigrafhField, QWidget* parent = nullptr);

    PointGrid* grid() const { return grid_; }
    PointTableModel* model() const { return model_; }
    QPlainTextEdit* memo() const { return memo_; }
    QToolButton* navButton(int k) const { return nav_[k]; }  // 0 insert, 1 delete, 2 post, 3 cancel
    QHBoxLayout* toolRow() const { return toolRow_; }
    // The box of the point's details (`GroupBox19` for the network,
    // `GroupBox25` for the reference points) and its thumbnails.
    QGroupBox* detailsBox() const { return details_; }
    PhotoThumbnails* thumbnails() const { return thumbnails_; }
    bool networkTable() const;

    // Navigator actions.
    void insertRecord();
    // Asks the deletion question first (DBNavigator2BeforeAction).
    bool deleteRecord();
    void postRecord();
    void cancelRecord();
    // The deletion question; true when the user agrees.
    static bool DBNavigator2BeforeAction();

    // The selected cells as tab-separated text (one line a row), as shown,
    // to the clipboard.
    void copySelection();
    // Rows of points from the clipboard, through the entry rules
    // (pastePointRows); the rows added can be taken back in one step.
    void pasteRows();
    void pasteText(const QString& text);
    // Removes the rows of the last paste; false when there is none.
    bool undoPaste();
    bool canUndoPaste() const { return !pasted_.empty(); }

    // After an entry: the grid follows the table's current record (the
    // record may have moved in the order), once the editor has closed. After
    // a refused entry (`refused`) the keys come back to the grid.
    void followCursorLater(int column, bool refused = false);

    // Stores the memo's text into the current record when it changed.
    void commitMemo();
    // The open cell editor, then the memo.
    void commitEdits();
    // Shows the current record's description.
    void showMemo();
    // The after-scroll of the thumbnails: the point's name in the details
    // box and its photographs. Nothing while data are loading or while the
    // page is not shown (it runs again when the page is shown).
    void showPhotos();

signals:
    // The table's cursor moved (the user picked a row, or a handler moved it).
    void recordChanged();
    // A thumbnail was clicked (photograph 1 to 6).
    void photoClicked(int n);
    // A paste added rows, or they were taken back.
    void pasteChanged();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    Document& doc_;
    MemTable& table_;

private:
    void syncCursorFromView(const QModelIndex& current);
    int perigrafh_;
    PointGrid* grid_;
    PointTableModel* model_;
    QPlainTextEdit* memo_;
    QGroupBox* details_;
    PhotoThumbnails* thumbnails_;
    QToolButton* nav_[4] = {};
    QHBoxLayout* toolRow_;
    bool memoDirty_ = false;
    bool syncing_ = false;
    std::vector<long long> pasted_;  // the records the last paste added
    bool pasting_ = false;
};

// The cells `selected` of `model` as text: the rectangle they span, its
// rows one a line, its cells (their display texts) separated by tabs.
QString selectedCellsText(const QAbstractItemModel* model, const QModelIndexList& selected);

// Whether `o` is (inside) the editor of a cell that is being edited in some
// grid: keys the window would take for itself (Esc) go to the editor then.
bool insideOpenCellEditor(const QObject* o);

// Text of a number for the cell editor: at most `decimals` decimals, trailing
// zeros dropped, the system decimal separator; 0 gives an empty text.
QString editNumber(double v, int decimals, char systemDecimal);

// Column widths that show each column's widest sample text whole in the
// grid's font and each of its titles on one line in the header's font.
void fitColumns(PointGrid* grid, const std::vector<QStringList>& samples,
                const std::vector<QStringList>& titles);

}  // namespace korthal::app
