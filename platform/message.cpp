#include "platform/message.h"

namespace platform {

namespace {

Message make(Icon icon, std::string text, std::string title)
{
    Message m;
    m.icon = icon;
    m.text = std::move(text);
    m.title = std::move(title);
    return m;
}

}  // namespace

Message critical(std::string text, std::string title) { return make(Icon::Critical, std::move(text), std::move(title)); }
Message information(std::string text, std::string title) { return make(Icon::Information, std::move(text), std::move(title)); }
Message exclamation(std::string text, std::string title) { return make(Icon::Exclamation, std::move(text), std::move(title)); }
Message plain(std::string text, std::string title) { return make(Icon::None, std::move(text), std::move(title)); }

Message question(std::string text, std::string title, Buttons buttons, int defaultButton)
{
    return withButtons(make(Icon::Question, std::move(text), std::move(title)), buttons, defaultButton);
}

Message withButtons(Message message, Buttons buttons, int defaultButton)
{
    message.buttons = buttons;
    message.defaultButton = defaultButton;
    return message;
}

std::string openDocumentError(int code, const std::string& file)
{
    if (code > 32) return {};
    switch (code) {
    case kChosenProgramFailed: return "The program the desktop chose for " + file + " failed to open it.";
    case kOpenerMissing:
        return "The desktop's opener xdg-open is missing, so " + file +
               " cannot be opened.\nInstall it with: sudo apt-get install xdg-utils";
    case 2: return "File not found: " + file;
    case 3: return "Path not found";
    case 5: return "Access denied";
    case 8: return "Out of memory";
    case 11: return "Invalid EXE file or error in EXE image";
    case 26: return "A sharing violation occurred";
    case 27: return "Incomplete or invalid file association";
    case 28: return "DDE Time out";
    case 29: return "DDE transaction failed";
    case 30: return "DDE busy";
    case 31: {
        // The extension the desktop has no program for, as the file's name ends.
        const std::string name = file.substr(file.find_last_of('/') + 1);
        const std::size_t dot = name.find_last_of('.');
        return dot == std::string::npos || dot == 0 ? "No association for file extension (the file name has none)"
                                                    : "No association for file extension \"" + name.substr(dot) + "\"";
    }
    case 32: return "DLL not found";
    default: return "Unknown error";
    }
}

std::string openDocumentErrorText(int code, const std::string& file)
{
    std::string text = openDocumentError(code, file);
    // Every message names the file; those that do not on their own get it on a line below.
    if (!text.empty() && text.find(file) == std::string::npos) text += "\n" + file;
    return text;
}

}  // namespace platform
