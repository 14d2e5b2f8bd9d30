#pragma once
// The geoid map window `TForm4`: the map picture (paint/GeoidMapPainter.h)
// with the marker of one point, shown modally. The marker is drawn on a copy,
// so the map stays clean for the next point.

#include <QDialog>
#include <QPoint>
#include <QString>

#include <functional>

class QLabel;

namespace korthal::app {

class GeoidMapWindow : public QDialog {
    Q_OBJECT
public:
    explicit GeoidMapWindow(QWidget* parent = nullptr);

    QLabel* Image1() const { return image_; }
    // Puts the marker of φ, λ (degrees) on the map; a point outside the map
    // is said so and the map is shown without a marker.
    void markPoint(double phi, double lambda);
    // markPoint, then the window modally.
    void showPoint(double phi, double lambda);

    // The text shown over the map for the pointer at a pixel of the map
    // (φ, λ and the model's undulation there); without it no readout.
    std::function<QString(double x, double y)> readout;
    QLabel* readoutLabel() const { return readout_; }
    // Shows the readout of the pointer at `at` (pixels of the map).
    void showReadout(QPoint at);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QLabel* image_;
    QLabel* readout_;
};

}  // namespace korthal::app
