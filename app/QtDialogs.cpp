#include "app/QtDialogs.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>

namespace korthal::app {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A window title that shows empty: an empty one would be replaced by the
// application's name.
QString windowCaption(const std::string& s) { return s.empty() ? QStringLiteral(" ") : q(s); }

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Exclamation:
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::message(const std::string& text, MsgIcon icon, const std::string& caption)
{
    QMessageBox box(qtIcon(icon), windowCaption(caption), q(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

Answer QtDialogs::ask(const std::string& text, const std::string& caption, MsgIcon icon,
                      MsgButtons buttons)
{
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    if (buttons == MsgButtons::YesNo) b = QMessageBox::Yes | QMessageBox::No;
    if (buttons == MsgButtons::YesNoCancel)
        b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(qtIcon(icon), windowCaption(caption), q(text), b, parent_);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::Ok;
    default: break;
    }
    // Closing the box with Esc or its close box.
    return buttons == MsgButtons::Ok ? Answer::Ok
           : buttons == MsgButtons::YesNoCancel ? Answer::Cancel
                                                : Answer::No;
}

std::optional<std::string> QtDialogs::input(const std::string& caption, const std::string& prompt,
                                            const std::string& initial)
{
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(windowCaption(caption));
    dlg.setLabelText(q(prompt));
    dlg.setTextValue(q(initial));
    // Wide enough for the whole title (the window manager's buttons beside
    // it) and for a file name with its folder.
    const QFontMetrics fm(dlg.font());
    dlg.resize(std::max({dlg.sizeHint().width(), fm.horizontalAdvance(dlg.windowTitle()) + 160,
                         std::min(fm.horizontalAdvance(q(initial)) + 80, 900)}),
               dlg.sizeHint().height());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.textValue().toStdString();
}

QString QtDialogs::qtFilter(const std::string& filter)
{
    const QStringList parts = q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        // Patterns separated by ';' become Qt's list separated by spaces.
        const QString pattern =
            parts[i + 1].trimmed().split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        if (!label.contains(pattern)) label += QStringLiteral(" (") + pattern + QLatin1Char(')');
        out << label;
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogs::chooseFile(const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& initialDir,
                                                 const std::string& defaultExt)
{
    QFileDialog dlg(parent_, q(title), q(initialDir), qtFilter(filter));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setDefaultSuffix(q(defaultExt));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return dlg.selectedFiles().first().toStdString();
}


QStringList QtDialogs::qtSaveFilters(const std::vector<FileType>& types)
{
    QStringList out;
    for (const auto& t : types)
        out << q(t.label) + QStringLiteral(" (*.") + q(t.extension) + QLatin1Char(')');
    return out;
}

std::optional<SaveChoice> QtDialogs::chooseSaveFile(const std::string& title,
                                                    const std::vector<FileType>& types,
                                                    int initialType,
                                                    const std::string& initialPath)
{
    QFileDialog dlg(parent_, q(title));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtSaveFilters(types);
    dlg.setNameFilters(filters);
    if (initialType >= 0 && initialType < filters.size())
        dlg.selectNameFilter(filters[initialType]);
    dlg.selectFile(q(initialPath));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return SaveChoice{dlg.selectedFiles().first().toStdString(),
                      static_cast<int>(filters.indexOf(dlg.selectedNameFilter()))};
}

DialogParent::DialogParent(QWidget* window)
    : dialogs_(dynamic_cast<QtDialogs*>(&dialogs()))
{
    if (!dialogs_) return;
    previous_ = dialogs_->parent();
    dialogs_->setParent(window);
}

DialogParent::~DialogParent()
{
    if (dialogs_) dialogs_->setParent(previous_);
}

}  // namespace korthal::app
