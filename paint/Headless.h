#pragma once
// Painting needs a QGuiApplication (fonts, images), even where nothing is
// shown. HeadlessGui makes one for the command-line tool when none exists,
// on Qt's offscreen platform unless QT_QPA_PLATFORM names another, so that
// drawing works with no display and no X server. Qt's own notes and
// warnings are kept off standard error; its errors still show.

#include <memory>

class QGuiApplication;

namespace korthal::paint {

class HeadlessGui {
public:
    HeadlessGui();
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace korthal::paint
