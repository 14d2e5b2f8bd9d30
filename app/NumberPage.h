#pragma once
// The page "εμφάνιση αριθμών": separators and decimals per number
// destination ("Οθόνη-Εκτυπωτής", "αρχείο εισόδου", "αρχείο εξόδου").

#include <QWidget>

class QComboBox;
class QSpinBox;
class QTabBar;

namespace korthal {
class Document;
}

namespace korthal::app {

class NumberPage : public QWidget {
    Q_OBJECT
public:
    NumberPage(Document& doc, QWidget* parent = nullptr);

    QTabBar* TabControlDecimal = nullptr;
    QComboBox* ComboBox2 = nullptr;  // thousands
    QComboBox* ComboBox3 = nullptr;  // decimal
    QSpinBox* SpinEdit1 = nullptr;   // parameters
    QSpinBox* SpinEdit2 = nullptr;   // GPS
    QSpinBox* SpinEdit3 = nullptr;   // EGSA87
    QSpinBox* SpinEdit4 = nullptr;   // DD.MMSSsss

    // Shows the selected destination's values.
    void showSettings();

    void ComboBox2Change();
    void ComboBox3Change();
    void SpinEdit1Change();
    void SpinEdit2Change();
    void SpinEdit3Change();
    void SpinEdit4Change();
    // Before the switch: saves the page being left when something changed.
    // Returns false when the save failed (the switch does not happen).
    bool TabControlDecimalChanging();
    // After the switch: reads the new page.
    void TabControlDecimalChange();

signals:
    // Separators or decimals changed: the grids and parameters redraw.
    void numbersChanged();

private:
    void changed(bool parameters);
    Document& doc_;
    bool showing_ = false;
};

}  // namespace korthal::app
