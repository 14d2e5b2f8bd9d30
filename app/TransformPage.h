#pragma once
// The page "ρυθμίσεις μετασχηματισμού": the kind of transformation, the
// convergence criteria, the datum shifts, the parameters as three equations
// and the residuals of the reference points.

#include <QWidget>
#include <array>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QGroupBox;

namespace korthal {
class Document;
}

namespace korthal::app {

class TransformPage : public QWidget {
    Q_OBJECT
public:
    TransformPage(Document& doc, QWidget* parent = nullptr);

    QButtonGroup* RG2d = nullptr;
    QButtonGroup* RGafinikoy = nullptr;
    QSpinBox* SEmaxDm = nullptr;
    QSpinBox* SEmaxDe = nullptr;
    QSpinBox* SEmaxDt = nullptr;
    // EditGRS80DX .. EditED50DZ: [triple][axis].
    std::array<std::array<QLineEdit*, 3>, 3> shiftEdits{};
    std::array<QLabel*, 3> equations{};  // rows E, N, H
    QLabel *Lmix = nullptr, *Lex = nullptr, *Ley = nullptr, *Lez = nullptr;
    QLabel *Ltx = nullptr, *Lty = nullptr, *Ltz = nullptr;
    QLabel *scaleCaption = nullptr, *miyCaption = nullptr, *mizCaption = nullptr;
    QTableWidget* residuals = nullptr;
    QLabel* rms = nullptr;

    // Shows the settings (after a load).
    void showSettings();

    void RG2dClick();
    void RGafinikoyClick();
    void SEmaxDmChange();
    // Typing into and leaving a datum shift edit.
    void shiftEditChange(int triple, int axis);
    void shiftEditExit(int triple, int axis);

public slots:
    // Shows the parameters and residuals of the document's last computation.
    void ShowTransformationParameters();

signals:
    void networkRecomputed();

private:
    Document& doc_;
    std::array<std::string, 9> goodShiftTexts_;
    bool showing_ = false;
};

}  // namespace korthal::app
