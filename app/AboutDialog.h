#pragma once
// The About window of the main window's introduction page: the program's
// version, where its built-in data came from under which terms, and the
// libraries it runs on with their licences.

#include <QDialog>

class QTextBrowser;

namespace korthal::app {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // The text shown, as plain text (for tests).
    QString text() const;

private:
    QTextBrowser* browser_ = nullptr;
};

// The window's text as HTML: the version of this build, the data and the
// libraries.
QString aboutText();

}  // namespace korthal::app
