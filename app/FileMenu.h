#pragma once
// The main window's menu "Αρχείο": new, open, the networks opened lately,
// save, save as, print and exit, with their keys (Ctrl+N, Ctrl+O, Ctrl+S,
// Ctrl+Shift+S, Ctrl+P). It sits beside the tool panel's buttons and calls
// the same handlers. It also keeps the list of recent networks and the
// folder the file dialogs showed last.

#include "project/RecentNetworks.h"

#include <QObject>
#include <QString>

class QMenu;
class QMenuBar;
class QAction;

namespace korthal::app {

class MainWindow;

class FileMenu : public QObject {
    Q_OBJECT
public:
    explicit FileMenu(MainWindow& window);

    QMenuBar* menuBar() const { return bar_; }
    QMenu* recentMenu() const { return recentMenu_; }
    QAction* saveAction() const { return save_; }
    QAction* saveAsAction() const { return saveAs_; }

    // The recent networks and the dialogs' folder, as the program settings
    // file keeps them.
    void load(const std::string& programSettingsFile);
    const RecentNetworks& recent() const { return recent_; }
    // A network was opened or saved under a name: it goes first in the list.
    void networkOpened(const std::string& file);
    // The folder a file dialog starts in: the one shown last, else the job
    // folder.
    std::string dialogFolder() const;

    // Ctrl+S: the network's own file; a network without one (new, or read
    // from a point list) is saved as. True when it was written.
    bool save();
    // Ctrl+Shift+S: a file dialog for the name, then the save. True when it
    // was written.
    bool saveAs();
    // A recent network: opened after the question about unsaved changes; a
    // file that is gone is said and leaves the list.
    void openRecent(const QString& file);

private:
    void rebuildRecent();

    MainWindow& w_;
    QMenuBar* bar_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* save_ = nullptr;
    QAction* saveAs_ = nullptr;
    RecentNetworks recent_;
};

}  // namespace korthal::app
