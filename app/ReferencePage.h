#pragma once
// The page "Σημεία αναφοράς": the reference grid `DBGrid1` and its memo.

#include "app/GridPage.h"

namespace korthal::app {

class ReferencePage : public GridPage {
    Q_OBJECT
public:
    ReferencePage(Document& doc, QWidget* parent = nullptr);

private:
    QString cellText(Rec r, int column) const;
};

}  // namespace korthal::app
