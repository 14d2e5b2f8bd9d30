#pragma once
// How the computation core talks to the user without showing anything itself.
//
// The libraries report their messages (exact texts, UTF-8) and ask their
// questions through the one Dialogs object installed for the process. The
// desktop program installs one that shows message boxes; tests install a
// RecordingDialogs that keeps every message and answers from a script; the
// command-line tool writes messages to stderr.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korthal {

enum class MsgIcon { None, Exclamation, Warning, Information, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

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

    std::vector<Entry> entries;          // messages and questions, in order
    std::deque<Answer> answers;          // next answers to ask(); empty: No
    std::deque<std::optional<std::string>> inputs;  // next answers to input()/chooseFile()

    // The texts of the plain messages (not the questions), in order.
    std::vector<std::string> messages() const;
    void clear() { entries.clear(); }

private:
    Dialogs* previous_ = nullptr;
};

}  // namespace korthal
