#include "app/FileMenu.h"

#include "app/MainWindow.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "project/SavePrompt.h"
#include "project/Settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

namespace korthal::app {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool isPointList(const std::string& name)
{
    return QFileInfo(q(name)).suffix().compare(QStringLiteral("TXT"), Qt::CaseInsensitive) == 0;
}

}  // namespace

FileMenu::FileMenu(MainWindow& window) : QObject(&window), w_(window)
{
    bar_ = new QMenuBar(&window);
    bar_->setObjectName(QStringLiteral("FileMenuBar"));
    QMenu* file = bar_->addMenu(QStringLiteral("&Αρχείο"));
    auto add = [&](const char* text, const QKeySequence& keys, auto slot) {
        QAction* a = file->addAction(QString::fromUtf8(text));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("Νέο", QKeySequence::New, [this] { w_.SpeedButton7Click(); });
    add("Άνοιγμα…", QKeySequence::Open, [this] { w_.SpeedButton2Click(); });
    recentMenu_ = file->addMenu(QStringLiteral("Πρόσφατα δίκτυα"));
    file->addSeparator();
    save_ = add("Αποθήκευση", QKeySequence::Save, [this] { save(); });
    saveAs_ = add("Αποθήκευση ως…", QKeySequence(QStringLiteral("Ctrl+Shift+S")),
                  [this] { saveAs(); });
    file->addSeparator();
    add("Εκτύπωση…", QKeySequence::Print, [this] { w_.SpeedButton1Click(); });
    file->addSeparator();
    add("Έξοδος", QKeySequence(), [this] { w_.close(); });
    if (QLayout* l = window.layout()) l->setMenuBar(bar_);
    rebuildRecent();
}

void FileMenu::load(const std::string& programSettingsFile)
{
    recent_ = loadRecentNetworks(programSettingsFile);
    rebuildRecent();
}

void FileMenu::networkOpened(const std::string& file)
{
    recent_.add(file);
    rebuildRecent();
}

std::string FileMenu::dialogFolder() const
{
    if (!recent_.folder.empty() && QFileInfo(q(recent_.folder)).isDir()) return recent_.folder;
    const std::string job = jobFolderOf(w_.doc().CurrentFileName);
    return QDir(q(job.empty() ? std::string(".") : job)).absolutePath().toStdString();
}

bool FileMenu::save()
{
    Document& doc = w_.doc();
    w_.commitEdits();
    // A point list is never overwritten by a network file, and a new
    // network has no file yet: both are saved as.
    if (isPointList(doc.CurrentFileName) || !QFileInfo::exists(q(doc.CurrentFileName)))
        return saveAs();
    const bool saved = saveNetworkUnder(doc, doc.CurrentFileName);
    w_.refreshAll();
    return saved;
}

bool FileMenu::saveAs()
{
    Document& doc = w_.doc();
    w_.commitEdits();
    const QString offered = QDir(q(dialogFolder()))
                                .filePath(QFileInfo(q(doc.offeredNetworkName())).fileName());
    const auto choice = dialogs().chooseSaveFile(
        "Αποθήκευση του δικτύου ως", {FileType{"αρχεία σημείων λεπτομερειών", "WGS84"}}, 0,
        offered.toStdString());
    if (!choice || choice->path.empty()) return false;
    std::string name = choice->path;
    if (QFileInfo(q(name)).suffix().isEmpty()) name += ".WGS84";
    // A point list is not overwritten by a network file.
    if (isPointList(name)) name = changeFileExt(name, ".WGS84");
    if (!sameFile(name, doc.CurrentFileName) && !Document::mayWriteOver(name)) return false;
    const bool saved = saveNetworkUnder(doc, name);
    if (saved) networkOpened(name);
    w_.refreshAll();
    return saved;
}

void FileMenu::openRecent(const QString& file)
{
    if (!QFileInfo::exists(file)) {
        showMessage("Δεν βρέθηκε το αρχείο " + QDir::toNativeSeparators(file).toStdString(),
                    MsgIcon::Exclamation);
        recent_.remove(file.toStdString());
        rebuildRecent();
        return;
    }
    if (!w_.askToSaveNetwork()) return;
    w_.LoadFile(file);
}

void FileMenu::rebuildRecent()
{
    recentMenu_->clear();
    int k = 0;
    for (const std::string& f : recent_.files) {
        const QString file = q(f);
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1  %2").arg(++k).arg(
            QDir::toNativeSeparators(file)));
        connect(a, &QAction::triggered, this, [this, file] { openRecent(file); });
    }
    recentMenu_->setEnabled(!recent_.files.empty());
}

}  // namespace korthal::app
