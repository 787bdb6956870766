#pragma once
// Messages for the result codes of opening a document with its associated program.
// Standard library only.
#include <string>

namespace app {

// The message for a failed open (code 32 or less); empty for a success (above 32).
std::string documentOpenError(int code);

}  // namespace app
