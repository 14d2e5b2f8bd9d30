#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/CalculatorPage.h"
#include "app/FileMenu.h"
#include "app/SystemsCalculatorPage.h"
#include "app/GeoidMapWindow.h"
#include "app/NetworkPage.h"
#include "app/NumberPage.h"
#include "app/PhotoWindow.h"
#include "app/ReferencePage.h"
#include "app/ScreenFit.h"
#include "app/RinexViewer.h"
#include "app/SketchPage.h"
#include "app/TestPage.h"
#include "app/ToolButton.h"
#include "app/TransformPage.h"
#include "export/ExportTable.h"
#include "geodesy/Angles.h"
#include "project/Dialogs.h"
#include "network/CalculatorGeoid.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "project/RecentNetworks.h"
#include "project/SavePrompt.h"
#include "project/Settings.h"
#include "views/GeoidMap.h"
#include "views/Listing.h"
#include "app/PrintListing.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <numbers>

namespace korthal::app {

namespace {

const char* const kIntroduction =
    "Το Korthal φέρνει τις συντεταγμένες σημείων που μετρήθηκαν με δέκτες GPS στο "
    "σύστημα WGS84 στο Ελληνικό Γεωδαιτικό Σύστημα Αναφοράς ΕΓΣΑ87 (προβολή ΤΜ87) και "
    "στην προβολή HATT. Από τα σημεία αναφοράς του δικτύου, τα τριγωνομετρικά σημεία με "
    "γνωστές συντεταγμένες ΕΓΣΑ87, εκτιμά έναν τοπικό μετασχηματισμό ομοιότητας (2-Δ με "
    "τέσσερις ή 3-Δ με επτά παραμέτρους), τον εφαρμόζει σε κάθε σημείο λεπτομερειών και "
    "ανάγει τα ύψη σε ορθομετρικά με το ενσωματωμένο μοντέλο γεωειδούς. Περιλαμβάνει "
    "ακόμη αναγωγές συντεταγμένων μεταξύ γεωκεντρικών, ελλειψοειδών και προβολικών "
    "συντεταγμένων WGS84, ΕΓΣΑ87 και HATT, σκαρίφημα του δικτύου, εκτύπωση και εξαγωγή "
    "των πινάκων σημείων, παρατηρήσεις RINEX και φωτογραφίες των σημείων.";

const char* const kTextPage =
    "Σημεία δικτύου: πληκτρολογήστε το όνομα και τις συντεταγμένες WGS84 κάθε σημείου. "
    "Ένα σημείο με το όνομα σημείου αναφοράς γίνεται σημείο αναφοράς του δικτύου "
    "(κόκκινο) και παίρνει τις γνωστές συντεταγμένες του.\n\n"
    "Σημεία αναφοράς: ο μόνιμος κατάλογος των τριγωνομετρικών σημείων με συντεταγμένες "
    "ΕΓΣΑ87.\n\n"
    "Οι αλλαγές αποθηκεύονται κατά την έξοδο από το πρόγραμμα (Esc).";

}  // namespace

MainWindow::MainWindow(Document& doc, QString programSettingsFile, QWidget* parent)
    : QDialog(parent), doc_(doc), programSettingsFile_(std::move(programSettingsFile))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The grids, the sketch and the memos grow with the window; it starts
    // at its classic size (in logical pixels, which Qt scales with the
    // screen), centred, unless the program settings remember another place.
    setMinimumSize(700, 539);
    resize(700, 539);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());

    rinexViewer_ = std::make_unique<RinexViewer>(doc_, this);
    rinexViewer_->showTextFile = [this] { SpeedButton6Click(); };
    calc_ = std::make_unique<Calculator>(CalculatorContext{
        &doc_.numbers(), &doc_.numberSettings(), &doc_.datumShifts(), &doc_.transformation()});
    buildPages();
    fileMenu_ = new FileMenu(*this);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The document outlives the window (the exit sequence runs after it).
    doc_.onParametersChanged = nullptr;
    calc_->onChanged = nullptr;
    // The calculator page goes before the calculator it shows.
    delete calculatorPage_;
    calculatorPage_ = nullptr;
}

void MainWindow::buildPages()
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);
    // The classic size is the smallest; the pages do not widen it beyond.
    v->setSizeConstraint(QLayout::SetNoConstraint);

    panel9_ = new QFrame(this);
    panel9_->setObjectName(QStringLiteral("Panel9"));
    auto* ph = new QHBoxLayout(panel9_);
    ph->setContentsMargins(0, 0, 0, 0);
    sb1_ = toolButton(panel9_, "SpeedButton1", "εκτύπωση", "Εκτυπώνει τον πίνακα");
    sb3_ = toolButton(panel9_, "SpeedButton3", "εξαγωγή", "Αποθηκεύει σε δισκέτα τον πίνακα");
    sb2_ = toolButton(panel9_, "SpeedButton2", "άνοιγμα",
                      "Ανοίγει κάποιο απο τα αποθηκευμένα αρχεία σημείων");
    sb7_ = toolButton(panel9_, "SpeedButton7", "νέο", "Δημιουργεί νέο αρχείο σημείων δικτύου");
    ph->addWidget(sb1_);
    ph->addWidget(sb3_);
    ph->addWidget(sb2_);
    ph->addWidget(sb7_);
    ph->addStretch();
    panel9_->setVisible(false);
    v->addWidget(panel9_);
    connect(sb1_, &QToolButton::clicked, this, &MainWindow::SpeedButton1Click);
    connect(sb2_, &QToolButton::clicked, this, &MainWindow::SpeedButton2Click);
    connect(sb3_, &QToolButton::clicked, this, &MainWindow::SpeedButton3Click);
    connect(sb7_, &QToolButton::clicked, this, &MainWindow::SpeedButton7Click);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    v->addWidget(pages_, 1);

    networkPage_ = new NetworkPage(doc_, pages_);
    tabNetwork_ = networkPage_;
    sketchPage_ = new SketchPage(doc_, pages_);
    tabSketch_ = sketchPage_;
    referencePage_ = new ReferencePage(doc_, pages_);
    tabReference_ = referencePage_;
    tabSettings_ = new QWidget(pages_);
    auto* tx = new QPlainTextEdit(pages_);
    tx->setReadOnly(true);
    tx->setPlainText(QString::fromUtf8(kTextPage));
    tabText_ = tx;
    // The introduction, and under it the way to the version and licences.
    tabIntro_ = new QWidget(pages_);
    auto* iv = new QVBoxLayout(tabIntro_);
    auto* intro = new QLabel(QString::fromUtf8(kIntroduction), tabIntro_);
    intro->setWordWrap(true);
    intro->setAlignment(Qt::AlignCenter);
    intro->setMargin(40);
    iv->addWidget(intro, 1);
    auto* about = new QPushButton(QStringLiteral("Σχετικά με το Korthal"), tabIntro_);
    about->setObjectName(QStringLiteral("AboutButton"));
    iv->addWidget(about, 0, Qt::AlignHCenter);
    connect(about, &QPushButton::clicked, this, [this] { AboutDialog(this).exec(); });

    pages_->addTab(tabNetwork_, QStringLiteral("Σημεία δικτύου"));
    pages_->addTab(tabSketch_, QStringLiteral("Σκαρίφημα δικτύου"));
    pages_->addTab(tabReference_, QStringLiteral("Σημεία αναφοράς"));
    pages_->addTab(tabSettings_, QStringLiteral("ρυθμίσεις"));
    pages_->addTab(tabText_, style()->standardIcon(QStyle::SP_FileDialogInfoView), QString());
    pages_->addTab(tabIntro_, style()->standardIcon(QStyle::SP_MessageBoxInformation), QString());

    auto* sv = new QVBoxLayout(tabSettings_);
    sv->setContentsMargins(0, 0, 0, 0);
    settingsPages_ = new QTabWidget(tabSettings_);
    sv->addWidget(settingsPages_);
    numberPage_ = new NumberPage(doc_, settingsPages_);
    transformPage_ = new TransformPage(doc_, settingsPages_);
    calculatorPage_ = new CalculatorPage(*calc_, settingsPages_);
    testPage_ = new TestPage(doc_, settingsPages_);
    tabTest_ = testPage_;
    settingsPages_->addTab(numberPage_, QStringLiteral("εμφάνιση αριθμών"));
    // The estimation's page keeps a few residual rows and the whole report
    // under them: on the classic window size it scrolls rather than cut them.
    auto* transformScroll = new QScrollArea(settingsPages_);
    transformScroll->setFrameShape(QFrame::NoFrame);
    transformScroll->setWidgetResizable(true);
    transformScroll->setWidget(transformPage_);
    settingsPages_->addTab(transformScroll, QStringLiteral("ρυθμίσεις μετασχηματισμού"));
    // The calculator's edits are as wide as their values with the decimals
    // in force: on a small window its page scrolls rather than cut them.
    auto* calcScroll = new QScrollArea(settingsPages_);
    calcScroll->setFrameShape(QFrame::NoFrame);
    calcScroll->setWidgetResizable(true);
    calcScroll->setWidget(calculatorPage_);
    auto* systemsPage = new SystemsCalculatorPage(
        SystemsContext{&doc_.numbers(), &doc_.numberSettings(), &doc_.datumShifts()});
    calculatorPages_ = new CalculatorPages(calcScroll, systemsPage, settingsPages_);
    settingsPages_->addTab(calculatorPages_, QStringLiteral("Αναγωγές συντεταγμένων"));
    settingsPages_->addTab(testPage_, QStringLiteral("test"));

    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::PageControl1Change);
    connect(networkPage_, &GridPage::recordChanged, this, &MainWindow::loadCalculatorFromNetwork);
    connect(referencePage_, &GridPage::recordChanged, this,
            &MainWindow::loadCalculatorFromReference);
    connect(testPage_, &TestPage::showFileRequested, this, &MainWindow::SpeedButton6Click);
    connect(networkPage_, &NetworkPage::rinexRequested, this, &MainWindow::showRinexViewer);
    connect(networkPage_, &GridPage::photoClicked, this, &MainWindow::Image2bClick);
    connect(referencePage_, &GridPage::photoClicked, this, &MainWindow::Image2bClick);
    connect(networkPage_, &NetworkPage::geoidMapRequested, this,
            [this] { SpeedButton8Click(MapSource::Network); });
    connect(referencePage_, &ReferencePage::geoidMapRequested, this,
            [this] { SpeedButton8Click(MapSource::Reference); });
    connect(calculatorPage_, &CalculatorPage::undulationRequested, this,
            [this](Extended phi, Extended lambda) {
                if (const auto outside = fillGeoidUndulation(*calc_, doc_.datumShifts(),
                                                             doc_.numbers(), phi, lambda))
                    showMessage(*outside, MsgIcon::Exclamation);
            });
    connect(calculatorPage_, &CalculatorPage::geoidMapRequested, this,
            [this](double phi, double lambda) {
                constexpr double toDegrees = 180 / std::numbers::pi;
                showGeoidMap(phi * toDegrees, lambda * toDegrees);
            });
    connect(numberPage_, &NumberPage::numbersChanged, this, &MainWindow::refreshAll);
    connect(transformPage_, &TransformPage::networkRecomputed, this, [this] {
        networkPage_->model()->refresh();
    });
    doc_.onParametersChanged = [this] { transformPage_->ShowTransformationParameters(); };
}

bool MainWindow::testTabShown() const
{
    return settingsPages_->isTabVisible(settingsPages_->indexOf(tabTest_));
}

void MainWindow::FormCreate()
{
    const QString settingsSource =
        programSettingsSource_.isEmpty() ? programSettingsFile_ : programSettingsSource_;
    const StartUpResult started = doc_.startUp(
        settingsSource.toStdString(),
        fileToOpen_.isEmpty() ? std::nullopt
                              : std::optional(QFile::encodeName(fileToOpen_).toStdString()));
    fileMenu_->load(settingsSource.toStdString());
    restorePlacement(started.program.window);
    pages_->setCurrentWidget(tabIntro_);
    networkPage_->FillReferencePickList();
    if (started.networkOpened) {
        fileMenu_->networkOpened(doc_.CurrentFileName);
        pages_->setCurrentWidget(tabNetwork_);
    }
    calculatorPage_->fillAreas();
    calc_->initHattUndulation();
    refreshAll();
    // A reference file that loaded only partly is written back at exit
    // without the points it lost as soon as anything in it changes: say
    // where the reading stopped. (A missing file stays silent.)
    if (!started.referenceProblem.empty()) showMessage(started.referenceProblem, MsgIcon::Warning);
    reportLoadProblem();
    // After the main window, the photo window and then the geoid map window.
    photoWindow_ = new PhotoWindow(doc_, this);
    mapWindow_ = new GeoidMapWindow(this);
    mapWindow_->readout = [this](double x, double y) {
        return QString::fromStdString(geoidMapReadout({x, y}, doc_.datumShifts(), doc_.numbers()));
    };
    connect(photoWindow_, &PhotoWindow::deactivated, this, [this] {
        if (pages_->currentWidget() == tabNetwork_)
            networkPage_->showPhotos();
        else
            referencePage_->showPhotos();
    });
}

void MainWindow::startModes()
{
    networkPage_->SBGrid()->setText(QStringLiteral("π"));
    sketchPage_->SpeedButton10a()->setText(QStringLiteral("π"));
    networkPage_->SBGridClick();
    sketchPage_->SpeedButton10aClick();
    sketchPage_->SpeedButton15Click();
}

void MainWindow::refreshAll()
{
    setWindowTitle(QString::fromStdString(doc_.caption()));
    numberPage_->showSettings();
    transformPage_->showSettings();
    transformPage_->ShowTransformationParameters();
    networkPage_->showInputForm();
    networkPage_->SetWGS84ColumnTitles();
    networkPage_->fitColumnWidths();
    referencePage_->fitColumnWidths();
    calculatorPage_->fitEdits();
    networkPage_->model()->refresh();
    networkPage_->showMemo();
    referencePage_->model()->refresh();
    referencePage_->showMemo();
}

void MainWindow::LoadFile(const QString& fileName)
{
    networkPage_->commitMemo();
    const std::string file = fileName.toStdString();
    // A network in another folder brings that folder's reference points.
    std::string referenceProblem;
    if (!takeReferenceOfJob(doc_, file, referenceProblem)) return;
    doc_.openNetwork(file);
    if (QFileInfo::exists(fileName)) {
        createJobFolders(file);
        fileMenu_->networkOpened(file);
    }
    refreshAll();
    networkPage_->FillReferencePickList();
    if (!referenceProblem.empty()) showMessage(referenceProblem, MsgIcon::Warning);
    reportLoadProblem();
}

void MainWindow::commitEdits()
{
    networkPage_->commitEdits();
    referencePage_->commitEdits();
}

void MainWindow::reportLoadProblem()
{
    // A network that loaded only partly must not be saved over the good
    // file unnoticed: say where the reading stopped.
    if (!doc_.LastLoadProblem.empty()) showMessage(doc_.LastLoadProblem, MsgIcon::Warning);
}

bool MainWindow::askToSaveNetwork()
{
    commitEdits();
    const SaveAnswer a = offerToSaveNetwork(doc_);
    if (a == SaveAnswer::Cancelled) return false;
    if (a == SaveAnswer::Saved) {
        fileMenu_->networkOpened(doc_.CurrentFileName);
        refreshAll();
    }
    return true;
}

void MainWindow::SpeedButton2Click()
{
    const auto file = dialogs().chooseFile(
        "Αναζήτηση του αρχείου κορυφών δικτύου",
        "αρχεία σημείων λεπτομερειών  (*.WGS84)|*.WGS84|ΟΝΟΜΑ,Χ,Υ,Ζ enter ή ΟΝΟΜΑ tab Χ tab Υ "
        "tab Ζ enter |*.TXT",
        fileMenu_->dialogFolder(), "WGS84");
    if (!file) return;
    if (!askToSaveNetwork()) return;
    LoadFile(QString::fromStdString(*file));
}

void MainWindow::SpeedButton7Click()
{
    if (!askToSaveNetwork()) return;
    // The new network stays in the job folder of the one before.
    doc_.NewNetwork(true);
    setWindowTitle(QString::fromStdString(doc_.caption()));
    // The empty network's transformation is the identity: the settings page
    // shows it, without residuals, instead of the previous network's.
    doc_.RecomputeNetwork();
    networkPage_->model()->refresh();
    networkPage_->showMemo();
    pages_->setCurrentWidget(tabNetwork_);
}

void MainWindow::SpeedButton3Click()
{
    QWidget* w = pages_->currentWidget();
    if (w != tabNetwork_ && w != tabReference_) return;
    networkPage_->commitEdits();
    referencePage_->commitEdits();
    // The listing is shown when written; the other formats say what they wrote.
    const auto r = exportTable(doc_, w == tabNetwork_);
    if (r && r->ok && r->format == ExportFormat::Listing) SpeedButton6Click();
}

void MainWindow::SpeedButton1Click()
{
    QWidget* w = pages_->currentWidget();
    if (w == tabSketch_) {
        sketchPage_->print();
        return;
    }
    if (w != tabNetwork_ && w != tabReference_) return;
    networkPage_->commitEdits();
    referencePage_->commitEdits();
    printListing(this, doc_, w == tabNetwork_);
}

void MainWindow::SpeedButton6Click()
{
    const QString file = QFileInfo(QString::fromStdString(doc_.LastTextFile)).absoluteFilePath();
    // A file that is not there (deleted since, or never written) is named,
    // instead of handing the desktop a name it cannot open.
    if (!QFileInfo(file).isFile()) {
        showMessage("Το αρχείο " + QDir::toNativeSeparators(file).toStdString() + " δεν υπάρχει",
                    MsgIcon::Exclamation);
        return;
    }
    if (fileOpener) {
        fileOpener(file);
        return;
    }
    const bool shown = desktopOpener ? desktopOpener(file)
                                     : QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    // Without a program for text files nothing would appear: say where the
    // file is, so that the user can open it some other way.
    if (!shown)
        showMessage("Δεν βρέθηκε πρόγραμμα για την εμφάνιση του αρχείου " +
                        QDir::toNativeSeparators(file).toStdString() + "\r" +
                        "Το αρχείο υπάρχει και μπορεί να ανοιχτεί με έναν επεξεργαστή κειμένου.",
                    MsgIcon::Information);
}

void MainWindow::showRinexViewer()
{
    networkPage_->commitEdits();
    rinexViewer_->showForCurrentPoint();
}

void MainWindow::PageControl1Change()
{
    QWidget* w = pages_->currentWidget();
    panel9_->setVisible(w == tabNetwork_ || w == tabReference_ || w == tabSketch_);
    sb2_->setVisible(w == tabNetwork_ || w == tabReference_);
    if (w == tabNetwork_) networkPage_->FillReferencePickList();
    if (w == tabSketch_) sketchPage_->plot();
}

bool MainWindow::FormKeyDown(int key, Qt::KeyboardModifiers mods)
{
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key == Qt::Key_F1 &&
        (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        const int i = settingsPages_->indexOf(tabTest_);
        settingsPages_->setTabVisible(i, !settingsPages_->isTabVisible(i));
        return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* o, QEvent* e)
{
    // Key preview: the window sees every key before its controls.
    if (e->type() == QEvent::KeyPress && o->isWidgetType() &&
        static_cast<QWidget*>(o)->window() == this) {
        auto* k = static_cast<QKeyEvent*>(e);
        // Esc in a cell editor belongs to the editor: it cancels the edit.
        if (k->key() == Qt::Key_Escape && insideOpenCellEditor(o))
            return QDialog::eventFilter(o, e);
        if (FormKeyDown(k->key(), k->modifiers())) return true;
    }
    return QDialog::eventFilter(o, e);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (testPage_->running()) {
        // Let the test end its run first; the loop must not outlive the window.
        testPage_->speedButton4Click();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);  // runs reject()
}

void MainWindow::reject()
{
    if (testPage_->running()) {
        testPage_->speedButton4Click();
        return;
    }
    commitEdits();
    if (photoWindow_) photoWindow_->postCaption();
    // Cancel keeps the window open with everything as it was; No leaves the
    // network's changes unsaved.
    switch (offerToSaveNetwork(doc_)) {
    case SaveAnswer::Cancelled: return;
    case SaveAnswer::Discarded: doc_.NetworkModified = false; break;
    default: break;
    }
    if (isVisible()) doc_.MainWindowPlacement = placement();
    QDialog::reject();
}

WindowPlacement MainWindow::placement() const
{
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    return WindowPlacement{true, g.x(), g.y(), g.width(), g.height(), isMaximized()};
}

void MainWindow::restorePlacement(const WindowPlacement& p)
{
    if (!p.known) return;
    QRect r(p.left, p.top, p.width, p.height);
    // The screen that shows the window's top edge now; a place on a screen
    // that is gone is given up for the middle of the primary screen.
    QScreen* screen = nullptr;
    const QRect top(r.left(), r.top(), r.width(), 40);
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry().intersected(top);
        if (common.width() >= 100 && common.height() >= 20) {
            screen = s;
            break;
        }
    }
    QScreen* target = screen ? screen : QGuiApplication::primaryScreen();
    if (!target) return;
    const QRect avail = target->availableGeometry();
    r.setSize(r.size().expandedTo(minimumSize()));
    if (!screen) r.moveCenter(avail.center());
    setGeometry(fitRectInside(r, avail));
    if (p.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::Image2bClick(int n)
{
    if (!photoWindow_) return;
    const bool network = pages_->currentWidget() == tabNetwork_;
    GridPage* page = network ? static_cast<GridPage*>(networkPage_) : referencePage_;
    page->commitEdits();
    if (page->model()->table().current() == NoRec) return;
    photoWindow_->setPhoto(n, network);
    if (photoWindow_->isVisible())
        photoWindow_->FormShow();
    else
        photoWindow_->show();
    photoWindow_->raise();
    photoWindow_->activateWindow();
}

void MainWindow::SpeedButton8Click(MapSource source)
{
    constexpr Extended toDegrees = 180 / std::numbers::pi_v<Extended>;
    Extended phi = 0, lambda = 0;
    switch (source) {
    case MapSource::Network: {
        MemTable& t = doc_.GPS();
        if (t.current() == NoRec) return;
        phi = DMSToRad(t.asFloat(gps::f)) * toDegrees;
        lambda = DMSToRad(t.asFloat(gps::l)) * toDegrees;
        break;
    }
    case MapSource::Reference: {
        MemTable& t = doc_.GYS();
        if (t.current() == NoRec) return;
        phi = t.asFloat(gys::f) * toDegrees;
        lambda = t.asFloat(gys::l) * toDegrees;
        break;
    }
    }
    showGeoidMap(static_cast<double>(phi), static_cast<double>(lambda));
}

void MainWindow::showGeoidMap(double phi, double lambda)
{
    if (mapWindow_) mapWindow_->showPoint(phi, lambda);
}

void MainWindow::loadCalculatorFromNetwork()
{
    if (doc_.LoadingData) return;
    MemTable& t = doc_.GPS();
    if (t.current() == NoRec) return;
    calc_->loadNetworkPoint(t.asFloat(gps::X), t.asFloat(gps::Y), t.asFloat(gps::Z),
                             t.asFloat(gps::apoxh), doc_.inputForm());
}

void MainWindow::loadCalculatorFromReference()
{
    if (doc_.LoadingData) return;
    MemTable& t = doc_.GYS();
    if (t.current() == NoRec) return;
    calc_->loadReferencePoint(t.asFloat(gys::E), t.asFloat(gys::N), t.asFloat(gys::H),
                              t.asFloat(gys::apoxh));
}

}  // namespace korthal::app
