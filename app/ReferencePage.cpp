#include "app/ReferencePage.h"

#include "geodesy/Angles.h"
#include "network/EntryLimits.h"
#include "network/PointTables.h"
#include "project/Document.h"

#include <QHBoxLayout>
#include <QToolButton>

#include <cstdio>

namespace korthal::app {

ReferencePage::ReferencePage(Document& doc, QWidget* parent)
    : GridPage(doc, doc.GYS(), gys::Perigrafh, parent)
{
    const int fields[8] = {gys::Name, gys::E, gys::N, gys::H, gys::apoxh, gys::f, gys::l, gys::ortho};
    const char* titles[8] = {"Σημείο", "E  (m)", "N  (m)", "H  (m)",
                             "   αποχή    γεωειδούς", "φ°", "λ°", "h  (m)"};
    std::vector<GridColumn> cols;
    for (int c = 0; c < 8; ++c) {
        GridColumn col;
        col.field = fields[c];
        col.title = QString::fromUtf8(titles[c]);
        col.numeric = c > 0;
        if (c > 0) {
            col.display = [this, c](Rec r) { return cellText(r, c); };
            col.editText = [this, c, fld = fields[c]](Rec r) {
                const double v = doc_.GYS().getFloat(r, fld);
                if (c == 5 || c == 6) {
                    // Angles are typed as DD.MMSSsss.
                    if (v == 0) return QString();
                    const int d = doc_.numberSettings().DMSDecimals[NumberDestination::Screen];
                    return editNumber(static_cast<double>(PackedToShow(RadToDMS(v), d)), d,
                                      doc_.numbers().system().decimal);
                }
                return editNumber(v, 4, doc_.numbers().system().decimal);
            };
        }
        cols.push_back(std::move(col));
    }
    model()->setColumns(std::move(cols));
    grid()->groupHeader()->setGroups(
        {{0, 0, QStringLiteral("Σημείο")},
         {1, 3, QStringLiteral("Προβολικές συν/μένες ΕΓΣΑ87")},
         {5, 7, QStringLiteral("Ελλειψοειδείς συν/μένες GRS80")}});
    fitColumnWidths();

    model()->setSetText([this](Rec r, int column, const std::string& text) {
        MemTable& tb = doc_.GYS();
        if (tb.current() != r) tb.moveTo(r);
            const int fld = model()->column(column).field;
        bool ok = false;
        if (column == 0) {
            ok = doc_.enterPointText(tb, fld, text);
        } else if (fld == gys::f || fld == gys::l || fld == gys::ortho) {
            ok = doc_.enterReferenceGeographic(fld, text);
        } else {
            ok = doc_.enterReferenceCoordinate(fld, text);
        }
        if (tb.state() != MemTable::State::Browse) {
            if (ok)
                tb.post();
        }
        model()->refresh();
        followCursorLater(column, !ok);
        return ok;
    });

    sb9_ = new QToolButton(this);
    sb9_->setObjectName(QStringLiteral("SpeedButton9"));
    sb9_->setText(QStringLiteral("χάρτης"));
    sb9_->setToolTip(QStringLiteral("Εμφανίζει τον χάρτη του γεωειδούς"));
    toolRow()->insertWidget(4, sb9_);
    connect(sb9_, &QToolButton::clicked, this, &ReferencePage::geoidMapRequested);
}

void ReferencePage::fitColumnWidths()
{
    const NumberSettings& ns = doc_.numberSettings();
    const int egsa = ns.EGSA87Decimals[NumberDestination::Screen], dms = ns.DMSDecimals[NumberDestination::Screen];
    const auto n = [this](double v, int d) {
        return QString::fromStdString(doc_.numbers().formatFixed(v, d));
    };
    const std::vector<QStringList> samples = {
        {QStringLiteral("ΣΣΣΣΣΣΣΣ")},
        {n(kReferenceEasting.max, egsa)},
        {n(kReferenceNorthing.max, egsa)},
        {n(3000, egsa), n(-999, egsa)},
        {n(-99.99, egsa)},
        {n(kReferenceLatitude.max, dms)},
        {n(kReferenceLongitude.max, dms)},
        {n(3000, egsa)}};
    std::vector<QStringList> titles;
    for (int c = 0; c < kReferenceColumns; ++c) titles.push_back({model()->column(c).title});
    fitColumns(grid(), samples, titles);
}

QString ReferencePage::cellText(Rec r, int c) const
{
    return QString::fromStdString(
        referenceCellText(doc_.GYS(), r, c, doc_.numbers(), doc_.numberSettings()));
}

}  // namespace korthal::app
