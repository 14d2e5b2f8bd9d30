#include "app/GeoidMapWindow.h"

#include "paint/GeoidMapPainter.h"
#include "project/Dialogs.h"

#include <QGuiApplication>
#include <QLabel>
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

}  // namespace korthal::app
