#pragma once
// A tool button with its object name, caption and hint, as the windows make
// their buttons.

#include <QString>
#include <QToolButton>

namespace korthal::app {

inline QToolButton* toolButton(QWidget* parent, const char* name, const char* text,
                               const char* hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(text));
    b->setToolTip(QString::fromUtf8(hint));
    return b;
}

}  // namespace korthal::app
