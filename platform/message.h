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

// Builds a message from the classic flag word: buttons in the low nibble (0 OK, 1 OK/Cancel,
// 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), icon 16 critical,
// 32 question, 48 exclamation, 64 information, default button 256/512; 4096 (system modal) is
// shown application-modal.
Message messageFromFlags(int flags, std::string text, std::string title = {});

// Failures of the desktop's opener that the shell's classic codes have none for; like those,
// they are 32 or less.
inline constexpr int kChosenProgramFailed = -4;  // the opener started the file's program, which failed
inline constexpr int kOpenerMissing = -31;       // there is no opener (xdg-open) to hand the file to

// The message for a failed open of `file` with its associated program (result code 32 or less,
// see ShellService); empty for a success (above 32).
std::string openDocumentErrorText(int code, const std::string& file);

}  // namespace platform
