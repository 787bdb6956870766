#pragma once
// How the program asks the shared dialog cdlDataimport for files to open: one data file, one
// series file, or the data files of a new series.
#include "platform/services.h"

#include <optional>

namespace platform {

enum class OpenFiles {
    DataFile,         // "Choose CTD-file to open..."
    SeriesFile,       // "Choose CTS-file to open..."
    SeriesDataFiles,  // several at once, "Choose CTD-files for series"
};

// The request: files that exist (the dialog takes no other), no file name proposed. Without a
// folder the dialog starts where it was left; with one it starts there.
FileDialogRequest openRequest(OpenFiles what, const QString& folder = {});

// Asks for one file to open: its path, or nothing when the user cancelled or the dialog gave
// no path.
std::optional<QString> askFileToOpen(OpenFiles what, QWidget* parent);

}  // namespace platform
