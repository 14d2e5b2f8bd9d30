#pragma once
// The page "Αναγωγές συντεταγμένων": the widgets of the coordinate
// calculator. All logic lives in korthal::Calculator; this page mirrors its
// texts, enabled buttons and list selections.

#include "network/Calculator.h"

#include <QWidget>
#include <array>

class QLineEdit;
class QToolButton;
class QComboBox;

namespace korthal::app {

class CalculatorPage : public QWidget {
    Q_OBJECT
public:
    CalculatorPage(Calculator& calc, QWidget* parent = nullptr);

    QLineEdit* edit(CalcEdit e) const { return edits_[static_cast<std::size_t>(e)]; }
    QToolButton* button(CalcButton b) const { return buttons_[static_cast<std::size_t>(b)]; }
    QComboBox* CBf() const { return cbf_; }
    QComboBox* CBl() const { return cbl_; }
    QComboBox* CBperioxhs() const { return cbArea_; }

    // Fills the area list (start-up).
    void fillAreas();
    // Copies the calculator's state into the widgets.
    void sync();
    // Widths that show the widest value of each edit whole with the decimals
    // in force (after a change of the number settings).
    void fitEdits();

signals:
    // The "αποχή" button: the model's undulation at the point into its edit,
    void undulationRequested(Extended phi, Extended lambda);
    // then the calculator's point shown on the geoid map.
    void geoidMapRequested(double phi, double lambda);

private:
    QWidget* group(const QString& title, CalcEdit first, const QStringList& labels);
    QToolButton* makeButton(CalcButton b, const QString& text);
    // The messages of an operation of the calculator, in message boxes.
    static void showMessages(const CalcOutcome& o);
    // After a conversion message: back to the edit that could not be read.
    void focusRefused(CalcEdit e);

    Calculator& calc_;
    std::array<QLineEdit*, kCalcEditCount> edits_{};
    std::array<QToolButton*, kCalcButtonCount> buttons_{};
    QComboBox* cbf_ = nullptr;
    QComboBox* cbl_ = nullptr;
    QComboBox* cbArea_ = nullptr;
};

}  // namespace korthal::app
