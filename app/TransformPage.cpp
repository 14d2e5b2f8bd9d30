#include "app/TransformPage.h"

#include "geodesy/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>


namespace korthal::app {

namespace {

QString html(const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); }

// Three radio buttons in a column of `box`, with the ids 0, 1, 2 in a group
// owned by the page that holds the box.
QButtonGroup* radioGroup(QGroupBox* box, const std::array<const char*, 3>& texts)
{
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box->parentWidget());
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(texts[static_cast<std::size_t>(i)]), box);
        group->addButton(r, i);
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
    RG2d = radioGroup(kindBox, {"κανένας", "2-Δ  (τετραπαραμετρικός)", "3-Δ  (επταπαραμετρικός)"});
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

    auto* params = new QGroupBox(
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
        pl->addWidget(equations[static_cast<std::size_t>(r)], r, 0, 1, 8);
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
    pl->addWidget(scaleCaption, 3, 0);
    pl->addWidget(Lmix, 3, 1);
    pl->addWidget(miyCaption, 3, 2);
    pl->addWidget(mizCaption, 3, 3);
    pl->addWidget(new QLabel(QStringLiteral("εx ="), params), 4, 0);
    pl->addWidget(Lex, 4, 1);
    pl->addWidget(new QLabel(QStringLiteral("εy ="), params), 4, 2);
    pl->addWidget(Ley, 4, 3);
    pl->addWidget(new QLabel(QStringLiteral("εz ="), params), 4, 4);
    pl->addWidget(Lez, 4, 5);
    pl->addWidget(new QLabel(QStringLiteral("tx ="), params), 5, 0);
    pl->addWidget(Ltx, 5, 1);
    pl->addWidget(new QLabel(QStringLiteral("ty ="), params), 5, 2);
    pl->addWidget(Lty, 5, 3);
    pl->addWidget(new QLabel(QStringLiteral("tz ="), params), 5, 4);
    pl->addWidget(Ltz, 5, 5);
    pl->setColumnStretch(7, 1);
    v->addWidget(params);

    auto* resBox = new QGroupBox(QStringLiteral("  υπόλοιπα στα σημεία αναφοράς  "), this);
    auto* rl = new QVBoxLayout(resBox);
    residuals = new QTableWidget(0, 4, resBox);
    residuals->setHorizontalHeaderLabels(
        {QStringLiteral("Σημείο"), QStringLiteral("vE  (m)"), QStringLiteral("vN  (m)"),
         QStringLiteral("vH  (m)")});
    residuals->verticalHeader()->setVisible(false);
    residuals->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    residuals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    residuals->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    rl->addWidget(residuals, 1);
    rms = new QLabel(resBox);
    rl->addWidget(rms);
    v->addWidget(resBox, 1);

    connect(RG2d, &QButtonGroup::idClicked, this, [this] { RG2dClick(); });
    connect(RGafinikoy, &QButtonGroup::idClicked, this, [this] { RGafinikoyClick(); });
    for (QSpinBox* s : {SEmaxDm, SEmaxDe, SEmaxDt})
        connect(s, &QSpinBox::valueChanged, this, [this] { SEmaxDmChange(); });
}

void TransformPage::showSettings()
{
    showing_ = true;
    const NetworkSettings& ns = doc_.settings();
    const QSignalBlocker b1(SEmaxDm), b2(SEmaxDe), b3(SEmaxDt);
    if (auto* b = RG2d->button(ns.method)) b->setChecked(true);
    if (auto* b = RGafinikoy->button(ns.kind)) b->setChecked(true);
    SEmaxDm->setValue(ns.maxDm);
    SEmaxDe->setValue(ns.maxDe);
    SEmaxDt->setValue(ns.maxDt);
    for (std::size_t i = 0; i < 9; ++i) {
        shiftEdits[i / 3][i % 3]->setText(QString::fromStdString(ns.shiftTexts[i]));
        goodShiftTexts_[i] = ns.shiftTexts[i];
    }
    showing_ = false;
}

void TransformPage::RG2dClick()
{
    if (showing_) return;
    doc_.settings().setMethod(RG2d->checkedId());
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

    const auto& res = doc_.residuals();
    const int dec = doc_.numberSettings().GPSDecimals[0];
    residuals->setRowCount(static_cast<int>(res.size()));
    int row = 0;
    for (const ReferenceResidual& r : res) {
        auto cell = [&](int col, const QString& text, bool right) {
            auto* item = new QTableWidgetItem(text);
            if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            residuals->setItem(row, col, item);
        };
        cell(0, QString::fromStdString(r.name), false);
        if (r.used) {
            cell(1, QString::fromStdString(doc_.numbers().formatFixed(r.vE, dec)), true);
            cell(2, QString::fromStdString(doc_.numbers().formatFixed(r.vN, dec)), true);
            cell(3, doc_.Use3D ? QString::fromStdString(doc_.numbers().formatFixed(r.vH, dec))
                               : QString(),
                 true);
        } else {
            for (int c = 1; c < 4; ++c) cell(c, QStringLiteral("—"), true);
        }
        ++row;
    }
    rms->setText(QStringLiteral("RMS   E: %1 m    N: %2 m    H: %3 m    συνολικό: %4 m")
                     .arg(QString::fromStdString(d.Lmx), QString::fromStdString(d.Lmy),
                          QString::fromStdString(d.Lmz), QString::fromStdString(d.Lmxyz)));
}

}  // namespace korthal::app
