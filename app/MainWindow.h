#pragma once
// The main window `TForm1`: the page control with the point pages, the
// settings pages and the introduction, the tool panel, the keys, and the
// handlers that open, create and export networks. The window holds no data
// of its own: the Document does.

#include "network/Calculator.h"

#include <QDialog>
#include <functional>
#include <memory>

class QTabWidget;
class QToolButton;
class QWidget;
class QFrame;

namespace korthal {
class Document;
struct WindowPlacement;
}

namespace korthal::app {

class NetworkPage;
class ReferencePage;
class NumberPage;
class TransformPage;
class CalculatorPage;
class CalculatorPages;
class TestPage;
class RinexViewer;
class SketchPage;
class FileMenu;
class PhotoWindow;
class GeoidMapWindow;

class MainWindow : public QDialog {
    Q_OBJECT
public:
    // programSettingsFile: the executable's settings file (".INI").
    MainWindow(Document& doc, QString programSettingsFile, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& doc() { return doc_; }
    Calculator& calculator() { return *calc_; }

    QTabWidget* PageControl1() const { return pages_; }
    QTabWidget* settingsPages() const { return settingsPages_; }
    QWidget* TabSheet2() const { return tabNetwork_; }
    QWidget* TabSheet5() const { return tabSketch_; }
    QWidget* TabSheet1() const { return tabReference_; }
    QWidget* TabSheet9() const { return tabSettings_; }
    QWidget* TabSheet3() const { return tabText_; }
    QWidget* TabSheet4() const { return tabIntro_; }
    QWidget* TabSheet13() const { return tabTest_; }
    QFrame* Panel9() const { return panel9_; }
    QToolButton* SpeedButton1() const { return sb1_; }
    QToolButton* SpeedButton2() const { return sb2_; }
    QToolButton* SpeedButton3() const { return sb3_; }
    QToolButton* SpeedButton7() const { return sb7_; }
    NetworkPage* networkPage() const { return networkPage_; }
    ReferencePage* referencePage() const { return referencePage_; }
    NumberPage* numberPage() const { return numberPage_; }
    TransformPage* transformPage() const { return transformPage_; }
    CalculatorPage* calculatorPage() const { return calculatorPage_; }
    CalculatorPages* calculatorPages() const { return calculatorPages_; }
    TestPage* testPage() const { return testPage_; }
    RinexViewer* rinexViewer() const { return rinexViewer_.get(); }
    SketchPage* sketchPage() const { return sketchPage_; }
    // The photo window and the geoid map window; they exist once the
    // window's creation (FormCreate) has run.
    PhotoWindow* Form2() const { return photoWindow_; }
    GeoidMapWindow* Form4() const { return mapWindow_; }
    bool testTabShown() const;

    // The file given on the program's command line: FormCreate opens it
    // instead of the program settings' last network.
    void setFileToOpen(const QString& file) { fileToOpen_ = file; }
    // Where FormCreate reads the program settings when that is not the file
    // written at exit (an installed program's first run).
    void setProgramSettingsSource(const QString& file) { programSettingsSource_ = file; }
    // The menu "Αρχείο" with the recent networks.
    FileMenu* fileMenu() const { return fileMenu_; }
    // Ends the edits of both grids, so that what was typed is in the tables.
    void commitEdits();
    // With unsaved network changes: whether to save them (Yes / No /
    // Cancel, then the name). False cancels the operation that asked.
    bool askToSaveNetwork();
    // Start-up steps of the window's creation (settings, reference file,
    // last network, lists), then the initial display modes.
    void FormCreate();
    void startModes();

    // Opens a network file or point list and shows it.
    void LoadFile(const QString& fileName);
    void SpeedButton2Click();  // open
    void SpeedButton7Click();  // new
    void SpeedButton3Click();  // export
    void SpeedButton1Click();  // print
    void SpeedButton6Click();  // show LastTextFile
    // The "RINEX" button: the observation viewer for the current point.
    void showRinexViewer();
    void PageControl1Change();
    // A thumbnail of either page was clicked: the photo window shows
    // photograph n of the current point of the page's table.
    void Image2bClick(int n);
    // The geoid map buttons of the network page and of the reference page:
    // the map is shown modally with the current point marked. (The
    // calculator's "αποχή" button shows its own point the same way.)
    enum class MapSource { Network, Reference };
    void SpeedButton8Click(MapSource source);
    // φ, λ in degrees.
    void showGeoidMap(double phi, double lambda);
    // Returns true when the key was handled here.
    bool FormKeyDown(int key, Qt::KeyboardModifiers mods);

    // Opens a file with the desktop's application for it; tests replace it.
    std::function<void(const QString&)> fileOpener;
    // Without fileOpener: asks the desktop to open the file; false when it
    // has no program for it (tests replace it).
    std::function<bool(const QString&)> desktopOpener;

    // Refreshes everything that shows the document (after a load or a
    // change of settings).
    void refreshAll();

    // The window's place as the program settings keep it, and the restoring
    // of such a place on a screen that is there now.
    WindowPlacement placement() const;
    void restorePlacement(const WindowPlacement& p);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void buildPages();
    void reportLoadProblem();
    void loadCalculatorFromNetwork();
    void loadCalculatorFromReference();

    Document& doc_;
    QString programSettingsFile_;
    QString fileToOpen_;
    QString programSettingsSource_;
    FileMenu* fileMenu_ = nullptr;
    // Made first, as the program makes its windows: the viewer, then the
    // main window's pages.
    std::unique_ptr<RinexViewer> rinexViewer_;
    std::unique_ptr<Calculator> calc_;
    QTabWidget* pages_ = nullptr;
    QTabWidget* settingsPages_ = nullptr;
    QWidget* tabNetwork_ = nullptr;
    QWidget* tabSketch_ = nullptr;
    QWidget* tabReference_ = nullptr;
    QWidget* tabSettings_ = nullptr;
    QWidget* tabText_ = nullptr;
    QWidget* tabIntro_ = nullptr;
    QWidget* tabTest_ = nullptr;
    QFrame* panel9_ = nullptr;
    QToolButton* sb1_ = nullptr;
    QToolButton* sb2_ = nullptr;
    QToolButton* sb3_ = nullptr;
    QToolButton* sb7_ = nullptr;
    NetworkPage* networkPage_ = nullptr;
    ReferencePage* referencePage_ = nullptr;
    NumberPage* numberPage_ = nullptr;
    TransformPage* transformPage_ = nullptr;
    CalculatorPage* calculatorPage_ = nullptr;
    CalculatorPages* calculatorPages_ = nullptr;
    TestPage* testPage_ = nullptr;
    SketchPage* sketchPage_ = nullptr;
    PhotoWindow* photoWindow_ = nullptr;
    GeoidMapWindow* mapWindow_ = nullptr;
};

}  // namespace korthal::app
