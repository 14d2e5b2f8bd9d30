#include "app/GridPage.h"

#include "app/PhotoThumbnails.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "project/PastedRows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace korthal::app {

PointGrid::PointGrid(QWidget* parent) : QTableView(parent), header_(new GroupHeaderView(this))
{
    setHorizontalHeader(header_);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // A rectangle of cells can be selected and copied out.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    // A size smaller than the window's, so that the eight columns of
    // coordinates fit the window's width.
    QFont f = font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() - 1);
    setFont(f);
    header_->setFont(f);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
    verticalHeader()->setFixedWidth(14);
    setWordWrap(false);
}

void PointGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) {
        e->accept();  // swallowed
        return;
    }
    // Enter on a cell that is not being edited moves on, as after an entry
    // (and never reaches the window's buttons).
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        state() != QAbstractItemView::EditingState) {
        e->accept();
        const QModelIndex n = nextEditable(currentIndex(), 1);
        if (n.isValid()) setCurrentIndex(n);
        return;
    }
    QTableView::keyPressEvent(e);
}

QModelIndex PointGrid::nextEditable(const QModelIndex& from, int step) const
{
    const QAbstractItemModel* m = model();
    if (!m || !from.isValid() || step == 0) return {};
    const int rows = m->rowCount(), cols = m->columnCount();
    int row = from.row(), col = from.column();
    for (;;) {
        col += step;
        if (col >= cols) {
            col = 0;
            ++row;
        } else if (col < 0) {
            col = cols - 1;
            --row;
        }
        if (row < 0 || row >= rows) return {};
        const QModelIndex i = m->index(row, col);
        if (!isColumnHidden(col) && (m->flags(i) & Qt::ItemIsEditable)) return i;
    }
}

QModelIndex PointGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Tab and Shift+Tab on the grid step over the read-only columns too.
    if (action == MoveNext || action == MovePrevious) {
        const QModelIndex n = nextEditable(currentIndex(), action == MoveNext ? 1 : -1);
        return n.isValid() ? n : currentIndex();
    }
    return QTableView::moveCursor(action, modifiers);
}

bool PointGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened) editing_ = index;
    return opened;
}

void PointGrid::commitData(QWidget* editor)
{
    // An editor whose text was not changed stores nothing: it runs no rule
    // (an unchanged X would replace a typed undulation with the model's) and
    // an empty cell passed through is not a number error.
    entryRefused = false;
    const QModelIndex i = editing_;
    if (i.isValid() && indexWidget(i) == editor && itemDelegateForIndex(i)) {
        QAbstractItemModel* m = model();
        const QVariant before = m->data(i, Qt::EditRole);
        QStandardItemModel probe(1, 1);
        itemDelegateForIndex(i)->setModelData(editor, &probe, probe.index(0, 0));
        if (probe.data(probe.index(0, 0), Qt::EditRole).toString() == before.toString()) return;
    }
    QTableView::commitData(editor);
}

void PointGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    int step = 0;
    // Enter submits; so does a click on another row while editing, which
    // has moved the cursor already and must not move it further.
    if (hint == QAbstractItemDelegate::EditNextItem ||
        (hint == QAbstractItemDelegate::SubmitModelCache && editing_ == currentIndex()))
        step = 1;
    else if (hint == QAbstractItemDelegate::EditPreviousItem)
        step = -1;
    QTableView::closeEditor(editor, step ? QAbstractItemDelegate::NoHint : hint);
    if (step) moveOnLater(step);
}

void PointGrid::moveOnLater(int step)
{
    const bool refused = entryRefused;
    // After the page has put the cursor on the record's new row.
    QTimer::singleShot(0, this, [this, step, refused] {
        if (refused || state() == QAbstractItemView::EditingState) return;
        const QModelIndex n = nextEditable(currentIndex(), step);
        if (n.isValid()) setCurrentIndex(n);
    });
}

namespace {

// The narrowest width that shows `title` on one line or, split at one of
// its blanks, on two.
int titleWidth(const QFontMetrics& fm, const QString& title, bool twoLines)
{
    const QString t = title.simplified();
    int best = fm.horizontalAdvance(t);
    for (qsizetype i = t.indexOf(QLatin1Char(' ')); twoLines && i > 0;
         i = t.indexOf(QLatin1Char(' '), i + 1))
        best = std::min(best, std::max(fm.horizontalAdvance(t.left(i)),
                                       fm.horizontalAdvance(t.mid(i + 1))));
    return best;
}

}  // namespace

void fitColumns(PointGrid* grid, const std::vector<QStringList>& samples,
                const std::vector<QStringList>& titles)
{
    const QFontMetrics cell(grid->font()), header(grid->horizontalHeader()->font());
    for (std::size_t c = 0; c < samples.size(); ++c) {
        int width = 0;
        for (const QString& t : samples[c]) width = std::max(width, cell.horizontalAdvance(t) + 10);
        // A column under a group title has one line for its own title, one
        // outside the groups has both lines of the header.
        const bool twoLines = grid->groupHeader()->groupTitle(static_cast<int>(c)).isEmpty();
        if (c < titles.size())
            for (const QString& t : titles[c])
                width = std::max(width, titleWidth(header, t, twoLines) + 12);
        grid->setColumnWidth(static_cast<int>(c), width);
    }
}

void PointGrid::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool insideOpenCellEditor(const QObject* o)
{
    // Cell editors are children of the view's viewport.
    for (const QObject* p = o; p; p = p->parent()) {
        const auto* view = qobject_cast<const QAbstractItemView*>(p);
        if (!view) continue;
        const QWidget* viewport = view->viewport();
        if (o == viewport) return false;
        for (const QObject* q = o; q && q != view; q = q->parent())
            if (q->parent() == viewport) return true;
        return false;
    }
    return false;
}

QString editNumber(double v, int decimals, char systemDecimal)
{
    if (v == 0) return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    QString s = QString::fromLatin1(buf);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    s.replace(QLatin1Char('.'), QLatin1Char(systemDecimal));
    return s;
}

GridPage::GridPage(Document& doc, MemTable& table, int perigrafhField, QWidget* parent)
    : QWidget(parent), doc_(doc), table_(table), perigrafh_(perigrafhField)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);

    toolRow_ = new QHBoxLayout;
    toolRow_->setSpacing(2);
    const char* texts[4] = {"+", "−", "✓", "✗"};
    const char* hints[4] = {"Νέα εγγραφή", "Διαγραφή εγγραφής", "Καταχώρηση", "Ακύρωση"};
    for (int k = 0; k < 4; ++k) {
        nav_[k] = new QToolButton(this);
        nav_[k]->setText(QString::fromUtf8(texts[k]));
        nav_[k]->setToolTip(QString::fromUtf8(hints[k]));
        toolRow_->addWidget(nav_[k]);
    }
    toolRow_->addStretch();
    v->addLayout(toolRow_);
    connect(nav_[0], &QToolButton::clicked, this, &GridPage::insertRecord);
    connect(nav_[1], &QToolButton::clicked, this, [this] { deleteRecord(); });
    connect(nav_[2], &QToolButton::clicked, this, &GridPage::postRecord);
    connect(nav_[3], &QToolButton::clicked, this, &GridPage::cancelRecord);

    grid_ = new PointGrid(this);
    model_ = new PointTableModel(table_, this);
    grid_->setModel(model_);
    v->addWidget(grid_, 1);

    // Copy, paste of rows and its undo: keys on the grid and its menu.
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto addAction = [this](const char* text, QKeySequence::StandardKey key, auto slot) {
        auto* a = new QAction(QString::fromUtf8(text), grid_);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        grid_->addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    addAction("Αντιγραφή", QKeySequence::Copy, [this] { copySelection(); });
    addAction("Επικόλληση γραμμών", QKeySequence::Paste, [this] { pasteRows(); });
    QAction* undo = addAction("Αναίρεση επικόλλησης", QKeySequence::Undo, [this] { undoPaste(); });
    undo->setEnabled(false);
    connect(this, &GridPage::pasteChanged, undo, [this, undo] { undo->setEnabled(canUndoPaste()); });

    // The details keep their height and the thumbnails their size and
    // place at the right while the grid and the memo grow with the window.
    details_ = new QGroupBox(this);
    details_->setObjectName(networkTable() ? QStringLiteral("GroupBox19")
                                           : QStringLiteral("GroupBox25"));
    auto* dh = new QHBoxLayout(details_);
    dh->setContentsMargins(4, 2, 4, 4);
    dh->setSpacing(6);
    memo_ = new QPlainTextEdit(details_);
    memo_->setFixedHeight(60);
    memo_->installEventFilter(this);
    dh->addWidget(memo_, 1);
    thumbnails_ = new PhotoThumbnails(networkTable() ? QStringLiteral("a") : QStringLiteral("b"),
                                      details_);
    dh->addWidget(thumbnails_, 0, Qt::AlignRight | Qt::AlignVCenter);
    v->addWidget(details_);
    connect(thumbnails_, &PhotoThumbnails::thumbnailClicked, this, &GridPage::photoClicked);
    connect(this, &GridPage::recordChanged, this, &GridPage::showPhotos);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_) memoDirty_ = true;
    });

    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex&) { syncCursorFromView(cur); });
    connect(model_, &PointTableModel::cursorMoved, this, [this](int row) {
        if (syncing_) return;
        syncing_ = true;
        const int col = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 0;
        if (row >= 0) grid_->setCurrentIndex(model_->index(row, col));
        syncing_ = false;
        showMemo();
        emit recordChanged();
    });
    // After a load the grid shows the table's current record again.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        // Another network (or the table computed anew): the paste is
        // no longer what the rows hold.
        if (!pasting_ && !pasted_.empty()) {
            pasted_.clear();
            emit pasteChanged();
        }
        const int row = table_.currentRow();
        if (row >= 0 && row < model_->rowCount()) {
            syncing_ = true;
            grid_->setCurrentIndex(model_->index(row, 0));
            syncing_ = false;
        }
        showMemo();
        showPhotos();
    });
}

bool GridPage::networkTable() const { return &table_ == &doc_.GPS(); }

void GridPage::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    showPhotos();
}

void GridPage::showPhotos()
{
    if (doc_.LoadingData || !isVisible()) return;
    const bool network = networkTable();
    if (table_.current() == NoRec) {
        details_->setTitle(QString());
        thumbnails_->clear();
        return;
    }
    const int nameField = network ? int(gps::Name) : int(gys::Name);
    const int idField = network ? int(gps::ID) : int(gys::ID);
    details_->setTitle(QStringLiteral("  λεπτομέρειες σημείου \"") +
                       QString::fromStdString(table_.asString(nameField)) + QLatin1Char('"'));
    thumbnails_->showPoint(QString::fromStdString(imagesFolderOf(doc_.CurrentFileName)),
                           photoBaseName(doc_.CurrentFileName, network),
                           table_.asInteger(idField));
}

void GridPage::syncCursorFromView(const QModelIndex& current)
{
    if (syncing_ || !current.isValid()) return;
    commitMemo();
    if (table_.currentRow() == current.row()) return;
    syncing_ = true;
    table_.moveToRow(current.row());
    syncing_ = false;
    showMemo();
    emit recordChanged();
}

bool GridPage::eventFilter(QObject* o, QEvent* e)
{
    if (o == memo_ && e->type() == QEvent::FocusOut) commitMemo();
    return QWidget::eventFilter(o, e);
}

void GridPage::commitEdits()
{
    grid_->commitOpenEditor();
    commitMemo();
}

void GridPage::commitMemo()
{
    if (!memoDirty_) return;
    memoDirty_ = false;
    if (table_.current() == NoRec) return;
    const std::string text = memo_->toPlainText().toStdString();
    if (table_.asString(perigrafh_) == text) return;
    table_.edit();
    table_.set(perigrafh_, Value(text));
    table_.post();
}

void GridPage::showMemo()
{
    syncing_ = true;
    const QString t = table_.current() == NoRec
                          ? QString()
                          : QString::fromStdString(table_.asString(perigrafh_));
    if (memo_->toPlainText() != t) memo_->setPlainText(t);
    memoDirty_ = false;
    syncing_ = false;
}

void GridPage::followCursorLater(int column, bool refused)
{
    grid_->entryRefused = refused;
    QTimer::singleShot(0, this, [this, column, refused] {
        // The message about a refused entry took the focus from the cell
        // editor, which is gone since: the keys go back to the grid, not to
        // the first button of the window (where Enter would print).
        QWidget* focus = QApplication::focusWidget();
        if (refused && grid_->isVisible() && focus != grid_ && !grid_->isAncestorOf(focus))
            grid_->setFocus(Qt::OtherFocusReason);
        const int row = table_.currentRow();
        if (row < 0 || row >= model_->rowCount()) return;
        syncing_ = true;
        grid_->setCurrentIndex(model_->index(row, column));
        syncing_ = false;
        showMemo();
    });
}

void GridPage::insertRecord()
{
    commitMemo();
    if (table_.state() != MemTable::State::Browse) table_.post();
    table_.append();
    const int row = table_.currentRow();
    if (row >= 0) {
        grid_->setCurrentIndex(model_->index(row, 0));
        grid_->edit(model_->index(row, 0));
    }
}

bool GridPage::DBNavigator2BeforeAction()
{
    return dialogs().ask(kDeleteQuestion, kDeleteCaption, MsgIcon::Warning,
                         MsgButtons::YesNo) == Answer::Yes;
}

bool GridPage::deleteRecord()
{
    if (table_.current() == NoRec) return false;
    // A table with the question installed asks it itself.
    if (!table_.beforeDelete && !DBNavigator2BeforeAction()) return false;
    memoDirty_ = false;
    const bool done = table_.remove();
    showMemo();
    emit recordChanged();
    return done;
}

void GridPage::postRecord()
{
    commitMemo();
    if (table_.state() != MemTable::State::Browse) table_.post();
}

void GridPage::cancelRecord()
{
    memoDirty_ = false;
    if (table_.state() != MemTable::State::Browse) table_.cancel();
    showMemo();
}

QString selectedCellsText(const QAbstractItemModel* model, const QModelIndexList& selected)
{
    if (!model || selected.isEmpty()) return {};
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& i : selected) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    QString text;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            if (c > left) text += QLatin1Char('\t');
            text += model->data(model->index(r, c), Qt::DisplayRole).toString();
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void GridPage::copySelection()
{
    QModelIndexList cells = grid_->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && grid_->currentIndex().isValid()) cells << grid_->currentIndex();
    const QString text = selectedCellsText(model_, cells);
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void GridPage::pasteRows()
{
    pasteText(QGuiApplication::clipboard()->text());
}

void GridPage::pasteText(const QString& text)
{
    if (text.trimmed().isEmpty()) return;
    commitEdits();
    pasting_ = true;
    const PasteResult r = pastePointRows(doc_, networkTable(), text.toStdString());
    pasting_ = false;
    if (!r.ids.empty()) {
        pasted_ = r.ids;
        emit pasteChanged();
    }
    model_->refresh();
    followCursorLater(0);
    emit recordChanged();
}

bool GridPage::undoPaste()
{
    if (pasted_.empty()) return false;
    commitEdits();
    pasting_ = true;
    undoPastedRows(doc_, networkTable(), pasted_);
    pasting_ = false;
    pasted_.clear();
    emit pasteChanged();
    model_->refresh();
    followCursorLater(0);
    showMemo();
    emit recordChanged();
    return true;
}

}  // namespace korthal::app
