#pragma once
// File > Save > Save graph... and Save notepad...: the active analysis window's diagram as a
// BMP or JPEG image, and the data browser's notes as a text file.
#include "platform/textfile.h"

#include <QImage>
#include <QString>

#include <functional>

namespace app {

// Result codes of SaveObjImageAsJPEG.
enum JpegResult : int {
    JpegWritten = 0,       // also when the final check failed (the user was told, the bitmap kept)
    JpegBadTarget = 1,     // path ends in "/", is 3 characters or shorter, or its folder takes no new file
    JpegNoBitmap = 2,      // the temporary bitmap is not a bitmap file (or could not be written)
    JpegUnreadable = 3,    // the temporary bitmap could not be read back
    JpegNotConverted = 4,  // the JPEG could not be written
};

// The image components the JPEG export goes through, replaceable in tests. The defaults are
// the platform's image export.
struct ImageComponents {
    std::function<bool(const QString& path)> isBmpFile;
    std::function<QImage(const QString& path)> readDib;
    std::function<platform::WriteResult(const QString& path, const QImage& dib)> convertDibToJpg;
    std::function<bool(const QString& path)> isJpgFile;
};
ImageComponents& imageComponents();

// The folder of the bitmap the JPEG export passes through: the user's own cache folder. Each
// export makes a bitmap of a fresh name there ("TW_Temp-XXXXXX.BMP"), exclusively, and removes
// it afterwards; it is kept (and named to the user) only when the JPEG fails its final check.
QString temporaryBitmapFolder();
void setTemporaryBitmapFolder(const QString& folder);  // tests; empty restores the default

// Writes the picture as a JPEG at `path` by way of the temporary bitmap. `reason` receives why
// a code other than 0 came back.
int SaveObjImageAsJPEG(const QImage& picture, const QString& path, QString* reason = nullptr);
// True when the folder exists and a new file can be created in it; files there stay untouched.
bool PathExist(const QString& folder);

void saveGraph();
// True when the notes were written (not when the dialog was cancelled or the write failed).
bool saveNotes();

}  // namespace app
