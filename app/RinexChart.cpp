#include "app/RinexChart.h"

#include "app/PrintListing.h"
#include "app/ToolButton.h"

#include "network/NumberText.h"
#include "table/MemTable.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QDateTime>
#include <QLocale>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

namespace korthal::app {

namespace {

// Colours that tell the lines apart, given in turn to the satellites.
const QColor kLineColours[] = {
    QColor(220, 0, 0),   QColor(0, 150, 0),   QColor(0, 0, 220),    QColor(230, 150, 0),
    QColor(160, 0, 160), QColor(0, 150, 150), QColor(120, 70, 20),  QColor(0, 0, 0),
    QColor(255, 0, 255), QColor(100, 180, 0), QColor(0, 110, 230),  QColor(128, 0, 0),
    QColor(128, 128, 0), QColor(0, 0, 128),   QColor(140, 140, 140), QColor(0, 200, 255)};

// The locale whose numbers look like the screen's separators, for the
// labels of the value axis.
QLocale labelLocale(Separators s)
{
    QLocale l = s.decimal == ',' ? QLocale(QLocale::Greek, QLocale::Greece)
                                 : QLocale(QLocale::English, QLocale::UnitedStates);
    if (s.thousands == '\0' || s.thousands == s.decimal)
        l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

}  // namespace

ChartView::ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
}

void ChartView::zoomAround(const QPointF& pos, double factor)
{
    QChart* c = chart();
    const QRectF plot = c->plotArea();
    if (!plot.contains(pos)) return;
    // The plot rectangle that, shown at full size, zooms by `factor` and
    // keeps the point under the pointer where it is.
    const QRectF r(pos.x() - (pos.x() - plot.left()) * factor,
                   pos.y() - (pos.y() - plot.top()) * factor, plot.width() * factor,
                   plot.height() * factor);
    c->zoomIn(r);
}

void ChartView::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y();
    if (steps == 0) return;
    zoomAround(e->position(), steps > 0 ? 0.8 : 1.25);
    e->accept();
}

void ChartView::resizeEvent(QResizeEvent* e)
{
    QChartView::resizeEvent(e);
    emit resized();
}

RinexChart::RinexChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    base_ = QDateTime(QDate(2000, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();

    newChart();
    view_ = new ChartView(chart_, this);

    align_ = new QCheckBox(QStringLiteral("συσχέτιση"), this);
    align_->setToolTip(QStringLiteral("Ταυτίζει τα offset όλων των γραμμών"));
    align_->setChecked(true);
    slips_ = new QCheckBox(QStringLiteral("fix cycle slips"), this);
    slips_->setToolTip(QStringLiteral("Κάνει διόρθωση των cycle slips"));
    // Nothing corrects cycle slips yet: the box is shown but cannot be ticked.
    slips_->setEnabled(false);
    help_ = toolButton(this, "helpButton", "Βοήθεια", "Βοήθεια");
    help_->setEnabled(false);
    reset_ = toolButton(this, "resetButton", "όλο το διάστημα",
                    "Επαναφέρει την αρχική κλίμακα του γραφήματος (μεγέθυνση: ροδέλα ή "
                    "πλαίσιο με το ποντίκι)");
    print_ = toolButton(this, "printButton", "Εκτύπωση", "Εκτυπώνει το γράφημα σε  Landscape A4");

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(reset_);
    row->addWidget(align_);
    row->addWidget(slips_);
    row->addWidget(help_);
    row->addWidget(print_);
    v->addLayout(row);
    v->addWidget(view_, 1);

    connect(align_, &QCheckBox::toggled, this, &RinexChart::setAligned);
    connect(reset_, &QToolButton::clicked, this, &RinexChart::resetZoom);
    connect(print_, &QToolButton::clicked, this, [this] { print(); });
    connect(view_, &ChartView::resized, this, &RinexChart::scheduleRefresh);
}

void RinexChart::newChart()
{
    chart_ = new QChart;
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->legend()->setReverseMarkers(true);
    chart_->setLocalizeNumbers(true);
    axisX_ = new QDateTimeAxis;
    axisX_->setFormat(QStringLiteral("h:mm:ss"));
    axisX_->setTitleText(QString::fromUtf8(kTimeTitle));
    axisX_->setTickCount(7);
    axisY_ = new QValueAxis;
    axisY_->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    connect(axisX_, &QDateTimeAxis::rangeChanged, this, &RinexChart::scheduleRefresh);
}

std::int32_t RinexChart::msOf(double x) const
{
    const double ms = x - static_cast<double>(base_);
    return static_cast<std::int32_t>(std::clamp(ms, -1e9, 1e9));
}

std::string RinexChart::build(const MemTable& rinex, int slot, const NumberText& numbers)
{
    data_ = rinex::buildChartSeries(rinex, slot);
    // A new chart each time: a chart once laid out without lines leaves its
    // time axis out when lines come later.
    QChart* old = chart_;
    newChart();
    lines_.clear();
    chart_->setLocale(labelLocale(numbers.display()));
    // The phases are drawn in metres, but they are no pseudoranges.
    axisY_->setTitleText(rinex::chartInCycles(slot)     ? QStringLiteral("κύκλοι")
                         : rinex::chartFactor(slot) != 1 ? QStringLiteral("Φάσεις (m)")
                                                         : QStringLiteral("Ψευδοαποστάσεις (m)"));
    std::size_t k = 0;
    for (const rinex::SatelliteSeries& s : data_.satellites) {
        auto* line = new QLineSeries;
        line->setName(QString::fromStdString(s.title()));
        chart_->addSeries(line);
        lines_.push_back(line);
        line->attachAxis(axisX_);
        line->attachAxis(axisY_);
        QPen pen(kLineColours[k++ % std::size(kLineColours)]);
        pen.setWidth(3);
        line->setPen(pen);
    }
    addMarks();
    computeRanges();
    resetZoom();
    refreshPoints();
    view_->setChart(chart_);
    delete old;
    // Again once the new chart is laid out and its plot's width known.
    scheduleRefresh();
    return data_.badTimeMessage();
}

void RinexChart::setMarks(std::vector<rinex::SlipAt> slips, std::vector<rinex::TimeSpan> gaps)
{
    slipList_ = std::move(slips);
    gapList_ = std::move(gaps);
}

void RinexChart::addMarks()
{
    slipSeries_ = nullptr;
    gapSeries_.clear();
    slipMarks_ = rinex::slipMarks(data_, slipList_);
    bool first = true;
    for (std::size_t k = 0; k < gapList_.size(); ++k) {
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        auto* area = new QAreaSeries(upper, lower);
        // The area does not own its edges: they go with it.
        upper->setParent(area);
        lower->setParent(area);
        area->setName(QStringLiteral("κενά"));
        area->setColor(QColor(160, 160, 160, 90));
        area->setBorderColor(QColor(160, 160, 160, 160));
        chart_->addSeries(area);
        area->attachAxis(axisX_);
        area->attachAxis(axisY_);
        if (!first)
            for (QLegendMarker* m : chart_->legend()->markers(area)) m->setVisible(false);
        first = false;
        gapSeries_.push_back(area);
    }
    if (!slipMarks_.empty()) {
        slipSeries_ = new QScatterSeries;
        slipSeries_->setName(QStringLiteral("cycle slips"));
        slipSeries_->setMarkerSize(11);
        slipSeries_->setColor(QColor(230, 0, 0, 50));
        slipSeries_->setBorderColor(QColor(230, 0, 0));
        QPen pen(QColor(230, 0, 0));
        pen.setWidth(2);
        slipSeries_->setPen(pen);
        chart_->addSeries(slipSeries_);
        slipSeries_->attachAxis(axisX_);
        slipSeries_->attachAxis(axisY_);
    }
}

void RinexChart::refreshMarks()
{
    const bool shift = aligned();
    if (slipSeries_) {
        QList<QPointF> points;
        for (const rinex::SlipMark& m : slipMarks_) {
            double off = 0;
            if (shift)
                for (const rinex::SatelliteSeries& s : data_.satellites)
                    if (s.prn == m.prn) off = s.offset();
            points.append(QPointF(xOf(m.ms), m.value - off));
        }
        slipSeries_->replace(points);
    }
    // Bands far beyond the values: the plot clips them, zoomed or not.
    const double span = std::max(1.0, yMax_ - yMin_);
    const double low = yMin_ - 1000 * span, high = yMax_ + 1000 * span;
    for (std::size_t k = 0; k < gapList_.size() && k < gapSeries_.size(); ++k) {
        const rinex::TimeSpan& g = gapList_[k];
        QAreaSeries* a = gapSeries_[k];
        a->upperSeries()->replace({QPointF(xOf(g.from), high), QPointF(xOf(g.to), high)});
        a->lowerSeries()->replace({QPointF(xOf(g.from), low), QPointF(xOf(g.to), low)});
    }
}

void RinexChart::setAligned(bool aligned)
{
    if (align_->isChecked() != aligned) {
        align_->setChecked(aligned);  // comes back here through toggled()
        return;
    }
    computeRanges();
    resetZoom();
    refreshPoints();
}

bool RinexChart::aligned() const { return align_->isChecked(); }

void RinexChart::computeRanges()
{
    const bool shift = aligned();
    double x0 = std::numeric_limits<double>::max(), x1 = -x0;
    double y0 = x0, y1 = -x0;
    for (const rinex::SatelliteSeries& s : data_.satellites) {
        const double off = shift ? s.offset() : 0.0;
        for (const rinex::SeriesPoint& p : s.points) {
            x0 = std::min(x0, double(p.ms));
            x1 = std::max(x1, double(p.ms));
            y0 = std::min(y0, p.value - off);
            y1 = std::max(y1, p.value - off);
        }
    }
    if (x0 > x1) {  // no points: a whole day, values 0 to 1
        x0 = 0, x1 = 86400000;
        y0 = 0, y1 = 1;
    }
    if (x1 - x0 < 60000) {
        x0 -= 30000;
        x1 += 30000;
    }
    const double pad = y1 > y0 ? (y1 - y0) * 0.05 : std::max(1.0, std::abs(y0) * 0.05);
    // Ticks on round times of day: 0:00:00, 4:00:00 ... rather than 3:59:59.
    const rinex::TimeTicks ticks = rinex::roundTimeTicks(static_cast<std::int32_t>(x0),
                                                         static_cast<std::int32_t>(x1), 6);
    xMin_ = xOf(ticks.from);
    xMax_ = xOf(ticks.to);
    xTicks_ = ticks.ticks;
    yMin_ = y0 - pad;
    yMax_ = y1 + pad;
}

void RinexChart::resetZoom()
{
    axisX_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMin_)),
                     QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xMax_)));
    axisX_->setTickCount(xTicks_);
    axisY_->setRange(yMin_, yMax_);
    // Value ticks on round numbers too; enough of them that rounding the
    // ends out leaves little of the plot empty.
    axisY_->setTickCount(9);
    axisY_->applyNiceNumbers();
}

void RinexChart::scheduleRefresh()
{
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refreshPoints();
    });
}

void RinexChart::refreshPoints()
{
    const std::int32_t from = msOf(static_cast<double>(axisX_->min().toMSecsSinceEpoch()));
    const std::int32_t to = msOf(static_cast<double>(axisX_->max().toMSecsSinceEpoch()));
    // The plot's width in pixels; before the chart is laid out, the view's.
    const int plotWidth = static_cast<int>(chart_->plotArea().width());
    const int columns = std::max(1, plotWidth > 0 ? plotWidth : view_->viewport()->width());
    const bool shift = aligned();
    for (std::size_t i = 0; i < lines_.size() && i < data_.satellites.size(); ++i) {
        const rinex::SatelliteSeries& s = data_.satellites[i];
        const double off = shift ? s.offset() : 0.0;
        const std::vector<std::uint32_t> keep = rinex::thinForColumns(s.points, from, to, columns);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(keep.size()));
        for (std::uint32_t k : keep)
            points.append(QPointF(xOf(s.points[k].ms), s.points[k].value - off));
        lines_[i]->replace(points);
    }
    refreshMarks();
}

bool RinexChart::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!execPrintDialog(printer, this, pdfName)) return false;
    return reportFailure(printer, paint(printer));
}

bool RinexChart::paint(QPrinter& printer)
{
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = p.viewport();
    // The heading says whose observations these are, in a font of about
    // 11 points whatever the printer's resolution.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(8, printer.resolution() * 11 / 72));
    p.setFont(font);
    // Shifted lines say so, so that nobody reads them as the raw values.
    const QString text =
        heading + (aligned() ? QStringLiteral("\nσυσχέτιση: κάθε γραμμή ξεκινά από 0") : QString());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect headingBox = p.boundingRect(page, flags, text);
    p.drawText(page, flags, text);
    QRect body = page;
    if (!text.isEmpty()) body.setTop(headingBox.bottom() + p.fontMetrics().height());
    // The chart as the screen shows it, scaled to the rest of the page.
    chart_->scene()->render(&p, QRectF(body), chart_->geometry(), Qt::KeepAspectRatio);
    return p.end();
}

}  // namespace korthal::app
