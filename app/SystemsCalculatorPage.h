#pragma once
// The calculator's second page (the systems of korthal::SystemsCalculator)
// and the tab that holds both pages, with the button that switches them.

#include "network/SystemsCalculator.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;

namespace korthal::app {

class SystemsCalculatorPage : public QWidget {
    Q_OBJECT
public:
    SystemsCalculatorPage(SystemsContext ctx, QWidget* parent = nullptr);

    SystemsCalculator& calculator() { return calc_; }
    QLineEdit* edit(SysGroup g, int k) const { return edits_[ix(g)][static_cast<std::size_t>(k)]; }
    QToolButton* button(SysGroup g) const { return buttons_[ix(g)]; }
    QLineEdit* sheetSearch() const { return search_; }
    QComboBox* sheetList() const { return sheets_; }
    QLabel* sheetFound() const { return found_; }

    // Copies the calculator's texts into the edits.
    void sync();

private:
    static std::size_t ix(SysGroup g) { return static_cast<std::size_t>(g); }
    QWidget* group(SysGroup g);
    QWidget* sheetBox();
    // Refills the sheet list with the sheets the search text names.
    void fillSheets(const QString& query);
    void convert(SysGroup g);

    SystemsCalculator calc_;
    std::array<std::array<QLineEdit*, 3>, kSysGroupCount> edits_{};
    std::array<QToolButton*, kSysGroupCount> buttons_{};
    QLineEdit* search_ = nullptr;
    QComboBox* sheets_ = nullptr;
    QLabel* found_ = nullptr;
};

// The tab "Αναγωγές συντεταγμένων": the first page (EGSA87, WGS84, HATT) or
// the second (the other systems), one at a time, with a button above them
// that switches to the other.
class CalculatorPages : public QWidget {
    Q_OBJECT
public:
    CalculatorPages(QWidget* first, SystemsCalculatorPage* second, QWidget* parent = nullptr);

    QToolButton* switchButton() const { return switch_; }
    SystemsCalculatorPage* systemsPage() const { return systems_; }
    bool secondShown() const;
    void showSecond(bool second);

private:
    QStackedWidget* stack_ = nullptr;
    QToolButton* switch_ = nullptr;
    SystemsCalculatorPage* systems_ = nullptr;
};

}  // namespace korthal::app
