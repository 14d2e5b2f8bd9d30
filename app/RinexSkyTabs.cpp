#include "app/RinexSkyTabs.h"

#include "app/ToolButton.h"
#include "paint/SkyPlotPainter.h"
#include "views/RinexQuality.h"
#include "views/RinexSeries.h"
#include "views/RinexSkySource.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korthal::app {

namespace {

const QColor kColours[] = {
    QColor(220, 0, 0),   QColor(0, 150, 0),   QColor(0, 0, 220),    QColor(230, 150, 0),
    QColor(160, 0, 160), QColor(0, 150, 150), QColor(120, 70, 20),  QColor(0, 0, 0),
    QColor(255, 0, 255), QColor(100, 180, 0), QColor(0, 110, 230),  QColor(128, 0, 0),
    QColor(128, 128, 0), QColor(0, 0, 128),   QColor(140, 140, 140), QColor(0, 200, 255)};

QString satelliteName(int prn)
{
    return QStringLiteral("G%1").arg(prn, 2, 10, QLatin1Char('0'));
}

// The plot's pixels for the readout's reach.
constexpr double kReach = 8.0;

}  // namespace

// ---- Sky plot ----

SkyPlotWidget::SkyPlotWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("skyPlot"));
    setMouseTracking(true);
    setMinimumSize(240, 240);
    setAutoFillBackground(false);
}

void SkyPlotWidget::setReport(const rinex::QualityReport* report)
{
    report_ = report;
    hovering_ = false;
    update();
}

QRectF SkyPlotWidget::plotRect() const { return QRectF(rect()); }

QString SkyPlotWidget::readoutAt(const QPointF& pos) const
{
    if (!report_) return {};
    const auto hit = paint::skyPlotNearest(plotRect(), 1.0, report_->sky, pos, kReach);
    if (!hit) return {};
    return QString::fromStdString(rinex::skyReadout(*report_, hit->track, hit->point));
}

QPointF SkyPlotWidget::pointOf(std::size_t track, std::size_t point) const
{
    if (!report_ || track >= report_->sky.tracks.size() ||
        point >= report_->sky.tracks[track].points.size())
        return {};
    const rinex::SkyPoint& p = report_->sky.tracks[track].points[point];
    return paint::skyPlotPoint(plotRect(), 1.0, p.azimuth, p.elevation);
}

void SkyPlotWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!report_) return;
    paint::paintSkyPlot(p, plotRect(), 1.0, report_->sky);
    if (hovering_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(pointOf(hoverTrack_, hoverPoint_), 5.0, 5.0);
    }
}

void SkyPlotWidget::mouseMoveEvent(QMouseEvent* e)
{
    const auto hit = report_ ? paint::skyPlotNearest(plotRect(), 1.0, report_->sky, e->position(), kReach)
                             : std::nullopt;
    const bool changed = hit.has_value() != hovering_ ||
                         (hit && (hit->track != hoverTrack_ || hit->point != hoverPoint_));
    hovering_ = hit.has_value();
    if (hit) hoverTrack_ = hit->track, hoverPoint_ = hit->point;
    if (changed) update();
    emit hovered(hit ? QString::fromStdString(rinex::skyReadout(*report_, hit->track, hit->point))
                     : QString());
    QWidget::mouseMoveEvent(e);
}

void SkyPlotWidget::leaveEvent(QEvent* e)
{
    if (hovering_) update();
    hovering_ = false;
    emit hovered(QString());
    QWidget::leaveEvent(e);
}

// ---- A page with content or the reason there is none ----

SkyPage::SkyPage(QWidget* content, QWidget* parent) : QWidget(parent)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    stack_ = new QStackedWidget(this);
    v->addWidget(stack_);
    auto* none = new QWidget(stack_);
    auto* nv = new QVBoxLayout(none);
    nv->addStretch();
    reason_ = new QLabel(none);
    reason_->setObjectName(QStringLiteral("skyReason"));
    reason_->setWordWrap(true);
    reason_->setAlignment(Qt::AlignCenter);
    nv->addWidget(reason_);
    pick_ = new QPushButton(QStringLiteral("Επιλογή αρχείου εφημερίδων …"), none);
    pick_->setObjectName(QStringLiteral("pickNavigationButton"));
    pick_->setToolTip(QStringLiteral("Αναζήτηση του αρχείου εφημερίδων (navigation) RINEX"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(pick_);
    row->addStretch();
    nv->addLayout(row);
    nv->addStretch();
    stack_->addWidget(none);
    stack_->addWidget(content);
    connect(pick_, &QPushButton::clicked, this, &SkyPage::pickNavigation);
}

void SkyPage::showReason(const QString& reason, bool offerPick)
{
    reason_->setText(reason);
    pick_->setVisible(offerPick);
    stack_->setCurrentIndex(reason.isEmpty() ? 1 : 0);
}

bool SkyPage::contentShown() const { return stack_->currentIndex() == 1; }

// ---- The pages ----

RinexSkyTabs::RinexSkyTabs(QWidget* parent) : QObject(parent)
{
    // The sky plot with its readout under it.
    auto* skyContent = new QWidget(parent);
    auto* sv = new QVBoxLayout(skyContent);
    sv->setContentsMargins(0, 0, 0, 0);
    plot_ = new SkyPlotWidget(skyContent);
    sv->addWidget(plot_, 1);
    readout_ = new QLabel(skyContent);
    readout_->setObjectName(QStringLiteral("skyReadout"));
    readout_->setMinimumHeight(readout_->fontMetrics().height() + 4);
    readout_->setText(QStringLiteral("Δείξτε ένα ίχνος δορυφόρου με το ποντίκι."));
    printSky_ = toolButton(skyContent, "skyPrintButton", "Εκτύπωση",
                           "Εκτυπώνει το διάγραμμα ουρανού σε A4");
    auto* under = new QHBoxLayout;
    under->addWidget(readout_, 1);
    under->addWidget(printSky_);
    sv->addLayout(under);
    connect(printSky_, &QToolButton::clicked, this, &RinexSkyTabs::printSky);
    connect(plot_, &SkyPlotWidget::hovered, this, [this](const QString& text) {
        readout_->setText(text.isEmpty() ? QStringLiteral("Δείξτε ένα ίχνος δορυφόρου με το ποντίκι.")
                                         : text);
    });
    skyPage_ = new SkyPage(skyContent, parent);
    skyPage_->setObjectName(QStringLiteral("TSSky"));

    // Each view starts with an empty chart of ours: a chart given to a view
    // later does not free the one it replaces, the code below does.
    elevationChart_ = new QChart;
    elevationView_ = new QChartView(elevationChart_, parent);
    elevationView_->setRenderHint(QPainter::Antialiasing, true);
    elevationPage_ = new SkyPage(elevationView_, parent);
    elevationPage_->setObjectName(QStringLiteral("TSElevation"));

    snrChart_ = new QChart;
    snrView_ = new QChartView(snrChart_, parent);
    snrView_->setRenderHint(QPainter::Antialiasing, true);
    snrPage_ = new SkyPage(snrView_, parent);
    snrPage_->setObjectName(QStringLiteral("TSSnr"));

    for (SkyPage* p : {skyPage_, elevationPage_, snrPage_})
        connect(p, &SkyPage::pickNavigation, this, &RinexSkyTabs::pickNavigation);

    // The report: the listing with its print and save buttons.
    reportPage_ = new QWidget(parent);
    reportPage_->setObjectName(QStringLiteral("TSReport"));
    auto* rv = new QVBoxLayout(reportPage_);
    rv->setContentsMargins(2, 2, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    print_ = toolButton(reportPage_, "reportPrintButton", "Εκτύπωση",
                        "Εκτυπώνει την αναφορά ποιότητας");
    save_ = toolButton(reportPage_, "reportSaveButton", "Αποθήκευση",
                       "Αποθηκεύει την αναφορά ποιότητας σε αρχείο κειμένου");
    buttons->addWidget(print_);
    buttons->addWidget(save_);
    rv->addLayout(buttons);
    reportText_ = new QPlainTextEdit(reportPage_);
    reportText_->setObjectName(QStringLiteral("reportText"));
    reportText_->setReadOnly(true);
    reportText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rv->addWidget(reportText_, 1);
    connect(print_, &QToolButton::clicked, this, &RinexSkyTabs::printReport);
    connect(save_, &QToolButton::clicked, this, &RinexSkyTabs::saveReport);
}

void RinexSkyTabs::show(const rinex::QualityReport& q, const std::vector<std::string>& listing)
{
    QString text;
    for (const std::string& l : listing) text += QString::fromStdString(l) + QLatin1Char('\n');
    reportText_->setPlainText(text);

    const QString reason = q.sky.available ? QString() : QString::fromStdString(q.sky.reason);
    for (SkyPage* p : {skyPage_, elevationPage_, snrPage_}) {
        // Without observations a navigation file would not help.
        if (q.epochs.empty())
            p->showReason(QStringLiteral("Ο πίνακας του σημείου δεν έχει παρατηρήσεις: διαβάστε "
                                         "ένα αρχείο παρατηρήσεων RINEX (το κουμπί με το "
                                         "φάκελο, πάνω δεξιά)."),
                          false);
        else
            p->showReason(reason);
    }
    bool strength = false;
    for (const rinex::SkyTrack& t : q.sky.tracks)
        for (const rinex::SkyPoint& p : t.points) strength = strength || (t.tracked && p.snr > 0);
    if (q.sky.available && !strength)
        snrPage_->showReason(QStringLiteral("Το αρχείο παρατηρήσεων δεν δίνει ποιότητα σήματος "
                                            "(ψηφία ισχύος σήματος) για τις φάσεις ή τους κώδικες."),
                             false);
    plot_->setReport(&q);
    readout_->setText(QStringLiteral("Δείξτε ένα ίχνος δορυφόρου με το ποντίκι."));
    buildElevationChart(q);
    buildSnrChart(q);
}

void RinexSkyTabs::buildElevationChart(const rinex::QualityReport& q)
{
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignRight);
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("h:mm:ss"));
    x->setTitleText(QStringLiteral("χρόνος παρατήρησης  (GPS)"));
    x->setTickCount(7);
    auto* y = new QValueAxis;
    y->setRange(0, 90);
    y->setTickCount(7);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setTitleText(QStringLiteral("ύψος δορυφόρου (°)"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    // Midnight of the first epoch's day at the chart's base time.
    const qint64 base = QDateTime(QDate(2000, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    const double day0 = q.epochs.empty() ? 0.0 : std::floor(q.epochs.front() / 86400.0) * 86400.0;
    const auto xOf = [&](std::int32_t epoch) {
        const double t = epoch >= 0 && static_cast<std::size_t>(epoch) < q.epochs.size()
                             ? q.epochs[static_cast<std::size_t>(epoch)]
                             : day0;
        return static_cast<double>(base) + (t - day0) * 1000.0;
    };
    std::size_t k = 0;
    for (const rinex::SkyTrack& t : q.sky.tracks) {
        if (!t.tracked) continue;
        const QColor colour = kColours[k++ % std::size(kColours)];
        QLineSeries* line = nullptr;
        bool first = true;
        for (const rinex::SkyPoint& p : t.points) {
            if (!line || p.newArc) {
                line = new QLineSeries;
                line->setName(satelliteName(t.prn));
                QPen pen(colour);
                pen.setWidth(2);
                line->setPen(pen);
                chart->addSeries(line);
                line->attachAxis(x);
                line->attachAxis(y);
                // One legend entry per satellite, whatever its arcs.
                if (!first)
                    for (QLegendMarker* m : chart->legend()->markers(line)) m->setVisible(false);
                first = false;
            }
            line->append(xOf(p.epoch), static_cast<double>(p.elevation));
        }
    }
    // The mask as a red dashed line across the whole span.
    if (!q.epochs.empty()) {
        auto* mask = new QLineSeries;
        mask->setName(QStringLiteral("μάσκα"));
        QPen pen(QColor(0xD0, 0x20, 0x20), 1.5, Qt::DashLine);
        mask->setPen(pen);
        mask->append(xOf(0), q.mask);
        mask->append(xOf(static_cast<std::int32_t>(q.epochs.size() - 1)), q.mask);
        chart->addSeries(mask);
        mask->attachAxis(x);
        mask->attachAxis(y);
        // Ticks on round times, as on the observables' charts.
        const double from = xOf(0), to = xOf(static_cast<std::int32_t>(q.epochs.size() - 1));
        const double pad = to - from < 60000 ? 30000 : 0;
        const auto ms = [&](double v) {
            return static_cast<std::int32_t>(std::clamp(v - static_cast<double>(base), 0.0, 2e9));
        };
        const rinex::TimeTicks ticks = rinex::roundTimeTicks(ms(from - pad), ms(to + pad), 6);
        x->setRange(QDateTime::fromMSecsSinceEpoch(base + ticks.from),
                    QDateTime::fromMSecsSinceEpoch(base + ticks.to));
        x->setTickCount(ticks.ticks);
    }
    QChart* old = elevationChart_;
    elevationChart_ = chart;
    elevationView_->setChart(chart);
    delete old;
}

void RinexSkyTabs::buildSnrChart(const rinex::QualityReport& q)
{
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignRight);
    auto* x = new QValueAxis;
    x->setRange(0, 90);
    x->setTickCount(7);
    x->setLabelFormat(QStringLiteral("%.0f"));
    x->setTitleText(QStringLiteral("ύψος δορυφόρου (°)"));
    auto* y = new QValueAxis;
    y->setRange(0, 9.5);
    y->setTickCount(11);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setTitleText(QStringLiteral("ποιότητα σήματος L1 (1-9)"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    std::size_t k = 0;
    for (const rinex::SkyTrack& t : q.sky.tracks) {
        if (!t.tracked) continue;
        auto* dots = new QScatterSeries;
        dots->setName(satelliteName(t.prn));
        dots->setMarkerSize(6);
        const QColor colour = kColours[k++ % std::size(kColours)];
        dots->setColor(colour);
        dots->setBorderColor(colour);
        for (const rinex::SkyPoint& p : t.points)
            if (p.snr > 0 && p.elevation >= 0)
                dots->append(static_cast<double>(p.elevation), p.snr);
        chart->addSeries(dots);
        dots->attachAxis(x);
        dots->attachAxis(y);
    }
    QChart* old = snrChart_;
    snrChart_ = chart;
    snrView_->setChart(chart);
    delete old;
}

}  // namespace korthal::app
