#pragma once
// How the document and the layers above it talk to the user without showing
// anything themselves.
//
// The document, the views and the windows report their messages (exact
// texts, UTF-8) and ask their questions through the one Dialogs object
// installed for the process. The desktop program installs one that shows
// message boxes; tests install a RecordingDialogs that keeps every message
// and answers from a script; the command-line tool writes messages to
// stderr. The layers below the document (geodesy, table, network) never use
// it: they return what happened (a status, or an error value carrying the
// text to show) and their callers decide what to show.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korthal {

enum class MsgIcon { None, Exclamation, Warning, Information, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// One entry of the list of file types of a save dialog.
struct FileType {
    std::string label;      // what the list shows, e.g. "ESRI Shapefile"
    std::string extension;  // without the dot, e.g. "shp"
};

// What a save dialog gave: the file name as typed or picked, and the index of
// the file type chosen in the list.
struct SaveChoice {
    std::string path;
    int type = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message with an OK button. An empty caption is the usual case.
    virtual void message(const std::string& text, MsgIcon icon = MsgIcon::None,
                         const std::string& caption = {}) = 0;

    // A question; returns the button pressed.
    virtual Answer ask(const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons) = 0;

    // A one-line input box; nullopt when the user cancels.
    virtual std::optional<std::string> input(const std::string& caption,
                                             const std::string& prompt,
                                             const std::string& initial) = 0;

    // A file-open dialog; nullopt when the user cancels.
    virtual std::optional<std::string> chooseFile(const std::string& title,
                                                  const std::string& filter,
                                                  const std::string& initialDir,
                                                  const std::string& defaultExt) = 0;

    // A file-save dialog offering `types`, starting at `initialPath` with
    // types[initialType] chosen; nullopt when the user cancels. It does not
    // ask about replacing an existing file: the caller does, in its own
    // words. Without a dialog of its own an implementation cancels.
    virtual std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                                     const std::vector<FileType>& types,
                                                     int initialType,
                                                     const std::string& initialPath);
};

// The object in force. Never null: without an installed one, messages go to
// stderr and questions get their "safe" answer (No, Cancel, nullopt).
Dialogs& dialogs();

// Installs d (or the stderr default for nullptr); returns the previous one.
Dialogs* setDialogs(Dialogs* d);

// Shorthand for dialogs().message(...).
inline void showMessage(const std::string& text, MsgIcon icon = MsgIcon::None,
                        const std::string& caption = {})
{
    dialogs().message(text, icon, caption);
}

// Writes messages to stderr, one per line; answers every question "no".
class StderrDialogs : public Dialogs {
public:
    void message(const std::string& text, MsgIcon icon, const std::string& caption) override;
    Answer ask(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& initialDir,
                                          const std::string& defaultExt) override;
};

// Keeps everything that was said and answers from queues. While alive it is
// the installed object; the previous one comes back when it is destroyed.
class RecordingDialogs : public Dialogs {
public:
    struct Entry {
        std::string text;
        std::string caption;
        MsgIcon icon = MsgIcon::None;
        bool question = false;
    };

    RecordingDialogs();
    ~RecordingDialogs() override;
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    void message(const std::string& text, MsgIcon icon, const std::string& caption) override;
    Answer ask(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& initialDir,
                                          const std::string& defaultExt) override;
    // Records the title with the offered path as the text; the path comes
    // from `inputs` and the type from `fileTypes` (empty: the initial one).
    std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                             const std::vector<FileType>& types, int initialType,
                                             const std::string& initialPath) override;

    std::vector<Entry> entries;          // messages and questions, in order
    std::deque<Answer> answers;          // next answers to ask(); empty: No
    // Next answers to input(), chooseFile() and chooseSaveFile().
    std::deque<std::optional<std::string>> inputs;
    std::deque<int> fileTypes;           // next file types chosen in chooseSaveFile()

    // The texts of the plain messages (not the questions), in order.
    std::vector<std::string> messages() const;
    void clear() { entries.clear(); }

private:
    Dialogs* previous_ = nullptr;
};

}  // namespace korthal
