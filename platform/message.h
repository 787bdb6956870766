#pragma once
// A message for the user, as the cores return it and the widgets show it. Standard library only.
#include <string>

namespace platform {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// The answers carry the classic result numbers, so code that compares them reads as given.
enum class Answer { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    std::string title;  // empty: the application title "Tarnwell"
    std::string text;   // UTF-8; lines separated by "\n"
    int defaultButton = 1;  // 1, 2 or 3

    bool operator==(const Message&) const = default;
};

// A message of each kind: its icon, its buttons (OK where none are given) and the button Enter
// presses (1, 2 or 3). Boxes are application-modal.
Message critical(std::string text, std::string title = {});
Message information(std::string text, std::string title = {});
Message exclamation(std::string text, std::string title = {});
Message plain(std::string text, std::string title = {});  // no icon
Message question(std::string text, std::string title, Buttons buttons, int defaultButton = 1);
Message withButtons(Message message, Buttons buttons, int defaultButton = 1);

// Failures of the desktop's opener that the shell's classic codes have none for; like those,
// they are 32 or less.
inline constexpr int kChosenProgramFailed = -4;  // the opener started the file's program, which failed
inline constexpr int kOpenerMissing = -31;       // there is no opener (xdg-open) to hand the file to

// What went wrong when `file` was to be opened with its associated program (result code 32 or
// less, see ShellService), as one line; empty for a success (above 32).
std::string openDocumentError(int code, const std::string& file);
// The same, with the file named on a line of its own where that line does not name it.
std::string openDocumentErrorText(int code, const std::string& file);

}  // namespace platform
