#include "app/GeoidMapWindow.h"

#include "paint/GeoidMapPainter.h"
#include "project/Dialogs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace korthal::app {

GeoidMapWindow::GeoidMapWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Χάρτης γεωειδούς στο ΕΓΣΑ87  ( αντίγραφο του χάρτη του ΟΚΧΕ )"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    v->addWidget(image_);
    // The pointer's position and the undulation there, over the map (the
    // window keeps the map's size).
    image_->setMouseTracking(true);
    image_->installEventFilter(this);
    readout_ = new QLabel(image_);
    readout_->setObjectName(QStringLiteral("Readout"));
    readout_->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(255, 255, 255, 220); border: 1px solid gray; padding: 2px; }"));
    readout_->hide();
    // The map fills the window's inside exactly.
    setFixedSize(kGeoidMapWidth, kGeoidMapHeight);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void GeoidMapWindow::markPoint(double phi, double lambda)
{
    if (!insideGeoidMap(phi, lambda)) {
        showMessage("Το σημείο βρίσκεται έξω από την περιοχή του χάρτη "
                    "(34° έως 42° Β, 19° έως 29° Α).",
                    MsgIcon::Information);
        image_->setPixmap(QPixmap::fromImage(paint::geoidMapImage()));
        return;
    }
    image_->setPixmap(QPixmap::fromImage(paint::markedGeoidMap(phi, lambda)));
}

void GeoidMapWindow::showPoint(double phi, double lambda)
{
    markPoint(phi, lambda);
    exec();
}

void GeoidMapWindow::showReadout(QPoint at)
{
    const QString text = readout ? readout(at.x() + 0.5, at.y() + 0.5) : QString();
    readout_->setText(text);
    readout_->adjustSize();
    // In the map's bottom right corner, clear of its labels and legend.
    readout_->move(image_->width() - readout_->width() - 6, image_->height() - readout_->height() - 6);
    readout_->setVisible(!text.isEmpty());
}

bool GeoidMapWindow::eventFilter(QObject* o, QEvent* e)
{
    if (o == image_) {
        if (e->type() == QEvent::MouseMove)
            showReadout(static_cast<QMouseEvent*>(e)->position().toPoint());
        else if (e->type() == QEvent::Leave)
            readout_->hide();
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace korthal::app
