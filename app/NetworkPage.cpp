#include "app/NetworkPage.h"

#include "app/ToolButton.h"
#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"
#include "network/EntryLimits.h"
#include "network/PointTables.h"
#include "project/Document.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QHBoxLayout>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace korthal::app {

namespace {

// The name column's editor: typed text or a name from the pick list.
class NameDelegate : public QStyledItemDelegate {
public:
    NameDelegate(const QStringList& names, QObject* parent)
        : QStyledItemDelegate(parent), names_(names) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* cb = new QComboBox(parent);
        // The list that drops down is a window of its own and would not
        // take the grid's font by itself.
        cb->view()->setFont(parent->font());
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->addItems(names_);
        cb->lineEdit()->setMaxLength(10);
        // What is typed is the name: a detail point named by the start of a
        // reference point's name must not be completed into that name.
        cb->setCompleter(nullptr);
        return cb;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* cb = static_cast<QComboBox*>(editor);
        cb->setEditText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

private:
    const QStringList& names_;
};

const char* const kModeHints[3] = {"απεικόνιση προβολικών συντεταγμένων ΕΓΣΑ87",
                                   "απεικόνιση ελλειψοειδών συντεταγμένων ΕΓΣΑ87",
                                   "απεικόνιση προβολικών συντεταγμένων HATT"};
const char* const kModeGroups[3] = {"Προβολικές ΕΓΣΑ'87", "Ελλειψοειδείς ΕΓΣΑ'87  ",
                                    "Προβολικές HATT"};
const char* const kModeTitles[3][3] = {{"E  (m)", "N  (m)", "H  (m)"},
                                       {"  φ°     DD.MMSSss", "  λ°     DD.MMSSss", "h  (m)"},
                                       {"x  (m)", "y  (m)", "H  (m)"}};
// The titles of columns 1..3 in the geocentric and the ellipsoidal form.
const char* const kGeoTitles[3] = {"X (m)", "Y (m)", "Z (m)"};
const char* const kEllTitles[3] = {"  φ°    DD.MMSSss", "  λ°    DD.MMSSss", "h (m)"};

}  // namespace

NetworkPage::NetworkPage(Document& doc, QWidget* parent)
    : GridPage(doc, doc.GPS(), gps::Perigrafh, parent)
{
    const int fields[8] = {gps::Name, gps::X, gps::Y, gps::Z, gps::E, gps::N, gps::H, gps::apoxh};
    const char* titles[8] = {"Σημείο", "X (m)", "Y (m)", "Z (m)",
                             "E  (m)", "N  (m)", "H  (m)", "αποχή  γεωειδ"};
    std::vector<GridColumn> cols;
    for (int c = 0; c < 8; ++c) {
        GridColumn col;
        col.field = fields[c];
        col.title = QString::fromUtf8(titles[c]);
        col.numeric = c > 0;
        col.bold = c == 0;
        col.readOnly = c >= 4 && c <= 6;
        if (c > 0) {
            col.display = [this, c](Rec r) { return cellText(r, c); };
            col.editText = [this, c, fld = fields[c]](Rec r) {
                const bool dms = !doc_.InputIsGeocentric() && (c == 1 || c == 2);
                const int d = doc_.numberSettings().DMSDecimals[NumberDestination::Screen];
                const double v = doc_.GPS().getFloat(r, fld);
                return editNumber(dms ? static_cast<double>(PackedToShow(v, d)) : v, dms ? d : 4,
                                  doc_.numbers().system().decimal);
            };
        }
        col.red = [this, c](Rec r) { return networkCellIsRed(doc_.GPS(), r, c); };
        cols.push_back(std::move(col));
    }
    model()->setColumns(std::move(cols));
    // A reference point left out of the estimation is drawn in the colour of
    // the check points, the suspect on the pale red ground, as on the
    // transformation page.
    model()->setRowMark([this](Rec r) {
        RowMark mark;
        if (doc_.GPS().getBoolean(r, gps::detailPoint)) return mark;
        const ReferenceResidual* res = doc_.residualOf(doc_.GPS().getInteger(r, gps::ID));
        if (!res) return mark;
        if (res->excluded) {
            mark.text = kCheckPointColour;
            mark.tip = QStringLiteral("Σημείο ελέγχου: εκτός του υπολογισμού των παραμέτρων");
        } else if (res->suspect) {
            mark.ground = kSuspectBackground;
            mark.tip = QStringLiteral("ΥΠΟΠΤΟ σημείο αναφοράς (τ = %1): δείτε τα υπόλοιπα στις "
                                      "ρυθμίσεις μετασχηματισμού")
                           .arg(QString::fromStdString(doc_.numbers().formatFixed(res->tau, 2)));
        }
        return mark;
    });
    grid()->groupHeader()->setGroups({{0, 0, QStringLiteral("Σημείο")},
                                      {1, 3, QStringLiteral("WGS84")},
                                      {4, 6, QStringLiteral("ΕΓΣΑ87")}});
    fitColumnWidths();
    grid()->setItemDelegateForColumn(0, new NameDelegate(pickList_, this));

    model()->setSetText([this](Rec r, int column, const std::string& text) {
        MemTable& tb = doc_.GPS();
        if (tb.current() != r) tb.moveTo(r);
        bool ok = false;
        if (column == 0) {
            ok = doc_.enterNetworkPointName(text);
        } else {
            const int fld = model()->column(column).field;
            ok = doc_.enterNetworkCoordinate(fld, text);
        }
        if (tb.state() != MemTable::State::Browse) tb.post();
        model()->refresh();
        followCursorLater(column, !ok);
        return ok;
    });

    // The tool row: display mode, input form, geoid map.
    sbGrid_ = new QToolButton(this);
    sbGrid_->setObjectName(QStringLiteral("SBGrid"));
    sbGrid_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sb10_ = new QToolButton(this);
    sb10_->setObjectName(QStringLiteral("SpeedButton10"));
    sb10_->setText(QStringLiteral("XYZ"));
    sb10_->setCheckable(true);
    sb10_->setToolTip(QStringLiteral("Καταχώρηση - εμφάνιση γεωκεντρικών συντεταγμένων"));
    sb12_ = new QToolButton(this);
    sb12_->setObjectName(QStringLiteral("SpeedButton12"));
    sb12_->setText(QStringLiteral("φλh"));
    sb12_->setCheckable(true);
    sb12_->setToolTip(QStringLiteral("Καταχώρηση - εμφάνιση ελλειψοειδών συντεταγμένων"));
    sb8_ = new QToolButton(this);
    sb8_->setObjectName(QStringLiteral("SpeedButton8"));
    sb8_->setText(QStringLiteral("χάρτης"));
    sb8_->setToolTip(QStringLiteral("Εμφανίζει τον χάρτη του γεωειδούς"));
    toolRow()->insertWidget(4, sbGrid_);
    toolRow()->insertWidget(5, sb10_);
    toolRow()->insertWidget(6, sb12_);
    toolRow()->insertWidget(7, sb8_);
    rinex_ = toolButton(this, "rinexButton", "RINEX", "Εμφανίζει το αρχείο παρατηρήσεων RINEX");
    toolRow()->insertWidget(8, rinex_);
    connect(rinex_, &QToolButton::clicked, this, &NetworkPage::rinexRequested);
    connect(sbGrid_, &QToolButton::clicked, this, &NetworkPage::SBGridClick);
    connect(sb10_, &QToolButton::clicked, this, [this] { SpeedButton12Click(true); });
    connect(sb12_, &QToolButton::clicked, this, [this] { SpeedButton12Click(false); });
    connect(sb8_, &QToolButton::clicked, this, &NetworkPage::geoidMapRequested);
    showInputForm();
    SetWGS84ColumnTitles();
}

QString NetworkPage::cellText(Rec r, int c) const
{
    return QString::fromStdString(networkCellText(doc_.GPS(), r, c, mode_,
                                                  doc_.inputForm(), doc_.numbers(),
                                                  doc_.numberSettings()));
}

namespace {
// The glyph of a display mode: the two letters of its coordinates.
QIcon modeGlyph(NetworkView view)
{
    const char* const letters[3] = {"EN", "φλ", "xy"};
    QPixmap pm(20, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(view == NetworkView::Hatt ? QColor(0, 0, 160) : QColor(0, 110, 0));
    p.drawText(pm.rect(), Qt::AlignCenter, QString::fromUtf8(letters[static_cast<int>(view)]));
    return QIcon(pm);
}
}  // namespace

void NetworkPage::SBGridClick()
{
    // A value still in the cell editor belongs to the mode it was typed in
    // (mode 2 makes the undulation column read-only).
    grid()->commitOpenEditor();
    mode_ = static_cast<NetworkView>((static_cast<int>(mode_) + 1) % 3);
    const int m = static_cast<int>(mode_);
    sbGrid_->setIcon(modeGlyph(mode_));
    sb8_->setVisible(mode_ != NetworkView::Hatt);
    model()->setColumnReadOnly(7, mode_ == NetworkView::Hatt);
    grid()->setToolTip(QString::fromUtf8(kModeHints[m]));
    grid()->groupHeader()->setGroupTitle(4, QString::fromUtf8(kModeGroups[m]));
    for (int k = 0; k < 3; ++k)
        model()->setColumnTitle(4 + k, QString::fromUtf8(kModeTitles[m][k]));
    model()->refresh();
    grid()->viewport()->update();
}

void NetworkPage::SetWGS84ColumnTitles()
{
    const bool geo = doc_.InputIsGeocentric();
    grid()->groupHeader()->setGroupTitle(
        1, geo ? QStringLiteral("Γεωκεντρικές WGS84") : QStringLiteral("Ελλειψοειδείς WGS84"));
    for (int k = 0; k < 3; ++k)
        model()->setColumnTitle(1 + k, QString::fromUtf8(geo ? kGeoTitles[k] : kEllTitles[k]));
    grid()->horizontalHeader()->viewport()->update();
}

void NetworkPage::fitColumnWidths()
{
    // The widest value of each column in every display mode and input form,
    // with the decimals in force: coordinates at the ends of the ranges that
    // entry allows, HATT coordinates at the edge of a sheet.
    const NumberSettings& ns = doc_.numberSettings();
    const int gps = ns.GPSDecimals[NumberDestination::Screen], egsa = ns.EGSA87Decimals[NumberDestination::Screen], dms = ns.DMSDecimals[NumberDestination::Screen];
    const auto n = [this](double v, int d) {
        return QString::fromStdString(doc_.numbers().formatFixed(v, d));
    };
    const std::vector<QStringList> samples = {
        {QStringLiteral("ΣΣΣΣΣΣΣΣ")},
        {n(kGeocentricLimits[0].max, gps), n(kEllipsoidalLimits[0].max, dms)},
        {n(kGeocentricLimits[1].max, gps), n(kEllipsoidalLimits[1].max, dms)},
        {n(kGeocentricLimits[2].max, gps), n(kEllipsoidalLimits[2].max, gps)},
        {n(kReferenceEasting.max, egsa), n(42, dms), n(-99999, gps)},
        {n(kReferenceNorthing.max, egsa), n(29, dms), n(-99999, gps)},
        {n(3000, egsa), n(-999, egsa), n(3000, gps)},
        {n(-99.99, gps)}};
    std::vector<QStringList> titles(kNetworkColumns);
    for (int c = 0; c < kNetworkColumns; ++c) titles[static_cast<std::size_t>(c)] << model()->column(c).title;
    for (int k = 0; k < 3; ++k) {
        titles[static_cast<std::size_t>(1 + k)] << QString::fromUtf8(kGeoTitles[k])
                                                << QString::fromUtf8(kEllTitles[k]);
        for (int m = 0; m < 3; ++m)
            titles[static_cast<std::size_t>(4 + k)] << QString::fromUtf8(kModeTitles[m][k]);
    }
    fitColumns(grid(), samples, titles);
}

void NetworkPage::FillReferencePickList()
{
    pickList_.clear();
    for (const std::string& n : doc_.ReferenceNames()) pickList_ << QString::fromStdString(n);
}

void NetworkPage::showInputForm()
{
    const bool geo = doc_.InputIsGeocentric();
    sb10_->setChecked(geo);
    sb12_->setChecked(!geo);
}

void NetworkPage::SpeedButton12Click(bool geocentric)
{
    if (geocentric != doc_.InputIsGeocentric()) {
        // A value still in the cell editor is in the form it was typed in.
        commitEdits();
        doc_.SwitchInputForm(geocentric ? InputForm::Geocentric : InputForm::Ellipsoidal);
        SetWGS84ColumnTitles();
        model()->refresh();
    }
    showInputForm();
}

}  // namespace korthal::app
