// The observation viewer's sky pages: where the navigation file, the
// point's position and the elevation mask come from, the quality report
// computed from them, and its printing and saving.

#include "app/RinexViewerSky.h"

#include "app/PrintListing.h"
#include "app/RinexChart.h"
#include "app/RinexSkyTabs.h"
#include "app/ToolButton.h"
#include "network/PointTables.h"
#include "paint/SkyPlotPainter.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "project/TextOutput.h"
#include "views/RinexTable.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace korthal::app {

QWidget* RinexViewer::buildSkyBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("skyBar"));
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(2, 0, 2, 0);
    navigationLabel_ = new QLabel(bar);
    navigationLabel_->setObjectName(QStringLiteral("navigationLabel"));
    navigationLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    navigationLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    navigationButton_ = toolButton(bar, "navigationButton", "εφημερίδες …",
                                   "Αναζήτηση του αρχείου εφημερίδων (navigation) RINEX");
    auto* maskLabel = new QLabel(QStringLiteral("γωνία αποκοπής"), bar);
    mask_ = new QDoubleSpinBox(bar);
    mask_->setObjectName(QStringLiteral("elevationMask"));
    mask_->setRange(0, 89);
    mask_->setDecimals(1);
    mask_->setSingleStep(1);
    mask_->setSuffix(QStringLiteral("°"));
    mask_->setValue(rinex::kDefaultElevationMask);
    mask_->setKeyboardTracking(false);
    mask_->setToolTip(QStringLiteral("Οι παρατηρήσεις κάτω από αυτό το ύψος δεν μετρούν στην ποιότητα"));
    h->addWidget(navigationLabel_, 1);
    h->addWidget(navigationButton_);
    h->addSpacing(12);
    h->addWidget(maskLabel);
    h->addWidget(mask_);
    connect(navigationButton_, &QToolButton::clicked, this, &RinexViewer::chooseNavigationFile);
    connect(mask_, &QDoubleSpinBox::valueChanged, this, &RinexViewer::setElevationMask);
    bar->hide();
    return bar;
}

bool RinexViewer::skyTabActive() const
{
    QWidget* w = tabs_->currentWidget();
    return w == skyTabs_->skyPage() || w == skyTabs_->elevationPage() ||
           w == skyTabs_->snrPage() || w == skyTabs_->reportPage();
}

void RinexViewer::findNavigationFile()
{
    const std::string settings =
        rinex_.RinexFileName.empty() ? std::string() : rinexSettingsFileName(rinex_.RinexFileName);
    std::string nav = rinex::rememberedNavigationFile(settings);
    if (nav.empty() || !QFileInfo(QString::fromStdString(nav)).isFile()) {
        // Beside the observation files read into the table: in the job
        // folder, the table's folder or the working folder.
        const std::string job = jobFolderOf(doc_.CurrentFileName);
        const std::string tableFolder =
            QFileInfo(QString::fromStdString(rinex_.RinexFileName)).path().toStdString();
        std::string found = rinex::navigationFileForNames(
            originalFiles_, {job.empty() ? std::string(".") : job, tableFolder, "."});
        if (!found.empty())
            found = QFileInfo(QString::fromStdString(found)).absoluteFilePath().toStdString();
        if (!found.empty() && !settings.empty() && !rinex_.table().isEmpty()) {
            std::string error;
            if (!rinex::rememberNavigationFile(settings, found, error))
                showMessage(error, MsgIcon::Exclamation);
        }
        if (!found.empty()) nav = found;
    }
    sky_->source.loadNavigation(rinex_.table().isEmpty() ? std::string() : nav);
}

void RinexViewer::showNavigationFile()
{
    const std::string& nav = sky_->source.navigationFile();
    const auto& skipped = sky_->source.findings();
    QString text = nav.empty() ? QStringLiteral("χωρίς αρχείο εφημερίδων")
                               : QStringLiteral("εφημερίδες: ") + QString::fromStdString(nav);
    // Records of the file that could not be read lose their satellites for
    // a while: the line says how many, the hint which.
    QString hint = QString::fromStdString(nav);
    if (!skipped.empty()) {
        text += skipped.size() == 1
                    ? QStringLiteral(" (1 εγγραφή παραλείφθηκε)")
                    : QStringLiteral(" (%1 εγγραφές παραλείφθηκαν)").arg(skipped.size());
        for (const rinex::NavigationFinding& f : skipped)
            hint += QLatin1Char('\n') + QString::fromStdString(f.message);
    }
    navigationLabel_->setText(text);
    navigationLabel_->setToolTip(hint);
}

rinex::ChosenPosition RinexViewer::skyPosition() const
{
    const std::string settings =
        rinex_.RinexFileName.empty() ? std::string() : rinexSettingsFileName(rinex_.RinexFileName);
    const MemTable& gps = doc_.GPS();
    const Rec point = gps.current();
    const auto network =
        point == NoRec ? std::nullopt
                       : rinex::networkPointPosition(gps.getFloat(point, gps::X),
                                                     gps.getFloat(point, gps::Y),
                                                     gps.getFloat(point, gps::Z),
                                                     doc_.InputIsGeocentric());
    return rinex::choosePosition(network, rinex::headerPosition(settings));
}

void RinexViewer::skyPositionChanged()
{
    const rinex::ChosenPosition p = skyPosition();
    const auto& now = sky_->source.source();
    const bool same =
        p.source == now.positionSource && p.position.has_value() == now.position.has_value() &&
        (!p.position || (p.position->X == now.position->X && p.position->Y == now.position->Y &&
                         p.position->Z == now.position->Z));
    if (same) return;
    sky_->source.setPosition(p);
    qualityStale_ = true;
    skyShownStale_ = true;
    refreshSkyTabs();
}

void RinexViewer::skySourceChanged()
{
    findNavigationFile();
    sky_->source.setPosition(skyPosition());
    const std::string settings =
        rinex_.RinexFileName.empty() ? std::string() : rinexSettingsFileName(rinex_.RinexFileName);
    mask_->blockSignals(true);
    mask_->setValue(rinex::rememberedElevationMask(settings));
    mask_->blockSignals(false);
    showNavigationFile();
    qualityStale_ = true;
    skyShownStale_ = true;
    refreshSkyTabs();
}

const rinex::ObservationSky& RinexViewer::observationSky() const { return sky_->source; }

const rinex::QualityReport& RinexViewer::quality()
{
    if (qualityStale_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        sky_->report = rinex::computeQuality(rinex_.table(), sky_->source.source(), mask_->value());
        QGuiApplication::restoreOverrideCursor();
        qualityStale_ = false;
        skyShownStale_ = true;
    }
    return sky_->report;
}

std::string RinexViewer::qualityHeading() const
{
    return windowTitle().trimmed().toStdString() + "  -  αναφορά ποιότητας";
}

void RinexViewer::refreshSkyTabs()
{
    if (!skyTabActive()) return;
    const rinex::QualityReport& q = quality();
    if (!skyShownStale_) return;
    skyShownStale_ = false;
    skyTabs_->show(q, rinex::qualityListing(q, sky_->source.source(), qualityHeading(), originalFiles_,
                                            doc_.numbers().display().decimal, 0)
                          .front());
}

void RinexViewer::chooseNavigationFile()
{
    const QString folder = QDir::currentPath();
    std::string start = jobFolderOf(doc_.CurrentFileName);
    if (!sky_->source.navigationFile().empty())
        start = QFileInfo(QString::fromStdString(sky_->source.navigationFile())).path().toStdString();
    const auto file = dialogs().chooseFile(
        "Αναζήτηση του αρχείου εφημερίδων RINEX",
        "Αρχεία εφημερίδων RINEX|*.??n;*.??N;*.rnx;*.gz;*.Z|Όλα τα αρχεία|*",
        start.empty() ? std::string(".") : start, "");
    QDir::setCurrent(folder);
    if (!file) return;
    const QString absolute = QFileInfo(QString::fromStdString(*file)).absoluteFilePath();
    if (!rinex_.RinexFileName.empty() && !rinex_.table().isEmpty()) {
        std::string error;
        if (!rinex::rememberNavigationFile(rinexSettingsFileName(rinex_.RinexFileName),
                                           absolute.toStdString(), error)) {
            showMessage(error, MsgIcon::Exclamation);
            return;
        }
        skySourceChanged();
    } else {
        sky_->source.loadNavigation(absolute.toStdString());
        showNavigationFile();
        qualityStale_ = true;
        refreshSkyTabs();
    }
    // The observable chart on show marks the slips found with the orbits.
    if (chart_->isVisibleTo(this)) PageControlChange(tabs_->currentIndex());
}

void RinexViewer::setElevationMask(double degrees)
{
    if (!rinex_.RinexFileName.empty() && !rinex_.table().isEmpty()) {
        std::string error;
        if (!rinex::rememberElevationMask(rinexSettingsFileName(rinex_.RinexFileName), degrees,
                                          error))
            showMessage(error, MsgIcon::Exclamation);
    }
    qualityStale_ = true;
    refreshSkyTabs();
}

bool RinexViewer::printQualityReport()
{
    const rinex::QualityReport& q = quality();
    const auto pages = rinex::qualityListing(q, sky_->source.source(), qualityHeading(), originalFiles_,
                                             doc_.numbers().display().decimal, 87);
    return printPages(this, pages, pdfBesideTable(QStringLiteral("_QC")));
}

bool RinexViewer::printSkyPlot()
{
    const rinex::QualityReport& q = quality();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!execPrintDialog(printer, this, pdfBesideTable(QStringLiteral("_SKY")))) return false;
    QPainter p;
    bool painted = p.begin(&printer);
    if (painted) {
        const QRect page = p.viewport();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(8, printer.resolution() * 11 / 72));
        p.setFont(font);
        // Whose sky, from which files and position, with which mask.
        QString heading = windowTitle().trimmed() + QStringLiteral("  -  διάγραμμα ουρανού\n") +
                          QString::fromStdString(originalFiles_);
        if (!sky_->source.navigationFile().empty())
            heading += QStringLiteral(", ") +
                       QFileInfo(QString::fromStdString(sky_->source.navigationFile())).fileName();
        if (!sky_->source.source().positionSource.empty())
            heading += QStringLiteral("\nθέση: ") +
                       QString::fromStdString(sky_->source.source().positionSource);
        heading += QStringLiteral("\nγωνία αποκοπής: %1°").arg(q.mask, 0, 'f', 1);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRect box = p.boundingRect(page, flags, heading);
        p.drawText(page, flags, heading);
        QRect body = page;
        body.setTop(box.bottom() + p.fontMetrics().height());
        const int side = std::min(body.width(), body.height());
        const QRectF square(body.left() + (body.width() - side) / 2.0, body.top(), side, side);
        // Texts of about 9 to 13 points, lines to match.
        paint::paintSkyPlot(p, square, printer.resolution() / 72.0, q.sky);
        painted = p.end();
    }
    return reportFailure(printer, painted);
}

bool RinexViewer::saveQualityReport()
{
    std::string offered = rinex_.RinexFileName;
    if (const std::size_t dot = offered.rfind('.');
        dot != std::string::npos && offered.find('/', dot) == std::string::npos)
        offered.resize(dot);
    offered += "_QC.TXT";
    const auto name = dialogs().input("Αποθήκευση της αναφοράς ποιότητας",
                                      "Σε ποιό αρχείο θα γίνει η αποθήκευση", offered);
    if (!name) return false;
    const NumberSettings& ns = doc_.numberSettings();
    const rinex::QualityReport& q = quality();
    const auto pages = rinex::qualityListing(q, sky_->source.source(), qualityHeading(), originalFiles_,
                                             ns.DecimalSeparators[NumberDestination::OutputFile], 0);
    doc_.LastTextFile = *name;
    if (!writeTextLines(*name, pages.front())) {
        showMessage(Document::saveErrorMessage(*name));
        return false;
    }
    if (showTextFile) showTextFile();
    return true;
}

}  // namespace korthal::app
