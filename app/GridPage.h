#pragma once
// What the two point pages share: a grid over one table with the two-row
// header, a navigator (insert, delete, post, cancel), and under the grid the
// current point's details: its description memo (`Perigrafh`) and the
// thumbnails of its photographs.

#include "app/GroupHeaderView.h"
#include "app/PointTableModel.h"

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

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
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

    // After an entry: the grid follows the table's current record (the
    // record may have moved in the order), once the editor has closed.
    void followCursorLater(int column);

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
};

// Text of a number for the cell editor: at most `decimals` decimals, trailing
// zeros dropped, the system decimal separator; 0 gives an empty text.
QString editNumber(double v, int decimals, char systemDecimal);

// Column widths that fit the sample texts in the grid's font.
void fitColumns(PointGrid* grid, const std::vector<QString>& samples);

}  // namespace korthal::app
