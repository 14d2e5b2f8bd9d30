#pragma once
// The page "test": the self-test of the seven-parameter estimation, with its
// limits, the start/stop button, the progress labels and the report file.

#include "network/SelfTest.h"

#include <QWidget>

class QSpinBox;
class QCheckBox;
class QLabel;
class QToolButton;

namespace korthal {
class Document;
}

namespace korthal::app {

class TestPage : public QWidget {
    Q_OBJECT
public:
    TestPage(Document& doc, QWidget* parent = nullptr);

    SelfTestSettings values() const;
    bool running() const { return running_; }

    QSpinBox* Pmin = nullptr;
    QSpinBox* Pmax = nullptr;
    QSpinBox* SEklimakas = nullptr;
    QSpinBox* SEstrofvn = nullptr;
    QSpinBox* SExy = nullptr;
    QSpinBox* SEz = nullptr;
    QSpinBox* SErepetitions = nullptr;
    QCheckBox* RadioButton1 = nullptr;
    QToolButton* speedButton4 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QLabel* Label53 = nullptr;
    QLabel* Label73 = nullptr;
    QLabel* Label72 = nullptr;
    QLabel* Label71 = nullptr;

    // Fixes the random seed (tests).
    void setSeed(std::uint64_t seed) { seed_ = seed; }

    void speedButton4Click();
    void RadioButton1Click();

signals:
    // Show the file named by LastTextFile (SpeedButton6Click).
    void showFileRequested();

private:
    Document& doc_;
    bool running_ = false;
    SelfTest* test_ = nullptr;
    std::optional<std::uint64_t> seed_;
};

}  // namespace korthal::app
