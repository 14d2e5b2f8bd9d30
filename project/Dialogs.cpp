#include "project/Dialogs.h"

#include <iostream>

namespace korthal {

namespace {
StderrDialogs& stderrDialogs()
{
    static StderrDialogs d;
    return d;
}
Dialogs* g_current = nullptr;
}  // namespace

Dialogs& dialogs()
{
    return g_current ? *g_current : stderrDialogs();
}

Dialogs* setDialogs(Dialogs* d)
{
    Dialogs* old = g_current;
    g_current = d;
    return old;
}

// The \r that separates lines inside a message is shown as a line break.
static std::string forTerminal(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c == '\r')
            c = '\n';
    return out;
}

void StderrDialogs::message(const std::string& text, MsgIcon, const std::string& caption)
{
    if (!caption.empty())
        std::cerr << caption << ": ";
    std::cerr << forTerminal(text) << '\n';
}

Answer StderrDialogs::ask(const std::string& text, const std::string& caption, MsgIcon,
                          MsgButtons buttons)
{
    message(text, MsgIcon::None, caption);
    return buttons == MsgButtons::YesNoCancel ? Answer::Cancel : Answer::No;
}

std::optional<std::string> StderrDialogs::input(const std::string&, const std::string&,
                                                const std::string&)
{
    return std::nullopt;
}

std::optional<std::string> StderrDialogs::chooseFile(const std::string&, const std::string&,
                                                     const std::string&, const std::string&)
{
    return std::nullopt;
}

std::optional<SaveChoice> Dialogs::chooseSaveFile(const std::string&,
                                                  const std::vector<FileType>&, int,
                                                  const std::string&)
{
    return std::nullopt;
}

RecordingDialogs::RecordingDialogs() : previous_(setDialogs(this)) {}

RecordingDialogs::~RecordingDialogs()
{
    setDialogs(previous_);
}

void RecordingDialogs::message(const std::string& text, MsgIcon icon, const std::string& caption)
{
    entries.push_back({text, caption, icon, false});
}

Answer RecordingDialogs::ask(const std::string& text, const std::string& caption, MsgIcon icon,
                             MsgButtons)
{
    entries.push_back({text, caption, icon, true});
    if (answers.empty())
        return Answer::No;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> RecordingDialogs::input(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string&)
{
    entries.push_back({prompt, caption, MsgIcon::None, true});
    if (inputs.empty())
        return std::nullopt;
    auto a = inputs.front();
    inputs.pop_front();
    return a;
}

std::optional<std::string> RecordingDialogs::chooseFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string&, const std::string&)
{
    entries.push_back({filter, title, MsgIcon::None, true});
    if (inputs.empty())
        return std::nullopt;
    auto a = inputs.front();
    inputs.pop_front();
    return a;
}

std::optional<SaveChoice> RecordingDialogs::chooseSaveFile(const std::string& title,
                                                           const std::vector<FileType>&,
                                                           int initialType,
                                                           const std::string& initialPath)
{
    entries.push_back({initialPath, title, MsgIcon::None, true});
    int type = initialType;
    if (!fileTypes.empty()) {
        type = fileTypes.front();
        fileTypes.pop_front();
    }
    if (inputs.empty())
        return std::nullopt;
    auto a = inputs.front();
    inputs.pop_front();
    if (!a)
        return std::nullopt;
    return SaveChoice{*a, type};
}

std::vector<std::string> RecordingDialogs::messages() const
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        if (!e.question)
            out.push_back(e.text);
    return out;
}

}  // namespace korthal
