#pragma once
// The observation viewer `TForm3`: the GPS observations recorded at one
// network point. Tabs "Γενικά" (the approximate position of the observation
// file's header, the file read, its receiver, antenna, interval, first and
// last epoch, what it skipped), "παρατηρήσεις" (the column list and the
// grid), one chart tab per observable (with the cycle slips and gaps marked)
// and the sky pages (app/RinexSkyTabs.h, wired in app/RinexViewerSky.cpp):
// sky plot, elevations, signal strength against elevation, quality report.
// Over the tab row the list of the network's points, the button that reads
// an observation file and the table's print and save buttons.
//
// The window is made once at start-up and opened modally for the current
// point of the network as often as the user asks; the observation table and
// RinexFileName live as long as the window, so reopening it for the same
// point shows the table as it was left.

#include "views/RinexColumns.h"
#include "views/RinexTable.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

namespace korthal {
class Document;
}
namespace korthal::rinex {
class ObservationSky;
struct QualityReport;
struct ChosenPosition;
}  // namespace korthal::rinex

namespace korthal::app {

class RinexGrid;
class RinexChart;
class RinexSkyTabs;

class RinexViewer : public QDialog {
    Q_OBJECT
public:
    explicit RinexViewer(Document& doc, QWidget* parent = nullptr);
    ~RinexViewer() override;

    RinexTable& rinex() { return rinex_; }
    const std::string& RinexFileName() const { return rinex_.RinexFileName; }

    QTabWidget* tabs() const { return tabs_; }
    QWidget* TabSheet1() const { return tabGeneral_; }
    QWidget* TabSheet2() const { return tabObservations_; }
    // The chart tab of an observable (reader slot 1 = C1 ... 8 = D2).
    QWidget* chartTab(int slot) const { return chartTabs_[static_cast<std::size_t>(slot)]; }
    QComboBox* ComboBox1() const { return combo_; }
    QToolButton* SpeedButton2() const { return search_; }
    QToolButton* printButton() const { return printTable_; }
    QToolButton* saveButton() const { return saveTable_; }
    QLabel* Label4() const { return labels_[0]; }
    QLabel* Label5() const { return labels_[1]; }
    QLabel* Label6() const { return labels_[2]; }
    // The rows of the "Γενικά" page about the observation file.
    enum class Info { File, Receiver, Antenna, AntennaHeight, Interval, First, Last, OtherSystems, Codes, Count };
    QLabel* info(Info row) const { return info_[static_cast<std::size_t>(row)]; }
    // The line under the tabs that says what the last reading found.
    QLabel* summaryLine() const { return summary_; }
    QListWidget* CheckListBox2() const { return columnList_; }
    RinexGrid* Grid() const { return grid_; }
    RinexChart* Chart1() const { return chart_; }
    bool tabShown(QWidget* tab) const;
    // The sky plot, elevations, signal strength against elevation and the
    // quality report, with the line under the tabs that names the
    // navigation file and holds the elevation mask.
    RinexSkyTabs* skyTabs() const { return skyTabs_; }
    QWidget* skyBar() const { return skyBar_; }
    QLabel* navigationLabel() const { return navigationLabel_; }
    QToolButton* navigationButton() const { return navigationButton_; }
    QDoubleSpinBox* maskBox() const { return mask_; }
    // The quality report of the table shown (computed when first asked for
    // after the table, the navigation file or the mask changed).
    const rinex::QualityReport& quality();
    const rinex::ObservationSky& observationSky() const;
    // Asks for a navigation file, remembers it for the point and shows the
    // sky from it.
    void chooseNavigationFile();
    // The navigation file for the point's table: the one remembered in its
    // companion settings file, else one beside the observation files read
    // (remembered then).
    void findNavigationFile();
    void setElevationMask(double degrees);
    bool printQualityReport();
    // The sky plot under its heading on a portrait A4 page.
    bool printSkyPlot();
    bool saveQualityReport();

    // Prepares the window for the current point of the network (the list
    // selects its name) and shows it modally.
    void showForCurrentPoint();
    // The preparation alone (tests show the window themselves).
    void prepareForCurrentPoint();

    // Caption, path; loads the point's table unless it is the one shown.
    void FormShow();
    // A name chosen in the list: that point becomes current, then FormShow.
    void ComboBox1Change(int index);
    // Asks for an observation file and reads it.
    void SpeedButton2Click();
    // Reads an observation file into the point's table: asks whether to
    // replace or add when the table holds records, shows a progress bar
    // with a cancel button, then what went wrong or what was passed over.
    void ReadRinexObservations(const std::string& FileName);
    // Ticks the column list from the companion settings file, shows the
    // position; the chart on show is drawn again.
    void ApplyObservationTypes();
    // Shows the grid columns and chart tabs of the ticked items.
    void CheckListBox2ClickCheck();
    // A chart tab became active: the chart of its observable is built.
    void PageControlChange(int index);
    // The table's visible columns as a listing: printed, or saved to a file.
    bool printTable();
    bool saveTable();

    // Shows the text file just written (the main window's file viewer).
    std::function<void()> showTextFile;

protected:
    void done(int result) override;

private:
    void buildTabs();
    QWidget* buildTopPanel();
    QWidget* buildGeneralPage();
    // The window's size and maximized state, kept by the document.
    void restoreSize();
    void rememberSize();
    // Stores comments typed into the grid before the table is replaced.
    void storeComments();
    rinex::ColumnChecks checks() const;
    std::string listingHeading() const;
    // The PDF file offered for printing: beside the table file, named after it.
    QString pdfBesideTable(const QString& suffix) const;
    std::vector<int> visibleColumns() const;
    QWidget* buildSkyBar();
    // The navigation file, position and mask of the table shown, anew.
    void skySourceChanged();
    // The network point's coordinates may have changed since the table was
    // loaded: the sky is seen from where they now say.
    void skyPositionChanged();
    // The line under the sky pages: the navigation file and its records skipped.
    void showNavigationFile();
    rinex::ChosenPosition skyPosition() const;
    // Shows the report on the sky pages when one of them is active.
    void refreshSkyTabs();
    bool skyTabActive() const;
    std::string qualityHeading() const;

    Document& doc_;
    RinexTable rinex_;
    QTabWidget* tabs_ = nullptr;
    QWidget* tabGeneral_ = nullptr;
    QWidget* tabObservations_ = nullptr;
    std::array<QWidget*, 9> chartTabs_{};
    std::array<QVBoxLayout*, 9> chartLayouts_{};
    QComboBox* combo_ = nullptr;
    QToolButton* search_ = nullptr;
    QToolButton* printTable_ = nullptr;
    QToolButton* saveTable_ = nullptr;
    std::array<QLabel*, 3> labels_{};
    std::array<QLabel*, static_cast<std::size_t>(Info::Count)> info_{};
    QLabel* summary_ = nullptr;
    std::string originalFiles_;  // the observation files read into the table
    QListWidget* columnList_ = nullptr;
    RinexGrid* grid_ = nullptr;
    RinexChart* chart_ = nullptr;
    bool applying_ = false;
    RinexSkyTabs* skyTabs_ = nullptr;
    QWidget* skyBar_ = nullptr;
    QLabel* navigationLabel_ = nullptr;
    QToolButton* navigationButton_ = nullptr;
    QDoubleSpinBox* mask_ = nullptr;
    // The navigation file's ephemerides and the report computed from them.
    struct Sky;
    std::unique_ptr<Sky> sky_;
    bool qualityStale_ = true;
    bool skyShownStale_ = true;
};

}  // namespace korthal::app
