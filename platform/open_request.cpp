#include "platform/open_request.h"

namespace platform {

FileDialogRequest openRequest(OpenFiles what, const QString& folder)
{
    FileDialogRequest r;
    r.dialogName = QStringLiteral("cdlDataimport");
    const bool series = what == OpenFiles::SeriesFile;
    const bool several = what == OpenFiles::SeriesDataFiles;
    r.kind = several ? FileDialogKind::OpenMany : FileDialogKind::Open;
    r.filter = series ? QStringLiteral("TarnwellSeries(*.cts)|*.cts|") : QStringLiteral("TarnwellData(*.ctd)|*.ctd|");
    r.title = several  ? QStringLiteral("Choose CTD-files for series")
              : series ? QStringLiteral("Choose CTS-file to open...")
                       : QStringLiteral("Choose CTD-file to open...");
    r.initialDir = folder;
    return r;
}

std::optional<QString> askFileToOpen(OpenFiles what, QWidget* parent)
{
    const std::optional<QStringList> chosen = fileDialogs().ask(openRequest(what), parent);
    if (!chosen || chosen->isEmpty() || chosen->first().isEmpty()) return std::nullopt;
    return chosen->first();
}

}  // namespace platform
