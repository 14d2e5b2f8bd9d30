#include "paint/Headless.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace korthal::paint {

namespace {
int argc = 1;
char arg0[] = "korthal";
char* argv[] = {arg0, nullptr};
}  // namespace

HeadlessGui::HeadlessGui()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc, argv);
}

HeadlessGui::~HeadlessGui() = default;

}  // namespace korthal::paint
