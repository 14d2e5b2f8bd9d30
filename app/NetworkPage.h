#pragma once
// The page "Σημεία δικτύου": the network grid `DBGrid2` with its display
// modes, the WGS84 input form buttons, the geoid map button and the memo.

#include "app/GridPage.h"
#include "network/PointTables.h"

#include <QStringList>

class QToolButton;

namespace korthal::app {

class NetworkPage : public GridPage {
    Q_OBJECT
public:
    NetworkPage(Document& doc, QWidget* parent = nullptr);

    QToolButton* SBGrid() const { return sbGrid_; }
    QToolButton* SpeedButton10() const { return sb10_; }
    QToolButton* SpeedButton12() const { return sb12_; }
    QToolButton* SpeedButton8() const { return sb8_; }
    QToolButton* rinexButton() const { return rinex_; }
    NetworkView gridMode() const { return mode_; }

    void SBGridClick();
    // Column widths that show every value whole with the decimals in force,
    // and every title of a column (in any mode) on one line.
    void fitColumnWidths();
    void SetWGS84ColumnTitles();
    void FillReferencePickList();
    const QStringList& pickList() const { return pickList_; }
    // Handler of both input form buttons: geocentric (true) or ellipsoidal.
    void SpeedButton12Click(bool geocentric);
    // Presses the button that matches the network's input form.
    void showInputForm();

signals:
    void geoidMapRequested();
    // The "RINEX" button: the observations of the current point.
    void rinexRequested();

private:
    QString cellText(Rec r, int column) const;
    QToolButton* sbGrid_;
    QToolButton* sb10_;
    QToolButton* sb12_;
    QToolButton* sb8_;
    QToolButton* rinex_;
    // The form starts on the HATT view; start-up clicks SBGrid once to reach
    // the EGSA87 one.
    NetworkView mode_ = NetworkView::Hatt;
    QStringList pickList_;
};

}  // namespace korthal::app
