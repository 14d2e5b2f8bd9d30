#pragma once
// The page "Σημεία αναφοράς": the reference grid `DBGrid1` and its memo.

#include "app/GridPage.h"

class QToolButton;

namespace korthal::app {

class ReferencePage : public GridPage {
    Q_OBJECT
public:
    ReferencePage(Document& doc, QWidget* parent = nullptr);

    QToolButton* SpeedButton9() const { return sb9_; }

signals:
    void geoidMapRequested();

private:
    QToolButton* sb9_;
    QString cellText(Rec r, int column) const;
};

}  // namespace korthal::app
