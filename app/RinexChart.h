#pragma once
// The observation viewer's chart `Chart1`: one line per satellite of one
// observable against the time of day, with its check boxes and buttons.
//
// The data come from views/RinexSeries.h. A day of 1-second epochs has tens
// of thousands of points per satellite, far more than the plot has pixels:
// each line is given only the points that decide what each pixel column
// shows (thinForColumns), taken again from the whole line whenever the
// visible span or the plot's width changes. So building the chart, zooming
// and redrawing cost about the same for a day as for an hour.

#include "views/RinexSeries.h"

#include <QChartView>
#include <QWidget>

#include <string>
#include <vector>

class QAreaSeries;
class QCheckBox;
class QScatterSeries;
class QDateTimeAxis;
class QLineSeries;
class QPrinter;
class QToolButton;
class QValueAxis;

namespace korthal {
class MemTable;
class NumberText;
}  // namespace korthal

namespace korthal::app {

// The plot: the wheel zooms around the pointer, a dragged rectangle zooms
// into it (the right button steps back out).
class ChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChartView(QChart* chart, QWidget* parent = nullptr);
    // Zooms both axes around a point of the plot (widget coordinates):
    // factor below 1 zooms in.
    void zoomAround(const QPointF& pos, double factor);

signals:
    void resized();

protected:
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};

class RinexChart : public QWidget {
    Q_OBJECT
public:
    static inline const char* const kTimeTitle = "χρόνος παρατήρησης  (GPS)";

    explicit RinexChart(QWidget* parent = nullptr);

    // Builds the chart of an observable (reader slot 1 = C1 ... 8 = D2) from
    // the table, in the table's order. Returns the one message about records
    // whose time is no time of a day ("" when there are none).
    std::string build(const MemTable& rinex, int slot, const NumberText& numbers);

    // The cycle slips and the gaps the next build marks: slips as red rings
    // on their satellite's line at the first epoch after the slip, gaps as
    // grey bands across the plot.
    void setMarks(std::vector<rinex::SlipAt> slips, std::vector<rinex::TimeSpan> gaps);
    QScatterSeries* slipSeries() const { return slipSeries_; }
    const std::vector<QAreaSeries*>& gapSeries() const { return gapSeries_; }
    const std::vector<rinex::SlipMark>& slipMarks() const { return slipMarks_; }

    // "συσχέτιση": every line shifted to start at 0 (ticked), or the raw values.
    void setAligned(bool aligned);
    bool aligned() const;
    // Back to the whole span of the data.
    void resetZoom();

    // The print button: the print dialog, then the chart on a landscape A4
    // page under `heading`; `pdfName` is the file offered for printing into
    // a PDF. False when cancelled or failed (the failure with a message).
    bool print();
    QString pdfName;
    QString heading;
    // The heading and the chart on one page of `printer` (its orientation as
    // set). False when the printer could not be started.
    bool paint(QPrinter& printer);

    QChart* chart() const { return chart_; }
    ChartView* view() const { return view_; }
    QDateTimeAxis* timeAxis() const { return axisX_; }
    QValueAxis* valueAxis() const { return axisY_; }
    const std::vector<QLineSeries*>& lines() const { return lines_; }
    const rinex::ChartSeries& series() const { return data_; }
    QCheckBox* alignBox() const { return align_; }
    QCheckBox* slipsBox() const { return slips_; }
    QToolButton* printButton() const { return print_; }
    QToolButton* helpButton() const { return help_; }
    QToolButton* resetButton() const { return reset_; }
    // The time of day (ms) of an x value of the chart, and back.
    double xOf(std::int32_t ms) const { return static_cast<double>(base_ + ms); }
    std::int32_t msOf(double x) const;

    // Gives every line the points of the visible span that its pixels need.
    void refreshPoints();

private:
    // An empty chart with its two axes, in chart_, axisX_ and axisY_.
    void newChart();
    void scheduleRefresh();
    void computeRanges();

    QChart* chart_;
    ChartView* view_;
    QDateTimeAxis* axisX_;
    QValueAxis* axisY_;
    QCheckBox* align_;
    QCheckBox* slips_;
    QToolButton* help_;
    QToolButton* reset_;
    QToolButton* print_;
    std::vector<QLineSeries*> lines_;
    std::vector<rinex::SlipAt> slipList_;
    std::vector<rinex::TimeSpan> gapList_;
    std::vector<rinex::SlipMark> slipMarks_;
    QScatterSeries* slipSeries_ = nullptr;
    std::vector<QAreaSeries*> gapSeries_;
    void addMarks();
    void refreshMarks();
    rinex::ChartSeries data_;
    qint64 base_ = 0;  // the x of midnight
    double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
    int xTicks_ = 7;
    bool refreshPending_ = false;
};

}  // namespace korthal::app
