#pragma once
// The page "ρυθμίσεις μετασχηματισμού": the kind of transformation, the
// convergence criteria, the datum shifts, the parameters as three equations
// and the residuals of the reference points.

#include <QWidget>
#include <array>
#include <string>
#include <vector>

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
    // The standard errors beside the scale, the rotations and the shifts.
    QLabel *sMix = nullptr, *sEx = nullptr, *sEy = nullptr, *sEz = nullptr;
    QLabel *sTx = nullptr, *sTy = nullptr, *sTz = nullptr;
    // The residuals of the reference points: a tick per point (ticked: in
    // the estimation; unticked: left out, a check point), vE, vN, vH, the
    // test value τ and a remark (ΥΠΟΠΤΟ, σημείο ελέγχου).
    QTableWidget* residuals = nullptr;
    QLabel* rms = nullptr;
    // The a-priori precision of the reference points (mm) that judges
    // whether they agree: E and N, and H.
    QSpinBox* aprioriH = nullptr;
    QSpinBox* aprioriV = nullptr;
    // σ0, the test and its verdict, the check points.
    QLabel* testSummary = nullptr;
    // The box of the parameters (hidden with the HEPOS model, which has
    // none) and the box of the residuals (its title names what they are).
    QGroupBox* parametersBox = nullptr;
    QGroupBox* residualsBox = nullptr;

    // Shows the settings (after a load).
    void showSettings();

    void RG2dClick();
    void RGafinikoyClick();
    void SEmaxDmChange();
    void aprioriChange();
    // Typing into and leaving a datum shift edit.
    void shiftEditChange(int triple, int axis);
    void shiftEditExit(int triple, int axis);
    // A tick of the residual table changed: leaves the point out of the
    // estimation or takes it back, and recomputes the network.
    void residualTicked(int row);

public slots:
    // Shows the parameters and residuals of the document's last computation.
    void ShowTransformationParameters();

signals:
    void networkRecomputed();

private:
    void fillResiduals();
    Document& doc_;
    std::array<std::string, 9> goodShiftTexts_;
    std::vector<long long> residualIds_;  // the network record ID of each row
    bool showing_ = false;
    bool fillingResiduals_ = false;
    QWidget* aprioriRow_ = nullptr;
};

}  // namespace korthal::app
