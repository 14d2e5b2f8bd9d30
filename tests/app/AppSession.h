#pragma once
// A main window started in a fresh working folder, as the program starts it,
// with a recording dialog object that answers the questions.

#include "app/GridPage.h"
#include "app/MainWindow.h"
#include "app/NetworkPage.h"
#include "app/Program.h"
#include "app/ReferencePage.h"
#include "project/Dialogs.h"
#include "project/Document.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace korthal::app::testing {

// A window started in a fresh working folder, as the program starts it.
struct Session {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    RecordingDialogs rec;
    std::unique_ptr<Document> doc;
    std::unique_ptr<MainWindow> w;
    QString ini;

    // copyFrom: a folder whose files are copied into the working folder
    // first; lastFile: the network the program settings name; fileToOpen:
    // the file of the program's command line.
    explicit Session(const QString& copyFrom = {}, const QString& lastFile = {},
                     const QString& fileToOpen = {})
    {
        QDir::setCurrent(dir.path());
        createWorkingFolders();
        ini = dir.filePath(QStringLiteral("korthal.INI"));
        if (!copyFrom.isEmpty()) {
            const QDir from(copyFrom);
            for (const QString& f : from.entryList(QDir::Files))
                QFile::copy(from.filePath(f), dir.filePath(f));
        }
        if (!lastFile.isEmpty()) {
            QFile f(ini);
            if (f.open(QIODevice::WriteOnly))
                f.write("[General]\r\nLastFile=" + lastFile.toUtf8() + "\r\nIconsPath=.\r\n");
        }
        doc = std::make_unique<Document>();
        w = std::make_unique<MainWindow>(*doc, ini);
        w->setFileToOpen(fileToOpen);
        w->FormCreate();
        w->startModes();
        w->show();
    }
    ~Session()
    {
        w.reset();
        doc.reset();
        QDir::setCurrent(oldCwd);
    }
    PointTableModel* net() const { return w->networkPage()->model(); }
    PointTableModel* ref() const { return w->referencePage()->model(); }
    bool set(PointTableModel* m, int row, int col, const QString& text)
    {
        return m->setData(m->index(row, col), text, Qt::EditRole);
    }
    QString cell(PointTableModel* m, int row, int col) const
    {
        return m->data(m->index(row, col), Qt::DisplayRole).toString();
    }
    // Types into a cell of the current record through the grid's editor
    // and presses Enter, as the user does.
    void type(GridPage* page, int col, const QString& text)
    {
        QApplication::processEvents();
        PointGrid* g = page->grid();
        const QModelIndex i = page->model()->index(page->model()->table().currentRow(), col);
        g->setCurrentIndex(i);
        if (!g->indexWidget(i)) g->edit(i);
        QWidget* ed = g->indexWidget(i);
        QVERIFY(ed);
        if (auto* cb = qobject_cast<QComboBox*>(ed))
            cb->setEditText(text);
        else
            qobject_cast<QLineEdit*>(ed)->setText(text);
        QTest::keyClick(ed, Qt::Key_Return);
        QApplication::processEvents();  // the editor commits through a queued call
    }
    // Adds a reference point through the reference grid.
    void addReference(const QString& name, const QString& E, const QString& N, const QString& H)
    {
        w->referencePage()->insertRecord();
        type(w->referencePage(), 0, name);
        type(w->referencePage(), 1, E);
        type(w->referencePage(), 2, N);
        type(w->referencePage(), 3, H);
    }
};

}  // namespace korthal::app::testing
