#include "app/AboutDialog.h"

#include "packaging/BuildVersion.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtGlobal>

namespace korthal::app {

namespace {

// The data built into the program, as their SOURCES.md files in data/ say.
const char* const kData =
    "<h3>Δεδομένα</h3><ul>"
    "<li><b>Μοντέλο γεωειδούς</b>: κάνναβος 15′ της Ελλάδας από το παγκόσμιο μοντέλο "
    "γεωειδούς EGM96 15′ (NIMA/NASA, δημόσιος τομέας), με πέντε κόμβους αναφοράς στις "
    "καθιερωμένες τιμές τους.</li>"
    "<li><b>Ακτογραμμή</b> του χάρτη γεωειδούς: Natural Earth, πολύγωνα ξηράς 1:10m "
    "(δημόσιος τομέας), <a href=\"https://www.naturalearthdata.com\">"
    "www.naturalearthdata.com</a>.</li>"
    "<li><b>Κάνναβος διορθώσεων HEPOS</b> (east.grd, north.grd): οι διορθώσεις του "
    "μετασχηματισμού HEPOS του Ελληνικού Κτηματολογίου, όπως διανέμονται με το δωρεάν "
    "πρόγραμμα μετασχηματισμού του· ο εκδότης δεν έχει δηλώσει άδεια χρήσης για τις "
    "τιμές. Αντίγραφο από το αποθετήριο georgeouzou/survgr (άδεια MIT, © 2016 George "
    "Ouzounoudis).</li>"
    "<li><b>Συντελεστές φύλλων HATT</b> (hattblocks15.json, reverse_coeffs.csv): οι "
    "δημοσιευμένοι πολυωνυμικοί συντελεστές HATT → ΤΜ87 και ΤΜ87 → HATT των φύλλων "
    "1:50 000, από το αποθετήριο georgeouzou/survgr (άδεια MIT, © 2016 George "
    "Ouzounoudis).</li></ul>";

const char* const kLibraries =
    "<h3>Βιβλιοθήκες</h3><ul>"
    "<li><b>Qt %1</b>, The Qt Company: Qt Core, Gui, Widgets, PrintSupport, Concurrent "
    "υπό την GNU LGPL 3· Qt Charts υπό την GNU GPL 3.</li>"
    "<li><b>GDAL/OGR</b> (άδεια MIT) για την εξαγωγή σε αρχεία GIS και CAD, με τις "
    "βιβλιοθήκες που χρησιμοποιεί, ανάμεσά τους η PROJ (άδεια MIT).</li>"
    "<li><b>zlib</b>, Jean-loup Gailly και Mark Adler (άδεια zlib).</li>"
    "<li><b>libdeflate</b>, Eric Biggers (άδεια MIT).</li></ul>"
    "<p>Οι πλήρεις όροι όλων βρίσκονται στο αρχείο copyright του πακέτου "
    "(/usr/share/doc/korthal/copyright) και στα αρχεία των βιβλιοθηκών.</p>";

}  // namespace

QString aboutText()
{
    return QStringLiteral("<h2>Korthal</h2><p>Έκδοση %1</p>"
                          "<p>Σημεία GPS (WGS84) στο Ελληνικό Γεωδαιτικό Σύστημα Αναφοράς "
                          "ΕΓΣΑ87 (προβολή ΤΜ87) και στην προβολή HATT.</p>")
               .arg(QString::fromUtf8(buildVersion())) +
           QString::fromUtf8(kData) + QString::fromUtf8(kLibraries).arg(QString::fromLatin1(qVersion()));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("Σχετικά με το Korthal"));
    auto* v = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    browser_->setHtml(aboutText());
    v->addWidget(browser_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(560, 520);
}

QString AboutDialog::text() const
{
    return browser_->toPlainText();
}

}  // namespace korthal::app
