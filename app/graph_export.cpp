#include "app/graph_export.h"

#include "app/frame.h"
#include "frame_api/analysis_window_api.h"
#include "platform/plain_text_edit.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {
namespace {

QString gTemporaryBitmapFolder;

platform::FileDialogRequest saveRequest(const char* title, const char* filter, const char* name, int filterIndex)
{
    platform::FileDialogRequest r;
    r.dialogName = QStringLiteral("cdlDataimport");
    r.kind = platform::FileDialogKind::Save;
    r.title = QLatin1String(title);
    r.filter = QLatin1String(filter);
    r.fileName = QLatin1String(name);
    r.filterIndex = filterIndex;
    r.suffixFromFilter = true;
    return r;
}

void critical(const QString& text) { platform::showMessage(platform::critical(text.toStdString()), mainWindow()); }

QString cannotWrite(const QString& path, const QString& reason)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(" - file can not be written!\n") + reason;
}

}  // namespace

ImageComponents& imageComponents()
{
    static ImageComponents components{
        [](const QString& path) { return platform::isImageFile(path, "BMP"); },
        [](const QString& path) { return platform::readImage(path, "BMP"); },
        [](const QString& path, const QImage& dib) {
            QString error;
            platform::WriteResult r;
            r.ok = platform::saveImage(dib, path, "JPEG", &error);
            r.error = error.toStdString();
            return r;
        },
        [](const QString& path) { return platform::isImageFile(path, "JPEG"); },
    };
    return components;
}

QString temporaryBitmapFolder()
{
    if (!gTemporaryBitmapFolder.isEmpty()) return gTemporaryBitmapFolder;
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

void setTemporaryBitmapFolder(const QString& folder) { gTemporaryBitmapFolder = folder; }

bool PathExist(const QString& folder)
{
    if (folder.isEmpty()) return false;
    return platform::folderAcceptsNewFile(QFile::encodeName(QDir::fromNativeSeparators(folder)).toStdString());
}

int SaveObjImageAsJPEG(const QImage& picture, const QString& path, QString* reason)
{
    auto fail = [reason](int code, const QString& why) {
        if (reason) *reason = why;
        return code;
    };
    const QString target = QDir::fromNativeSeparators(path);
    if (target.endsWith(QLatin1Char('/')) || target.size() <= 3) return fail(JpegBadTarget, QStringLiteral("The name is no file name."));
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QString() : target.left(slash);
    if (folder.isEmpty() && slash == 0) folder = QStringLiteral("/");  // a file in the root folder
    if (!PathExist(folder))
        return fail(JpegBadTarget, QStringLiteral("No new file can be created in the folder %1.").arg(QDir::toNativeSeparators(folder)));

    // The bitmap gets a name of its own for this export, made exclusively: a link planted in the
    // folder is never written through, and two programs exporting at once never share it.
    const QString folderOfBitmap = temporaryBitmapFolder();
    QDir().mkpath(folderOfBitmap);
    QByteArray encoded;
    QString error;
    if (!platform::encodeImage(picture, "BMP", encoded, &error))
        return fail(JpegNoBitmap, QStringLiteral("The temporary bitmap could not be made: %1").arg(error));
    std::string made;
    const platform::WriteResult temporary =
        platform::writeNewFile(QFile::encodeName(folderOfBitmap).toStdString(), "TW_Temp-", ".BMP",
                               std::string_view(encoded.constData(), static_cast<std::size_t>(encoded.size())), made);
    if (!temporary.ok)
        return fail(JpegNoBitmap, QStringLiteral("The temporary bitmap could not be written: %1").arg(QString::fromStdString(temporary.error)));
    const QString bitmap = QFile::decodeName(QByteArray::fromStdString(made));
    const QString shownBitmap = QDir::toNativeSeparators(bitmap);
    // A failed export keeps no bitmap; only a JPEG that fails its final check leaves it for the user.
    auto failKeepingNoBitmap = [&](int code, const QString& why) {
        QFile::remove(bitmap);
        return fail(code, why);
    };
    const ImageComponents& c = imageComponents();
    if (!c.isBmpFile(bitmap))
        return failKeepingNoBitmap(JpegNoBitmap, QStringLiteral("The temporary bitmap %1 is no bitmap file.").arg(shownBitmap));
    const QImage dib = c.readDib(bitmap);
    if (dib.isNull())
        return failKeepingNoBitmap(JpegUnreadable, QStringLiteral("The temporary bitmap %1 could not be read.").arg(shownBitmap));
    const platform::WriteResult written = c.convertDibToJpg(target, dib);
    if (!written.ok) return failKeepingNoBitmap(JpegNotConverted, QString::fromStdString(written.error));

    if (c.isJpgFile(target)) QFile::remove(bitmap);
    else
        platform::showMessage(
            platform::plain(QStringLiteral("JPEG compression did not succeed. A copy of it was saved in '%1'.").arg(shownBitmap).toStdString()),
            mainWindow());
    if (reason) reason->clear();
    return JpegWritten;
}

void saveGraph()
{
    MainWindow* main = mainWindow();
    frame::AnalysisWindowApi* window = main->activeAnalysisWindow();
    QWidget* picture = window ? window->windowWidget()->findChild<QWidget*>(QStringLiteral("picdiagram")) : nullptr;
    if (!picture) return;  // the active child has no diagram: nothing to write, nothing to say

    // The shared dialog offers the filter its last answer chose, as the one control it is.
    const int lastFilter = platform::fileDialogs().lastFilterIndex(QStringLiteral("cdlDataimport"));
    platform::FileDialogRequest request = saveRequest("Save graph as...", "Bitmap(*.bmp)|*.bmp|JPEG Image (*.jpg) |*.jpg|", "Graph", lastFilter);
    request.typedSuffixes = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg")};
    const auto chosen = platform::fileDialogs().ask(request, main);
    if (!chosen || chosen->isEmpty()) {
        platform::showMessage(platform::information("Graph could not be saved!"), main);
        return;
    }
    const QString path = chosen->front();
    // The diagram as last drawn, the overflow picture included.
    const QImage image = window->editPicture(picture);
    // The content follows the extension: a typed ".bmp" or ".jpg" decides over the filter kept
    // from the last export; the filter only chose the extension of a name typed without one.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool jpeg = suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
                      (suffix != QLatin1String("bmp") && platform::fileDialogs().lastFilterIndex(QStringLiteral("cdlDataimport")) == 2);
    if (jpeg) {
        QString reason;
        if (SaveObjImageAsJPEG(image, path, &reason) != JpegWritten)
            critical(QStringLiteral("Error converting image to JPEG, the graph could not be saved!\n%1\n%2")
                         .arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    QString error;
    if (!platform::saveImage(image, path, "BMP", &error)) critical(cannotWrite(path, error));
}

bool saveNotes()
{
    MainWindow* main = mainWindow();
    const auto chosen = platform::fileDialogs().ask(saveRequest("Save notepad as...", "Textfile(*.txt)|*.txt|", "Notepad", 1), main);
    if (!chosen || chosen->isEmpty()) {
        platform::showMessage(platform::information("Notepad could not be saved!"), main);
        return false;
    }
    const QString path = chosen->front();
    // The text as typed, with the platform's line ends and no line end added after it: in
    // Windows-1252, or in UTF-8 when it holds letters Windows-1252 has not.
    QString text = main->dataBrowser()->txtNotes->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const platform::WriteResult written = platform::writeFileAtomic(QFile::encodeName(path).toStdString(), platform::encodeForReaders(text.toStdString()));
    if (!written.ok) critical(cannotWrite(path, QString::fromStdString(written.error)));
    return written.ok;
}

}  // namespace app
