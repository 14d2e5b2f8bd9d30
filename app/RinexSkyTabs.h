#pragma once
// The observation viewer's pages about the satellites' sky: the sky plot
// (with the readout of the track point under the pointer), the elevations
// over time, the signal strength against elevation, and the quality report
// as a listing that prints and saves like the other listings.
//
// The pages show a QualityReport (views/RinexQuality.h) computed by the
// viewer; without a navigation file the three sky pages say why and offer to
// pick one, and the report shows what needs no orbits.

#include <QWidget>

#include <string>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace korthal::rinex {
struct QualityReport;
}

namespace korthal::app {

// The sky plot on the screen; the pointer over a track names the point.
class SkyPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit SkyPlotWidget(QWidget* parent = nullptr);
    void setReport(const rinex::QualityReport* report);
    // The text of the readout for a position of the widget ("" off the tracks).
    QString readoutAt(const QPointF& pos) const;
    // The widget position of a point of a track.
    QPointF pointOf(std::size_t track, std::size_t point) const;

signals:
    void hovered(const QString& readout);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    QRectF plotRect() const;
    const rinex::QualityReport* report_ = nullptr;
    // The track point under the pointer, ringed on the plot.
    bool hovering_ = false;
    std::size_t hoverTrack_ = 0, hoverPoint_ = 0;
};

// A page that shows its content when the sky is known, else the reason and
// a button that picks a navigation file.
class SkyPage : public QWidget {
    Q_OBJECT
public:
    SkyPage(QWidget* content, QWidget* parent = nullptr);
    // Empty: the content; else the reason, with the button that picks a
    // navigation file when `offerPick`.
    void showReason(const QString& reason, bool offerPick = true);
    QLabel* reasonLabel() const { return reason_; }
    QPushButton* pickButton() const { return pick_; }
    bool contentShown() const;

signals:
    void pickNavigation();

private:
    QStackedWidget* stack_;
    QLabel* reason_;
    QPushButton* pick_;
};

class RinexSkyTabs : public QObject {
    Q_OBJECT
public:
    explicit RinexSkyTabs(QWidget* parent);

    SkyPage* skyPage() const { return skyPage_; }
    SkyPage* elevationPage() const { return elevationPage_; }
    SkyPage* snrPage() const { return snrPage_; }
    QWidget* reportPage() const { return reportPage_; }
    SkyPlotWidget* skyPlot() const { return plot_; }
    QLabel* readout() const { return readout_; }
    QChart* elevationChart() const { return elevationChart_; }
    QChart* snrChart() const { return snrChart_; }
    QPlainTextEdit* reportText() const { return reportText_; }
    QToolButton* reportPrintButton() const { return print_; }
    QToolButton* reportSaveButton() const { return save_; }
    QToolButton* skyPrintButton() const { return printSky_; }

    // Shows a report (kept by the caller while shown). `listing` is the
    // report's text as a file holds it.
    void show(const rinex::QualityReport& report, const std::vector<std::string>& listing);

signals:
    void pickNavigation();
    void printReport();
    void saveReport();
    void printSky();

private:
    void buildElevationChart(const rinex::QualityReport& q);
    void buildSnrChart(const rinex::QualityReport& q);

    SkyPage* skyPage_;
    SkyPage* elevationPage_;
    SkyPage* snrPage_;
    QWidget* reportPage_;
    SkyPlotWidget* plot_;
    QLabel* readout_;
    QChartView* elevationView_;
    QChartView* snrView_;
    QChart* elevationChart_ = nullptr;
    QChart* snrChart_ = nullptr;
    QPlainTextEdit* reportText_;
    QToolButton* print_;
    QToolButton* save_;
    QToolButton* printSky_;
};

}  // namespace korthal::app
