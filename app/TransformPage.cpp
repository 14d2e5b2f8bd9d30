#include "app/TransformPage.h"

#include "app/PointTableModel.h"
#include "project/AdjustmentText.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPalette>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>


namespace korthal::app {

namespace {

QString html(const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); }

// Radio buttons in a column of `box`, with the ids 0, 1, 2, ... in a group
// owned by the page that holds the box.
QButtonGroup* radioGroup(QGroupBox* box, std::initializer_list<const char*> texts)
{
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box->parentWidget());
    int id = 0;
    for (const char* text : texts) {
        auto* r = new QRadioButton(QString::fromUtf8(text), box);
        group->addButton(r, id++);
        layout->addWidget(r);
    }
    return group;
}

// One equation row as rich text: the visible labels in order, subscripts low.
QString equationHtml(const char* lhs, const ParamRow& row)
{
    QString out = QStringLiteral("<b>%1<sub>a</sub></b> = ").arg(QString::fromLatin1(lhs));
    bool any = false;  // a term is already written
    for (const ParamLabel& l : row.labels) {
        if (!l.visible) continue;
        switch (l.part) {
        case TermPart::Sign: out += QLatin1Char(' ') + html(l.text) + QLatin1Char(' '); break;
        case TermPart::Coefficient: out += html(l.text); break;
        case TermPart::Symbol:
            // A factor of 1 is not written, nor the product sign before it;
            // after another term the plus sign still stands.
            if (row.label(l.column, TermPart::Coefficient).visible)
                out += QStringLiteral("·");
            else if (any)
                out += QStringLiteral(" + ");
            out += QStringLiteral("<b>") + html(l.text) + QStringLiteral("</b>");
            break;
        case TermPart::Subscript: out += QStringLiteral("<sub>") + html(l.text) + QStringLiteral("</sub>"); break;
        }
        any = true;
    }
    return out;
}

}  // namespace

TransformPage::TransformPage(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    v->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->setSpacing(3);
    v->addLayout(top);

    auto* kindBox = new QGroupBox(QStringLiteral("  είδος μετασχηματισμού  "), this);
    RG2d = radioGroup(kindBox, {methodName(EstimationMethod::None),
                                methodName(EstimationMethod::Similarity2D),
                                methodName(EstimationMethod::Similarity3D),
                                methodName(EstimationMethod::HeposModel)});
    RG2d->button(storedNumber(EstimationMethod::HeposModel))
        ->setToolTip(QStringLiteral("Οι μετρήσεις θεωρούνται HTRS07 και περνούν στο ΕΓΣΑ87 με το "
                                    "μοντέλο HEPOS, χωρίς εκτίμηση: τα σημεία αναφοράς ελέγχουν "
                                    "το μοντέλο"));
    top->addWidget(kindBox);

    // Stored with the settings but not shown.
    auto* affBox = new QGroupBox(QStringLiteral("  είδος  "), this);
    RGafinikoy = radioGroup(affBox, {"ομοιότητας", "αφινικός", "βέλτιστος"});
    affBox->setVisible(false);

    auto* critBox = new QGroupBox(QStringLiteral("  κριτήρια σύγκλισης (x 10⁻¹²)  "), this);
    auto* cl = new QGridLayout(critBox);
    auto spin = [critBox](const char* name) {
        auto* s = new QSpinBox(critBox);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(1, 100000);
        s->setValue(100);
        s->setMaximumWidth(70);
        return s;
    };
    SEmaxDm = spin("SEmaxDm");
    SEmaxDe = spin("SEmaxDe");
    SEmaxDt = spin("SEmaxDt");
    cl->addWidget(new QLabel(QStringLiteral("κλίμακα"), critBox), 0, 0);
    cl->addWidget(SEmaxDm, 0, 1);
    cl->addWidget(new QLabel(QStringLiteral("γωνίες"), critBox), 1, 0);
    cl->addWidget(SEmaxDe, 1, 1);
    cl->addWidget(new QLabel(QStringLiteral("μεταθέσεις"), critBox), 2, 0);
    cl->addWidget(SEmaxDt, 2, 1);
    top->addWidget(critBox);

    auto* datums = new QTabWidget(this);
    const char* datumNames[3] = {"ΕΓΣΑ87", "GR", "ED50 (ΓΥΣ)"};
    const char* editNames[3] = {"GRS80", "BESSEL", "ED50"};
    const char* axes[3] = {"ΔX", "ΔY", "ΔZ"};
    // The target datum of each triple: the datum equals WGS84 plus the shift.
    const char* targets[3] = {"[ΕΓΣΑ87]", "[GR]", "[ED50]"};
    // The constants of the datum's ellipsoid, for reading only: GRS80,
    // Bessel and Hayford.
    const char* constants[3][3] = {
        {"  a = 6.378.137,0000 m          f = 0.00335281066",
         "  Ao =   1.000006345 ,     A1 =  -2.5188441e-3",
         "  A2 =   5.2871167e-6 ,    A3 =  -1.0357890e-8"},
        {"  a = 6.377.397,1550 m          f = 0.00334277318",
         "  Ao =   1.000006307 ,     A1 =  -2.5112904e-3",
         "  A2 =   5.2554532e-6 ,    A3 =  -1.0281250e-8"},
        {"  a = 6.378.388,0000 m          f = 0.00336700337",
         "  Ao =   1.000006398 ,     A1 =  -2.5295245e-3",
         "  A2 =   5.3320480e-6 ,    A3 =  -1.0490205e-8"}};
    QFont small = font();
    if (small.pointSizeF() > 2) small.setPointSizeF(small.pointSizeF() - 2);
    for (int t = 0; t < 3; ++t) {
        auto* page = new QWidget(datums);
        auto* g = new QGridLayout(page);
        g->setVerticalSpacing(1);
        g->setHorizontalSpacing(3);  // the row of boxes has to fit the window's width
        g->addWidget(new QLabel(QStringLiteral("[WGS84]"), page), 0, 0, 3, 1);
        for (int a = 0; a < 3; ++a) {
            auto* e = new QLineEdit(page);
            e->setObjectName(QStringLiteral("Edit%1D%2")
                                 .arg(QString::fromLatin1(editNames[t]))
                                 .arg(QLatin1Char("XYZ"[a])));
            e->setAlignment(Qt::AlignRight);
            // Room for every digit of a shift as the settings write it.
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-9999.999")) + 14);
            shiftEdits[static_cast<std::size_t>(t)][static_cast<std::size_t>(a)] = e;
            g->addWidget(new QLabel(QString::fromUtf8(axes[a]), page), a, 1);
            g->addWidget(e, a, 2);
            g->addWidget(new QLabel(QStringLiteral("m"), page), a, 3);
            connect(e, &QLineEdit::textEdited, this, [this, t, a] { shiftEditChange(t, a); });
            connect(e, &QLineEdit::editingFinished, this, [this, t, a] { shiftEditExit(t, a); });
        }
        g->addWidget(new QLabel(QString::fromUtf8(targets[t]), page), 0, 4, 3, 1);
        for (int k = 0; k < 3; ++k) {
            auto* c = new QLabel(QString::fromUtf8(constants[t][k]), page);
            c->setFont(small);
            g->addWidget(c, 3 + k, 0, 1, 5);
        }
        datums->addTab(page, QString::fromUtf8(datumNames[t]));
    }
    top->addWidget(datums);
    top->addStretch(1);  // a wider window leaves the boxes where they are

    auto* params = parametersBox = new QGroupBox(
        QStringLiteral("  παράμετροι μετασχηματισμού   ( υπολογίστηκαν αυτόματα απο τα σημεία "
                       "αναφοράς του τρέχοντος δικτύου )  "),
        this);
    // Its long title is not to widen the page beyond the window's width.
    params->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* pl = new QGridLayout(params);
    pl->setVerticalSpacing(2);
    for (int r = 0; r < 3; ++r) {
        equations[static_cast<std::size_t>(r)] = new QLabel(params);
        equations[static_cast<std::size_t>(r)]->setTextFormat(Qt::RichText);
        pl->addWidget(equations[static_cast<std::size_t>(r)], r, 0, 1, 9);
    }
    scaleCaption = new QLabel(QStringLiteral("μ  ="), params);
    miyCaption = new QLabel(QStringLiteral("μy ="), params);
    mizCaption = new QLabel(QStringLiteral("μz ="), params);
    Lmix = new QLabel(params);
    Lex = new QLabel(params);
    Ley = new QLabel(params);
    Lez = new QLabel(params);
    Ltx = new QLabel(params);
    Lty = new QLabel(params);
    Ltz = new QLabel(params);
    // Each value with its standard error beside it, in grey: caption, value,
    // error in three columns per parameter.
    auto error = [params] {
        auto* l = new QLabel(params);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(90, 90, 90));
        l->setPalette(pal);
        return l;
    };
    sMix = error();
    sEx = error();
    sEy = error();
    sEz = error();
    sTx = error();
    sTy = error();
    sTz = error();
    for (QLabel* l : {sTx, sTy, sTz})
        l->setToolTip(QStringLiteral("Τυπικό σφάλμα της μετάθεσης στην αρχή των αξόνων ΤΜ87: "
                                     "μεγάλο, γιατί εκεί φτάνει και το σφάλμα των στροφών και "
                                     "της κλίμακας, με μοχλό χιλιάδων km"));
    pl->addWidget(scaleCaption, 3, 0);
    pl->addWidget(Lmix, 3, 1);
    pl->addWidget(sMix, 3, 2);
    pl->addWidget(miyCaption, 3, 3);
    pl->addWidget(mizCaption, 3, 6);
    struct Cell {
        const char* caption;
        QLabel *value, *error;
    };
    const Cell cells[2][3] = {{{"εx =", Lex, sEx}, {"εy =", Ley, sEy}, {"εz =", Lez, sEz}},
                              {{"tx =", Ltx, sTx}, {"ty =", Lty, sTy}, {"tz =", Ltz, sTz}}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            const Cell& cell = cells[r][c];
            pl->addWidget(new QLabel(QString::fromUtf8(cell.caption), params), 4 + r, 3 * c);
            pl->addWidget(cell.value, 4 + r, 3 * c + 1);
            pl->addWidget(cell.error, 4 + r, 3 * c + 2);
        }
    pl->setColumnStretch(9, 1);
    v->addWidget(params);

    auto* resBox = residualsBox = new QGroupBox(QStringLiteral("  υπόλοιπα στα σημεία αναφοράς  "), this);
    auto* rl = new QVBoxLayout(resBox);
    residuals = new QTableWidget(0, 6, resBox);
    residuals->setHorizontalHeaderLabels(
        {QStringLiteral("Σημείο"), QStringLiteral("vE  (m)"), QStringLiteral("vN  (m)"),
         QStringLiteral("vH  (m)"), QStringLiteral("τ"), QString()});
    residuals->horizontalHeaderItem(0)->setToolTip(
        QStringLiteral("Με το σημάδι το σημείο μετέχει στον υπολογισμό των παραμέτρων· χωρίς "
                       "αυτό γίνεται σημείο ελέγχου"));
    residuals->horizontalHeaderItem(4)->setToolTip(
        QStringLiteral("Το μεγαλύτερο κανονικοποιημένο υπόλοιπο του σημείου (τ του Pope)"));
    residuals->verticalHeader()->setVisible(false);
    residuals->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    residuals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    residuals->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Room for the header and four points at the least.
    residuals->setMinimumHeight(residuals->horizontalHeader()->sizeHint().height() +
                                4 * residuals->verticalHeader()->defaultSectionSize() +
                                2 * residuals->frameWidth());
    rl->addWidget(residuals, 1);
    rms = new QLabel(resBox);
    rl->addWidget(rms);
    aprioriRow_ = new QWidget(resBox);
    auto* ar = new QHBoxLayout(aprioriRow_);
    ar->setContentsMargins(0, 0, 0, 0);
    ar->addWidget(new QLabel(QStringLiteral("ακρίβεια a priori (mm)   E, N"), aprioriRow_));
    aprioriH = new QSpinBox(aprioriRow_);
    ar->addWidget(aprioriH);
    ar->addWidget(new QLabel(QStringLiteral("H"), aprioriRow_));
    aprioriV = new QSpinBox(aprioriRow_);
    ar->addWidget(aprioriV);
    for (QSpinBox* s : {aprioriH, aprioriV}) {
        s->setRange(1, 1000);
        s->setToolTip(QStringLiteral("Η ακρίβεια των γνωστών συντεταγμένων των σημείων αναφοράς: "
                                     "με αυτήν κρίνεται αν συμφωνούν μεταξύ τους"));
    }
    ar->addStretch(1);
    rl->addWidget(aprioriRow_);
    testSummary = new QLabel(resBox);
    testSummary->setTextFormat(Qt::RichText);
    testSummary->setWordWrap(true);
    rl->addWidget(testSummary);
    v->addWidget(resBox, 1);
    // The change is made after the tick's own signal has returned: the table
    // is filled anew by the recomputation.
    connect(residuals, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (fillingResiduals_ || item->column() != 0) return;
        const int row = item->row();
        QMetaObject::invokeMethod(this, [this, row] { residualTicked(row); }, Qt::QueuedConnection);
    });

    connect(RG2d, &QButtonGroup::idClicked, this, [this] { RG2dClick(); });
    connect(RGafinikoy, &QButtonGroup::idClicked, this, [this] { RGafinikoyClick(); });
    for (QSpinBox* s : {SEmaxDm, SEmaxDe, SEmaxDt})
        connect(s, &QSpinBox::valueChanged, this, [this] { SEmaxDmChange(); });
    for (QSpinBox* s : {aprioriH, aprioriV})
        connect(s, &QSpinBox::valueChanged, this, [this] { aprioriChange(); });
}

void TransformPage::showSettings()
{
    showing_ = true;
    const NetworkSettings& ns = doc_.settings();
    const QSignalBlocker b1(SEmaxDm), b2(SEmaxDe), b3(SEmaxDt), b4(aprioriH), b5(aprioriV);
    if (auto* b = RG2d->button(storedNumber(ns.method))) b->setChecked(true);
    if (auto* b = RGafinikoy->button(ns.kind)) b->setChecked(true);
    SEmaxDm->setValue(ns.maxDm);
    SEmaxDe->setValue(ns.maxDe);
    SEmaxDt->setValue(ns.maxDt);
    aprioriH->setValue(ns.aprioriH);
    aprioriV->setValue(ns.aprioriV);
    for (std::size_t i = 0; i < 9; ++i) {
        shiftEdits[i / 3][i % 3]->setText(QString::fromStdString(ns.shiftTexts[i]));
        goodShiftTexts_[i] = ns.shiftTexts[i];
    }
    showing_ = false;
}

void TransformPage::RG2dClick()
{
    if (showing_) return;
    doc_.settings().setMethod(estimationMethodOf(RG2d->checkedId()));
    doc_.settingsChanged();
    doc_.RecomputeNetwork();
    emit networkRecomputed();
}

void TransformPage::RGafinikoyClick()
{
    if (showing_) return;
    doc_.settings().setKind(RGafinikoy->checkedId());
    doc_.settingsChanged();
}

void TransformPage::SEmaxDmChange()
{
    if (showing_) return;
    doc_.settings().setConvergence(SEmaxDm->value(), SEmaxDe->value(), SEmaxDt->value());
    doc_.settingsChanged();
    doc_.RecomputeNetwork();
    emit networkRecomputed();
}

void TransformPage::aprioriChange()
{
    if (showing_) return;
    doc_.settings().setAprioriPrecision(aprioriH->value(), aprioriV->value());
    doc_.settingsChanged();
    doc_.RecomputeNetwork();
    emit networkRecomputed();
}

void TransformPage::shiftEditChange(int t, int a)
{
    if (showing_) return;
    const auto i = static_cast<std::size_t>(3 * t + a);
    doc_.settings().setShiftText(static_cast<int>(i), shiftEdits[i / 3][i % 3]->text().toStdString());
    doc_.settingsChanged();
}

void TransformPage::shiftEditExit(int t, int a)
{
    const auto i = static_cast<std::size_t>(3 * t + a);
    NetworkSettings& ns = doc_.settings();
    ns.shiftEditExit(static_cast<int>(i));
    const Separators sys = ns.system();
    const NumberResult r = parseDecimal(ns.shiftTexts[i], sys.decimal);
    if (!r) {
        // Text that is not a number would stop the settings file half-way:
        // say so and bring back the last value that was one.
        showMessage(r.error, MsgIcon::Exclamation);
        ns.setShiftText(static_cast<int>(i), goodShiftTexts_[i]);
    } else {
        goodShiftTexts_[i] = ns.shiftTexts[i];
    }
    QLineEdit* e = shiftEdits[i / 3][i % 3];
    const QString shown = QString::fromStdString(ns.shiftTexts[i]);
    if (e->text() != shown) e->setText(shown);
}

void TransformPage::ShowTransformationParameters()
{
    const TransformationDisplay& d = doc_.parameters();
    const char* lhs[3] = {"E", "N", "H"};
    for (std::size_t r = 0; r < 3; ++r) equations[r]->setText(equationHtml(lhs[r], d.rows[r]));
    scaleCaption->setText(QString::fromStdString(d.scaleCaption));
    miyCaption->setVisible(d.miyVisible);
    mizCaption->setVisible(d.mizVisible);
    Lmix->setText(QString::fromStdString(d.Lmix));
    Lex->setText(QString::fromStdString(d.Lex));
    Ley->setText(QString::fromStdString(d.Ley));
    Lez->setText(QString::fromStdString(d.Lez));
    Ltx->setText(QString::fromStdString(d.Ltx));
    Lty->setText(QString::fromStdString(d.Lty));
    Ltz->setText(QString::fromStdString(d.Ltz));
    Lex->setVisible(d.LexVisible);
    Ley->setVisible(d.LeyVisible);
    Ltz->setVisible(d.LtzVisible);
    const std::pair<QLabel*, const std::string*> errors[] = {
        {sMix, &d.sMix}, {sEx, &d.sEx}, {sEy, &d.sEy}, {sEz, &d.sEz},
        {sTx, &d.sTx},   {sTy, &d.sTy}, {sTz, &d.sTz}};
    for (const auto& [label, text] : errors) label->setText(QString::fromStdString(*text));
    sEx->setVisible(d.LexVisible);
    sEy->setVisible(d.LeyVisible);
    sTz->setVisible(d.LtzVisible);

    // The HEPOS model has no parameters to show: its residuals are the
    // discrepancies of the reference points from the model.
    const bool hepos = doc_.heposModel();
    parametersBox->setVisible(!hepos);
    residualsBox->setTitle(hepos ? QStringLiteral("  αποκλίσεις των σημείων αναφοράς από το μοντέλο HEPOS  ")
                                 : QStringLiteral("  υπόλοιπα στα σημεία αναφοράς  "));
    const std::array<std::string, 3> v = residualSymbols(doc_);
    for (int c = 0; c < 3; ++c)
        residuals->horizontalHeaderItem(c + 1)->setText(
            QString::fromStdString(v[static_cast<std::size_t>(c)]) + QStringLiteral("  (m)"));
    residuals->setColumnHidden(4, hepos);

    fillResiduals();
    rms->setVisible(!hepos);  // the summary's first line gives them
    aprioriRow_->setVisible(!hepos);  // the model is not judged by them
    rms->setText(QStringLiteral("RMS   E: %1 m    N: %2 m    H: %3 m    συνολικό: %4 m")
                     .arg(QString::fromStdString(d.Lmx), QString::fromStdString(d.Lmy),
                          QString::fromStdString(d.Lmz), QString::fromStdString(d.Lmxyz)));

    const AdjustmentSummary sum = adjustmentSummary(doc_, doc_.numbers());
    QStringList lines;
    for (const std::string* l : {&sum.model, &sum.precision, &sum.test, &sum.pointTest})
        if (!l->empty()) lines << html(*l);
    if (!sum.verdict.empty()) {
        const bool suspect = std::any_of(doc_.residuals().begin(), doc_.residuals().end(),
                                         [](const ReferenceResidual& r) { return r.suspect; });
        lines << (suspect ? QStringLiteral("<b><span style=\"color:#c00000\">%1</span></b>")
                          : QStringLiteral("%1"))
                     .arg(html(sum.verdict));
    }
    if (!sum.agreement.empty()) {
        lines << html(sum.agreement);
        lines << (sum.disagreement ? QStringLiteral("<b><span style=\"color:#c00000\">%1</span></b>")
                                   : QStringLiteral("%1"))
                     .arg(html(sum.agreementVerdict));
    }
    if (!sum.checkPoints.empty())
        lines << QStringLiteral("<span style=\"color:#0046c8\">%1</span>").arg(html(sum.checkPoints));
    if (!sum.outsideGrid.empty())
        lines << QStringLiteral("<b><span style=\"color:#c00000\">%1</span></b>").arg(html(sum.outsideGrid));
    testSummary->setText(lines.join(QStringLiteral("<br>")));
}

void TransformPage::fillResiduals()
{
    const QSignalBlocker block(residuals);
    fillingResiduals_ = true;
    const auto& res = doc_.residuals();
    const int dec = doc_.numberSettings().GPSDecimals[NumberDestination::Screen];
    const NumberText& n = doc_.numbers();
    residuals->setRowCount(static_cast<int>(res.size()));
    residualIds_.clear();
    int row = 0;
    for (const ReferenceResidual& r : res) {
        residualIds_.push_back(r.id);
        // Check points in blue, the suspect in red on a pale red ground.
        QColor fg, bg;
        QString tip;
        if (r.excluded) {
            fg = kCheckPointColour;
            tip = QStringLiteral("Σημείο ελέγχου: εκτός του υπολογισμού των παραμέτρων· "
                                 "οι τιμές είναι γνωστές μείον μετασχηματισμένες συντεταγμένες");
        } else if (r.suspect) {
            fg = QColor(192, 0, 0);
            bg = kSuspectBackground;
            tip = QStringLiteral("Ύποπτο σημείο: το υπόλοιπό του ξεπερνά την κρίσιμη τιμή του ελέγχου");
        }
        auto cell = [&](int col, const QString& text, bool right) {
            auto* item = new QTableWidgetItem(text);
            if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (fg.isValid()) item->setForeground(fg);
            if (bg.isValid()) item->setBackground(bg);
            if (r.suspect) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            if (!tip.isEmpty()) item->setToolTip(tip);
            residuals->setItem(row, col, item);
            return item;
        };
        QTableWidgetItem* name = cell(0, QString::fromStdString(r.name), false);
        if (r.used) {
            // Nothing is estimated with the HEPOS model: no point to leave out.
            if (doc_.heposModel()) {
                name->setFlags(name->flags() & ~Qt::ItemIsUserCheckable);
            } else {
                name->setFlags(name->flags() | Qt::ItemIsUserCheckable);
                name->setCheckState(r.excluded ? Qt::Unchecked : Qt::Checked);
            }
            cell(1, QString::fromStdString(n.formatFixed(r.vE, dec)), true);
            cell(2, QString::fromStdString(n.formatFixed(r.vN, dec)), true);
            cell(3, doc_.Use3D && r.withHeight ? QString::fromStdString(n.formatFixed(r.vH, dec)) : QString(), true);
            cell(4, QString::fromStdString(tauText(doc_, r, n)), true);
        } else {
            for (int c = 1; c < 5; ++c) cell(c, QStringLiteral("—"), true);
        }
        cell(5, QString::fromStdString(residualRemark(r)), false);
        ++row;
    }
    fillingResiduals_ = false;
}

void TransformPage::residualTicked(int row)
{
    if (row < 0 || row >= static_cast<int>(residualIds_.size())) return;
    const QTableWidgetItem* item = residuals->item(row, 0);
    if (!item) return;
    const long long id = residualIds_[static_cast<std::size_t>(row)];
    const bool excluded = item->checkState() == Qt::Unchecked;
    if (excluded == doc_.isExcluded(id)) return;
    doc_.setExcluded(id, excluded);
    emit networkRecomputed();
}

}  // namespace korthal::app
