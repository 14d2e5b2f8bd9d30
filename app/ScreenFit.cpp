#include "app/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace korthal::app {

QRect fitRectInside(const QRect& wanted, const QRect& available)
{
    QRect r = wanted;
    r.setSize(r.size().boundedTo(available.size()));
    if (r.right() > available.right()) r.moveRight(available.right());
    if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
    if (r.left() < available.left()) r.moveLeft(available.left());
    if (r.top() < available.top()) r.moveTop(available.top());
    return r;
}

QSize placeInsideScreen(QWidget* window, const QSize& size)
{
    if (!window) return size;
    if (window->isMaximized()) return window->size();
    QScreen* s = window->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) {
        window->resize(size);
        return size;
    }
    // The frame (title bar, borders) is known once the window is shown;
    // before that it counts as nothing and the inside is what is fitted.
    const QRect inner = window->geometry(), outer = window->frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QRect avail = s->availableGeometry();
    const QRect wanted(outer.topLeft(), size.grownBy(frame));
    const QRect fitted = fitRectInside(wanted, avail).marginsRemoved(frame);
    window->setGeometry(fitted);
    return fitted.size();
}

}  // namespace korthal::app
