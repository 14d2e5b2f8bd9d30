#include "app/RinexViewer.h"
#include "app/RinexViewerSky.h"

#include "app/PrintListing.h"
#include "app/RinexChart.h"
#include "app/RinexGrid.h"
#include "app/RinexSkyTabs.h"
#include "app/ToolButton.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "views/RinexReader.h"
#include "project/Settings.h"
#include "project/TextOutput.h"
#include "table/TextUtil.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressDialog>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace korthal::app {

namespace {

const char* const kChartCaptions[9] = {"", "C1", "C2", "P1", "P2", "L1", "L2", "D1", "D2"};

QToolButton* smallButton(QWidget* parent, const char* name, const QIcon& icon, const char* text,
                         const char* hint)
{
    QToolButton* b = toolButton(parent, name, text, hint);
    b->setIcon(icon);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return b;
}

// A small printer: paper over the body with its tray.
QIcon printerIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 6);
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(1, 6, 14, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 8, 5);
    return QIcon(pm);
}

}  // namespace

RinexViewer::RinexViewer(Document& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), sky_(std::make_unique<Sky>())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(700, 539);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    buildTabs();
    // FormCreate: every item of the column list ticked.
    for (int i = 0; i < columnList_->count(); ++i)
        columnList_->item(i)->setCheckState(Qt::Checked);
    ApplyObservationTypes();
}

RinexViewer::~RinexViewer()
{
    // The grid's model listens to the observation table, a member of this
    // window: it must go before the table does, not with the child widgets
    // after it.
    delete grid_;
    grid_ = nullptr;
}

QWidget* RinexViewer::buildTopPanel()
{
    auto* panel = new QWidget(this);
    auto* h = new QHBoxLayout(panel);
    h->setContentsMargins(0, 0, 2, 0);
    h->setSpacing(2);
    combo_ = new QComboBox(panel);
    combo_->setObjectName(QStringLiteral("ComboBox1"));
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(8);
    combo_->setToolTip(QStringLiteral("Σημείο του δικτύου"));
    search_ = smallButton(panel, "SpeedButton2", style()->standardIcon(QStyle::SP_DialogOpenButton),
                          "RINEX", "Αναζήτηση του αρχείου παρατηρήσεων RINEX");
    printTable_ = smallButton(panel, "printTableButton", printerIcon(), "εκτύπωση",
                              "Εκτυπώνει τον πίνακα");
    saveTable_ = smallButton(panel, "saveTableButton",
                             style()->standardIcon(QStyle::SP_DialogSaveButton), "αποθήκευση",
                             "Αποθηκεύει σε δισκέτα τον πίνακα");
    h->addWidget(combo_);
    h->addWidget(search_);
    h->addWidget(printTable_);
    h->addWidget(saveTable_);
    connect(combo_, &QComboBox::activated, this, &RinexViewer::ComboBox1Change);
    connect(search_, &QToolButton::clicked, this, &RinexViewer::SpeedButton2Click);
    connect(printTable_, &QToolButton::clicked, this, [this] { printTable(); });
    connect(saveTable_, &QToolButton::clicked, this, [this] { saveTable(); });
    return panel;
}

void RinexViewer::buildTabs()
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    tabs_->setCornerWidget(buildTopPanel(), Qt::TopRightCorner);
    v->addWidget(tabs_);
    skyBar_ = buildSkyBar();
    v->addWidget(skyBar_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summaryLine"));
    summary_->setWordWrap(true);
    summary_->hide();
    v->addWidget(summary_);

    tabGeneral_ = buildGeneralPage();
    tabs_->addTab(tabGeneral_, QStringLiteral("Γενικά"));

    // "παρατηρήσεις": the column list over the grid.
    tabObservations_ = new QWidget(tabs_);
    tabObservations_->setObjectName(QStringLiteral("TabSheet2"));
    auto* ov = new QVBoxLayout(tabObservations_);
    ov->setContentsMargins(2, 2, 2, 2);
    auto* columns = new QGroupBox(QStringLiteral("  στήλες  "), tabObservations_);
    auto* cv = new QVBoxLayout(columns);
    cv->setContentsMargins(4, 2, 4, 2);
    columnList_ = new QListWidget(columns);
    columnList_->setObjectName(QStringLiteral("CheckListBox2"));
    columnList_->setFlow(QListView::LeftToRight);
    columnList_->setWrapping(true);
    columnList_->setResizeMode(QListView::Adjust);
    columnList_->setSpacing(1);
    columnList_->setFixedHeight(78);
    for (const char* item : rinex::columnItems()) {
        auto* it = new QListWidgetItem(QString::fromUtf8(item), columnList_);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Checked);
    }
    cv->addWidget(columnList_);
    ov->addWidget(columns);
    grid_ = new RinexGrid(rinex_.table(), doc_.numbers(), tabObservations_);
    ov->addWidget(grid_, 1);
    tabs_->addTab(tabObservations_, QStringLiteral("παρατηρήσεις"));
    connect(columnList_, &QListWidget::itemChanged, this, [this] {
        if (!applying_) CheckListBox2ClickCheck();
    });

    // One tab per observable; the one chart moves to the tab shown.
    chart_ = new RinexChart(this);
    for (int slot = 1; slot <= rinex::kSlotCount; ++slot) {
        auto* tab = new QWidget(tabs_);
        tab->setObjectName(QStringLiteral("TS") + QString::fromLatin1(kChartCaptions[slot]));
        auto* l = new QVBoxLayout(tab);
        l->setContentsMargins(2, 2, 2, 2);
        chartTabs_[static_cast<std::size_t>(slot)] = tab;
        chartLayouts_[static_cast<std::size_t>(slot)] = l;
        tabs_->addTab(tab, QString::fromLatin1(kChartCaptions[slot]));
    }
    chart_->hide();

    // The satellites' sky and the quality of the observations.
    skyTabs_ = new RinexSkyTabs(tabs_);
    tabs_->addTab(skyTabs_->skyPage(), QStringLiteral("ουρανός"));
    tabs_->addTab(skyTabs_->elevationPage(), QStringLiteral("ύψη"));
    tabs_->addTab(skyTabs_->snrPage(), QStringLiteral("σήμα - ύψος"));
    tabs_->addTab(skyTabs_->reportPage(), QStringLiteral("ποιότητα"));
    connect(skyTabs_, &RinexSkyTabs::pickNavigation, this, &RinexViewer::chooseNavigationFile);
    connect(skyTabs_, &RinexSkyTabs::printReport, this, [this] { printQualityReport(); });
    connect(skyTabs_, &RinexSkyTabs::saveReport, this, [this] { saveQualityReport(); });
    connect(skyTabs_, &RinexSkyTabs::printSky, this, [this] { printSkyPlot(); });
    connect(tabs_, &QTabWidget::currentChanged, this, &RinexViewer::PageControlChange);
}

QWidget* RinexViewer::buildGeneralPage()
{
    auto* page = new QWidget(tabs_);
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* gv = new QVBoxLayout(page);
    const auto addRows = [](QGroupBox* group, const std::vector<const char*>& rows,
                            QLabel** values) {
        auto* grid = new QGridLayout(group);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            grid->addWidget(new QLabel(QString::fromUtf8(rows[i]), group), static_cast<int>(i), 0);
            values[i] = new QLabel(group);
            values[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
            values[i]->setWordWrap(true);
            grid->addWidget(values[i], static_cast<int>(i), 1);
        }
        grid->setColumnStretch(1, 1);
    };
    // The third value is the geocentric Z, not a height.
    auto* position = new QGroupBox(QStringLiteral("  Προσεγγιστικές συντ/νες  "), page);
    addRows(position, {"Χ =", "Υ =", "Ζ ="}, labels_.data());
    for (int i = 0; i < 3; ++i)
        labels_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Label%1").arg(4 + i));
    gv->addWidget(position);
    auto* file = new QGroupBox(QStringLiteral("  Αρχείο παρατηρήσεων  "), page);
    addRows(file,
            {"αρχείο", "δέκτης", "κεραία", "ύψος κεραίας", "διάστημα", "πρώτη εποχή",
             "τελευταία εποχή", "παρατηρήσεις άλλων συστημάτων (παραλείφθηκαν)",
             "κωδικοί RINEX 3"},
            info_.data());
    gv->addWidget(file);
    gv->addStretch();
    return page;
}

bool RinexViewer::tabShown(QWidget* tab) const
{
    return tabs_->isTabVisible(tabs_->indexOf(tab));
}

void RinexViewer::showForCurrentPoint()
{
    prepareForCurrentPoint();
    restoreSize();
    exec();
}

void RinexViewer::restoreSize()
{
    const WindowPlacement& p = doc_.RinexWindowPlacement;
    if (!p.known) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize avail = screen ? screen->availableGeometry().size() : QSize(p.width, p.height);
    resize(QSize(p.width, p.height).boundedTo(avail).expandedTo(minimumSizeHint()));
    if (screen) move(screen->availableGeometry().center() - rect().center());
    setWindowState(p.maximized ? (windowState() | Qt::WindowMaximized)
                               : (windowState() & ~Qt::WindowMaximized));
}

void RinexViewer::rememberSize()
{
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    doc_.RinexWindowPlacement = WindowPlacement{true, g.x(), g.y(), g.width(), g.height(), isMaximized()};
}

void RinexViewer::prepareForCurrentPoint()
{
    // The names of the network's points, as the last network computation
    // listed them.
    combo_->blockSignals(true);
    combo_->clear();
    for (const std::string& n : doc_.pointNames()) combo_->addItem(QString::fromStdString(n));
    int selected = -1;
    const MemTable& gps = doc_.GPS();
    if (gps.current() != NoRec) {
        const QString name = QString::fromStdString(gps.asString(gps::Name));
        for (int i = 0; i < combo_->count() && selected < 0; ++i)
            if (combo_->itemText(i).compare(name, Qt::CaseInsensitive) == 0) selected = i;
    }
    combo_->setCurrentIndex(selected);
    combo_->blockSignals(false);
    FormShow();
    skyPositionChanged();
}

void RinexViewer::FormShow()
{
    const MemTable& gps = doc_.GPS();
    const bool point = gps.current() != NoRec;
    const std::string name = point ? gps.asString(gps::Name) : std::string();
    setWindowTitle(QStringLiteral("  Παρατηρήσεις του σημείου \"") + QString::fromStdString(name) +
                   QStringLiteral("\""));
    const std::string path =
        point ? rinex::rinexTablePath(doc_.CurrentFileName, gps.asInteger(gps::ID)) : std::string();
    // Without a point there is nothing to read observations for.
    search_->setEnabled(point);
    if (path == rinex_.RinexFileName) return;

    storeComments();
    rinex_.RinexFileName = path;
    LoadResult loaded;
    // A day of 1-second observations takes a moment to load.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = path.empty() || rinex_.load(&loaded);
    if (path.empty()) rinex_.table().clear();
    QGuiApplication::restoreOverrideCursor();
    if (!ok && loaded.status != LoadResult::Status::Missing) {
        // A damaged table file: say so, so that no one takes the part read
        // for the whole.
        showMessage(loaded.message(path), MsgIcon::Warning);
    }
    ApplyObservationTypes();
}

void RinexViewer::ComboBox1Change(int index)
{
    if (index < 0) return;
    doc_.GPS().locate(gps::Name, Value(combo_->itemText(index).toStdString()));
    FormShow();
}

void RinexViewer::SpeedButton2Click()
{
    const QString folder = QDir::currentPath();
    // The dialog starts in the job folder (the working folder for a network
    // named without one).
    const std::string job = jobFolderOf(doc_.CurrentFileName);
    const auto file = dialogs().chooseFile(
        "Αναζήτηση του αρχείου παρατηρήσεων RINEX",
        "Αρχεία παρατηρήσεων RINEX|*.??o;*.??d;*.obs;*.rnx;*.crx;*.gz;*.Z|Όλα τα αρχεία|*",
        job.empty() ? std::string(".") : job, "");
    QDir::setCurrent(folder);
    if (!file) return;
    // The table goes into the job's folder "RINEX", made now when the
    // network is new.
    if (!rinex_.RinexFileName.empty())
        QDir().mkpath(QFileInfo(QString::fromStdString(rinex_.RinexFileName)).absolutePath());
    ReadRinexObservations(*file);
    QDir::setCurrent(folder);
}

void RinexViewer::ReadRinexObservations(const std::string& FileName)
{
    ReadMode mode = ReadMode::Replace;
    if (rinex_.needsReplaceQuestion()) {
        const Answer a = dialogs().ask(replaceQuestionText(FileName), kReplaceQuestionCaption,
                                       MsgIcon::Warning, MsgButtons::YesNoCancel);
        if (a == Answer::Cancel || a == Answer::Ok) return;
        mode = a == Answer::Yes ? ReadMode::Replace : ReadMode::Append;
    }

    // The progress bar appears only for a reading that takes a while, and
    // is gone before any message is shown.
    std::unique_ptr<QProgressDialog> bar;
    const auto makeBar = [&] {
        if (bar) return;
        bar = std::make_unique<QProgressDialog>(
            QStringLiteral("Ανάγνωση του αρχείου ") +
                QFileInfo(QString::fromStdString(FileName)).fileName() + QStringLiteral(" …"),
            QStringLiteral("Διακοπή"), 0, 1000, this);
        bar->setWindowTitle(windowTitle());
        bar->setWindowModality(Qt::WindowModal);
        bar->setMinimumDuration(400);
        bar->setAutoClose(false);
        bar->setAutoReset(false);
    };
    rinex_.progress = [&](std::uint64_t done, std::uint64_t total) {
        makeBar();
        bar->setValue(total > 0 ? static_cast<int>(std::min(done, total) * 1000 / total) : 0);
    };
    rinex_.storing = [&] {
        // Read through: the table is stored next, which cannot be stopped.
        makeBar();
        bar->setLabelText(QStringLiteral("Αποθήκευση του πίνακα παρατηρήσεων …"));
        bar->setCancelButton(nullptr);
        bar->setRange(0, 0);
        QCoreApplication::processEvents();
    };
    rinex_.cancelRequested = [&] { return bar && bar->wasCanceled(); };
    const RinexReadOutcome out = rinex_.readFileIntoTable(FileName, mode);
    rinex_.progress = nullptr;
    rinex_.storing = nullptr;
    rinex_.cancelRequested = nullptr;
    bar.reset();

    if (const std::string failure = out.failureMessage(); !failure.empty())
        showMessage(failure, MsgIcon::Exclamation);
    if (!out.ok()) return;
    // A read that went through stored the table, comments and all.
    grid_->gridModel()->clearCommentsChanged();
    // The navigation file beside the observation file goes with the table.
    if (const std::string beside = rinex::navigationFileBeside(FileName); !beside.empty()) {
        const std::string nav = QFileInfo(QString::fromStdString(beside)).absoluteFilePath().toStdString();
        std::string error;
        if (!rinex::rememberNavigationFile(rinexSettingsFileName(rinex_.RinexFileName), nav, error))
            showMessage(error, MsgIcon::Exclamation);
    }
    const std::string summary = rinex::readSummary(out.read);
    summary_->setText(QStringLiteral("Διαβάστηκε το αρχείο ") +
                      QFileInfo(QString::fromStdString(FileName)).fileName() +
                      QStringLiteral(": ") +
                      QString::fromStdString(summary).replace(QLatin1Char('\n'), QStringLiteral(", ")));
    summary_->show();
    ApplyObservationTypes();
    if (const std::string found = rinex::findingsMessage(out.read, FileName); !found.empty())
        showMessage(found, MsgIcon::None);
}

rinex::ColumnChecks RinexViewer::checks() const
{
    rinex::ColumnChecks c{};
    for (int i = 0; i < rinex::kColumnItems; ++i)
        c[static_cast<std::size_t>(i)] = columnList_->item(i)->checkState() == Qt::Checked;
    return c;
}

void RinexViewer::ApplyObservationTypes()
{
    const std::string settings =
        rinex_.RinexFileName.empty() ? std::string() : rinexSettingsFileName(rinex_.RinexFileName);
    const rinex::ObservationTypesView v =
        rinex::readObservationTypes(settings, checks(), doc_.numbers());
    applying_ = true;
    for (int i = 0; i < rinex::kColumnItems; ++i)
        columnList_->item(i)->setCheckState(v.checks[static_cast<std::size_t>(i)] ? Qt::Checked
                                                                                 : Qt::Unchecked);
    applying_ = false;
    labels_[0]->setText(QString::fromStdString(v.Xo));
    labels_[1]->setText(QString::fromStdString(v.Yo));
    labels_[2]->setText(QString::fromStdString(v.Ho));
    const rinex::ObservationSpan span = rinex::observationSpan(rinex_.table(), doc_.numbers());
    const std::array<std::string, static_cast<std::size_t>(Info::Count)> info{
        v.file, v.receiver, v.antenna, v.antennaHeight, v.interval.empty() ? span.step : v.interval,
        span.first, span.last, v.otherSystems, v.codes};
    for (std::size_t i = 0; i < info.size(); ++i) info_[i]->setText(QString::fromStdString(info[i]));
    originalFiles_ = v.file;
    columnList_->setCurrentRow(0);
    CheckListBox2ClickCheck();
    skySourceChanged();
    // A chart on show is drawn again from the table now shown (another
    // point's, or the one just read), so that it never shows other data
    // than the caption and the grid.
    if (chart_->isVisibleTo(this)) PageControlChange(tabs_->currentIndex());
}

void RinexViewer::CheckListBox2ClickCheck()
{
    const rinex::ColumnVisibility v = rinex::visibilityOf(checks());
    for (int c = 0; c < rinex::kGridColumns; ++c)
        grid_->setColumnHidden(c, !v.column[static_cast<std::size_t>(c)]);
    for (int slot = 1; slot <= rinex::kSlotCount; ++slot)
        tabs_->setTabVisible(tabs_->indexOf(chartTab(slot)),
                             v.chartTab[static_cast<std::size_t>(slot)]);
}

void RinexViewer::PageControlChange(int index)
{
    QWidget* w = tabs_->widget(index);
    skyBar_->setVisible(skyTabActive());
    refreshSkyTabs();
    for (int slot = 1; slot <= rinex::kSlotCount; ++slot) {
        if (chartTab(slot) != w) continue;
        chartLayouts_[static_cast<std::size_t>(slot)]->addWidget(chart_);
        chart_->show();
        const QString caption = QString::fromLatin1(kChartCaptions[slot]);
        chart_->pdfName = pdfBesideTable(QStringLiteral("_") + caption);
        // The heading names the observation file(s) read, not the table.
        chart_->heading = windowTitle().trimmed() + QStringLiteral("  -  ") + caption +
                          QLatin1Char('\n') +
                          QString::fromStdString(originalFiles_.empty() ? rinex_.RinexFileName
                                                                        : originalFiles_);
        const rinex::QualityReport& q = quality();
        chart_->setMarks(rinex::chartSlips(q), rinex::chartGaps(q));
        const std::string problem = chart_->build(rinex_.table(), slot, doc_.numbers());
        if (!problem.empty()) showMessage(problem, MsgIcon::Warning);
        return;
    }
}

std::vector<int> RinexViewer::visibleColumns() const
{
    std::vector<int> cols;
    for (int c = 0; c < rinex::kGridColumns; ++c)
        if (!grid_->isColumnHidden(c)) cols.push_back(c);
    return cols;
}

QString RinexViewer::pdfBesideTable(const QString& suffix) const
{
    const QFileInfo table(QString::fromStdString(rinex_.RinexFileName));
    return table.absolutePath() + QLatin1Char('/') + table.completeBaseName() + suffix +
           QStringLiteral(".pdf");
}

std::string RinexViewer::listingHeading() const
{
    return windowTitle().trimmed().toStdString() + "  (" + rinex_.RinexFileName + ")";
}

bool RinexViewer::printTable()
{
    grid_->commitDataIfEditing();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto pages = rinex::observationListing(rinex_.table(), visibleColumns(), doc_.numbers(),
                                                 listingHeading(), false);
    QGuiApplication::restoreOverrideCursor();
    return printPages(this, pages, pdfBesideTable(QString()));
}

bool RinexViewer::saveTable()
{
    grid_->commitDataIfEditing();
    std::string offered = rinex_.RinexFileName;
    if (const std::size_t dot = offered.rfind('.'); dot != std::string::npos &&
                                                    offered.find('/', dot) == std::string::npos)
        offered.resize(dot);
    offered += ".TXT";
    const auto name = dialogs().input("Αποθήκευση του πίνακα παρατηρήσεων",
                                      "Σε ποιό αρχείο θα γίνει η αποθήκευση", offered);
    if (!name) return false;
    // With the separators of the output files, as the point tables.
    const NumberSettings& ns = doc_.numberSettings();
    NumberText numbers(doc_.numbers().system());
    numbers.setDisplay(Separators{ns.DecimalSeparators[NumberDestination::OutputFile],
                                  ns.ThousandSeparators[NumberDestination::OutputFile]});
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto pages =
        rinex::observationListing(rinex_.table(), visibleColumns(), numbers, listingHeading(), true);
    const bool written = writeTextLines(*name, pages.front());
    QGuiApplication::restoreOverrideCursor();
    doc_.LastTextFile = *name;
    if (!written) {
        showMessage(Document::saveErrorMessage(*name));
        return false;
    }
    if (showTextFile) showTextFile();
    return true;
}

void RinexViewer::storeComments()
{
    RinexGridModel* m = grid_->gridModel();
    if (!m->commentsChanged() || rinex_.RinexFileName.empty()) return;
    m->clearCommentsChanged();
    std::string error;
    if (!rinex_.store(error)) showMessage(error, MsgIcon::Exclamation);
}

void RinexViewer::done(int result)
{
    if (isVisible()) rememberSize();
    grid_->commitDataIfEditing();
    storeComments();
    QDialog::done(result);
}

}  // namespace korthal::app
