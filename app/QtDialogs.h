#pragma once
// Messages and questions of the computation core shown as Qt dialogs: message
// boxes with an empty caption, the input box, the open-file and save-file
// dialogs.

#include "project/Dialogs.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace korthal::app {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    void message(const std::string& text, MsgIcon icon, const std::string& caption) override;
    Answer ask(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& initialDir,
                                          const std::string& defaultExt) override;
    // The save dialog: one entry per file type; Qt's own English question
    // about replacing a file is off (the caller asks in Greek).
    std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                             const std::vector<FileType>& types, int initialType,
                                             const std::string& initialPath) override;
    // "label (*.ext)" entries of a save dialog.
    static QStringList qtSaveFilters(const std::vector<FileType>& types);

    // "label (*.A)|*.A|label2 |*.B;*.C" to Qt's "label (*.A);;label2 (*.B *.C)".
    static QString qtFilter(const std::string& filter);

private:
    QWidget* parent_;
};

// While alive, the dialogs shown through dialogs() open over `window` (a
// window other than the main one that asks its own questions); the previous
// parent comes back at its end. Does nothing when the dialogs in force are
// not QtDialogs (tests).
class DialogParent {
public:
    explicit DialogParent(QWidget* window);
    ~DialogParent();
    DialogParent(const DialogParent&) = delete;
    DialogParent& operator=(const DialogParent&) = delete;

private:
    QtDialogs* dialogs_ = nullptr;
    QWidget* previous_ = nullptr;
};

}  // namespace korthal::app
