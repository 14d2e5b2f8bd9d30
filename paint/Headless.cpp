#include "paint/Headless.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>

namespace korthal::paint {

namespace {
int argc = 1;
char arg0[] = "korthal";
char* argv[] = {arg0, nullptr};

QtMessageHandler previousHandler = nullptr;

// Qt's notes and warnings about the platform (no runtime folder, no
// session) are no business of the command line's user: only errors pass.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && previousHandler)
        previousHandler(type, context, text);
}
}  // namespace

HeadlessGui::HeadlessGui()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietHandler);
    app_ = std::make_unique<QGuiApplication>(argc, argv);
}

HeadlessGui::~HeadlessGui() = default;

}  // namespace korthal::paint
