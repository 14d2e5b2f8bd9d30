#include "app/TestPage.h"

#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>


namespace korthal::app {

namespace {
QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    s->setValue(value);
    return s;
}
}  // namespace

TestPage::TestPage(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    const SelfTestSettings d;
    auto* g = new QGridLayout(this);
    Pmin = spin(this, "Pmin", 3, 9999, d.Pmin);
    Pmax = spin(this, "Pmax", 3, 9999, d.Pmax);
    SEklimakas = spin(this, "SEklimakas", 0, 50, d.SEklimakas);
    SEstrofvn = spin(this, "SEstrofvn", 0, 100, d.SEstrofvn);
    SExy = spin(this, "SExy", 0, 100, d.SExy);
    SEz = spin(this, "SEz", 0, 100, d.SEz);
    SErepetitions = spin(this, "SErepetitions", 1, 1000000, d.SErepetitions);
    int row = 0;
    auto add = [&](const char* label, QWidget* w) {
        g->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        g->addWidget(w, row, 1);
        ++row;
    };
    add("ελάχιστο πλήθος σημείων", Pmin);
    add("μέγιστο πλήθος σημείων", Pmax);
    add("μεταβολή κλίμακας  (%)", SEklimakas);
    add("στροφές  (mrad)", SEstrofvn);
    add("μετάθεση X, Y  (m)", SExy);
    add("μετάθεση Z  (m)", SEz);
    add("επαναλήψεις", SErepetitions);
    for (QSpinBox* s : {Pmin, Pmax, SEklimakas, SEstrofvn, SExy, SEz, SErepetitions})
        connect(s, &QSpinBox::valueChanged, this, [this] { doc_.setSettingsModified(true); });

    RadioButton1 = new QCheckBox(QStringLiteral("αποθήκευση σε αρχείο"), this);
    g->addWidget(RadioButton1, row++, 0, 1, 2);
    speedButton4 = new QToolButton(this);
    speedButton4->setObjectName(QStringLiteral("speedButton4"));
    speedButton4->setText(QStringLiteral("start"));
    SpeedButton6 = new QToolButton(this);
    SpeedButton6->setObjectName(QStringLiteral("SpeedButton6"));
    SpeedButton6->setText(QStringLiteral("αρχείο"));
    SpeedButton6->setToolTip(QStringLiteral("Εμφανίζει το αρχείο που δημιουργήθηκε απο το τέστ"));
    SpeedButton6->setVisible(false);
    g->addWidget(speedButton4, row, 0);
    g->addWidget(SpeedButton6, row++, 1);
    Label53 = new QLabel(this);
    Label53->setVisible(false);
    g->addWidget(Label53, row++, 0, 1, 2);
    Label73 = new QLabel(this);
    Label72 = new QLabel(this);
    Label71 = new QLabel(this);
    g->addWidget(new QLabel(QStringLiteral("maxΔΧ  = "), this), row, 0);
    g->addWidget(Label73, row, 1);
    g->addWidget(new QLabel(QStringLiteral("mm"), this), row++, 2);
    g->addWidget(new QLabel(QStringLiteral("maxΔΥ  = "), this), row, 0);
    g->addWidget(Label72, row, 1);
    g->addWidget(new QLabel(QStringLiteral("mm"), this), row++, 2);
    g->addWidget(new QLabel(QStringLiteral("maxΔΖ  = "), this), row, 0);
    g->addWidget(Label71, row, 1);
    g->addWidget(new QLabel(QStringLiteral("mm"), this), row++, 2);
    g->setRowStretch(row, 1);
    g->setColumnStretch(3, 1);

    connect(speedButton4, &QToolButton::clicked, this, &TestPage::speedButton4Click);
    connect(RadioButton1, &QCheckBox::clicked, this, &TestPage::RadioButton1Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TestPage::showFileRequested);
}

SelfTestSettings TestPage::values() const
{
    SelfTestSettings s;
    s.Pmin = Pmin->value();
    s.Pmax = Pmax->value();
    s.SEklimakas = SEklimakas->value();
    s.SEstrofvn = SEstrofvn->value();
    s.SExy = SExy->value();
    s.SEz = SEz->value();
    s.SErepetitions = SErepetitions->value();
    return s;
}

void TestPage::RadioButton1Click()
{
    if (QFileInfo::exists(QString::fromStdString(doc_.LastTextFile)))
        SpeedButton6->setVisible(RadioButton1->isChecked());
}

void TestPage::speedButton4Click()
{
    if (running_) {
        // The second click: the loop sees it between two runs.
        if (test_) test_->requestStop();
        return;
    }
    const SelfTestSettings s = values();
    const std::string complaint = s.check();
    if (!complaint.empty()) {
        showMessage(complaint, MsgIcon::Exclamation);
        return;
    }
    running_ = true;
    speedButton4->setText(QStringLiteral("stop"));
    Label53->setVisible(true);
    SpeedButton6->setVisible(false);
    Label73->clear();
    Label72->clear();
    Label71->clear();

    const bool toFile = RadioButton1->isChecked();
    // The test works on the transformation in force. The network's comes
    // back afterwards, so that points entered later and the calculator are
    // not transformed by the test's last random one.
    const Transformation networkTransformation = doc_.transformation();
    SelfTest test(doc_.transformation(), doc_.numbers());
    if (seed_) test.setSeed(*seed_);
    test_ = &test;
    // The document gives the estimation the convergence limits of the
    // settings page and writes the report as the runs go, into a file
    // created now. It names the file in LastTextFile only when the whole
    // report was written.
    const std::string previousFile = doc_.LastTextFile;
    if (toFile) doc_.LastTextFile.clear();
    doc_.RunSelfTest(test, s, toFile ? inJobFolder(doc_.CurrentFileName, "TEST.TXT") : std::string(),
                     [this](const SelfTestProgress& p) {
                         Label53->setText(QString::number(p.run));
                         Label73->setText(QString::fromStdString(p.labelDX));
                         Label72->setText(QString::fromStdString(p.labelDY));
                         Label71->setText(QString::fromStdString(p.labelDZ));
                         QCoreApplication::processEvents();
                     });
    doc_.transformation() = networkTransformation;
    const bool written = toFile && !doc_.LastTextFile.empty();
    if (toFile && !written) doc_.LastTextFile = previousFile;
    test_ = nullptr;
    running_ = false;
    speedButton4->setText(QStringLiteral("start"));
    Label53->clear();
    Label53->setVisible(false);
    SpeedButton6->setVisible(RadioButton1->isChecked());
    if (written) emit showFileRequested();
}

}  // namespace korthal::app
