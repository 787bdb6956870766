#include "platform/message.h"

namespace platform {

Message messageFromFlags(int flags, std::string text, std::string title)
{
    Message m;
    switch (flags & 0x0F) {
    case 1: m.buttons = Buttons::OkCancel; break;
    case 2: m.buttons = Buttons::AbortRetryIgnore; break;
    case 3: m.buttons = Buttons::YesNoCancel; break;
    case 4: m.buttons = Buttons::YesNo; break;
    case 5: m.buttons = Buttons::RetryCancel; break;
    default: m.buttons = Buttons::Ok; break;
    }
    switch (flags & 0x70) {
    case 16: m.icon = Icon::Critical; break;
    case 32: m.icon = Icon::Question; break;
    case 48: m.icon = Icon::Exclamation; break;
    case 64: m.icon = Icon::Information; break;
    default: m.icon = Icon::None; break;
    }
    switch (flags & 0x300) {
    case 256: m.defaultButton = 2; break;
    case 512: m.defaultButton = 3; break;
    default: m.defaultButton = 1; break;
    }
    m.text = std::move(text);
    m.title = std::move(title);
    return m;
}

std::string openDocumentErrorText(int code, const std::string& file)
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
    case 31: return "No association for file extension";
    case 32: return "DLL not found";
    default: return "Unknown error";
    }
}

}  // namespace platform
