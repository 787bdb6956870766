#pragma once
// The desktop services the program needs, each a small interface with a Qt implementation
// (the default) and a scripted fake for tests (platform/fakes.h). Widgets reach every modal
// dialog through here, so no test ever shows a real one.
#include "platform/message.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual Answer show(const Message& message, QWidget* parent = nullptr) = 0;
};

enum class FileDialogKind { Open, OpenMany, Save };

struct FileDialogRequest {
    QString dialogName;     // "cdlDataimport", "cdltxtinput", "dlgCreatectd", ...
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString filter;         // classic form "Data files (*.ctd)|*.ctd|All files|*.*|"
    int filterIndex = 1;    // 1-based
    QString fileName;       // proposed file name (empty: none)
    QString initialDir;     // empty: the dialog's last folder
    QString defaultSuffix;  // save: added (without dot here) to a name typed without an extension
    bool suffixFromFilter = false;  // save: the chosen filter's extension is the default suffix
    QStringList typedSuffixes;      // save: when set, only these extensions count as typed ones
};

// Where a named dialog starts: in the request's folder, else in the folder it was left in last
// (one named dialog serves several commands, so the folder carries over between them), with
// the request's file name only: a name picked for one command is never proposed to another.
struct FileDialogStart {
    QString folder;
    QString fileName;
};
FileDialogStart fileDialogStart(const FileDialogRequest& request, const QString& lastFolder);

// The file a save dialog's answer names. A name typed without an extension gets the default
// suffix; an extension is a last dot followed by letters and digits, at least one a letter, so
// a project name such as "Run 12.03.2024" still gets one. With typedSuffixes only those count,
// any other name gets the suffix as well. filterIndex is the chosen filter (1-based).
QString completedSaveName(const FileDialogRequest& request, const QString& chosen, int filterIndex);
// completedSaveName, asking before an existing file is replaced under a name the dialog did not
// show; std::nullopt when the user declines (the dialog then asks again). Every file dialog
// service runs its save answers through it.
std::optional<QString> saveTarget(const FileDialogRequest& request, const QString& chosen, int filterIndex, QWidget* parent);

// Each named dialog remembers its last folder and file name between calls.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Absolute paths chosen; std::nullopt when cancelled (callers end silently).
    virtual std::optional<QStringList> ask(const FileDialogRequest& request, QWidget* parent = nullptr) = 0;
    virtual QString lastFolder(const QString& dialogName) const = 0;
    virtual QString lastFileName(const QString& dialogName) const = 0;
    // The filter (1-based) chosen in the dialog's last answered call; 1 when none.
    virtual int lastFilterIndex(const QString& dialogName) const
    {
        (void)dialogName;
        return 1;
    }
};

class ColorDialogService {
public:
    virtual ~ColorDialogService() = default;
    virtual std::optional<QColor> ask(const QColor& initial, QWidget* parent = nullptr) = 0;
};

// Per-user settings store (organisation and application "Tarnwell").
class SettingsService {
public:
    virtual ~SettingsService() = default;
    virtual QVariant value(const QString& section, const QString& key, const QVariant& fallback = {}) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QVariant& value) = 0;
};

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    virtual QString text() const = 0;
    virtual bool hasText() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual QImage image() const = 0;
    virtual void setImage(const QImage& image) = 0;
    virtual void clear() = 0;
};

// Opens a document with its associated program. Result codes as the classic shell call gives
// them: 2 file not found, 3 folder not found, 5 access denied, 31 no associated program,
// 0 any other failure, a value above 32 when the opener started; and two it has none for,
// kOpenerMissing and kChosenProgramFailed (platform/message.h). What the opener reports after
// it started comes later, through `lateFailure` with the code of its failure.
class ShellService {
public:
    virtual ~ShellService() = default;
    virtual int openDocument(const QString& path, const std::function<void(int code)>& lateFailure) = 0;
};

MessageService& messages();
FileDialogService& fileDialogs();
ColorDialogService& colorDialog();
SettingsService& settings();
ClipboardService& clipboard();
ShellService& shell();

// Replace a service (tests); nullptr restores the Qt implementation. The caller keeps ownership.
void setMessageService(MessageService* service);
void setFileDialogService(FileDialogService* service);
void setColorDialogService(ColorDialogService* service);
void setSettingsService(SettingsService* service);
void setClipboardService(ClipboardService* service);
void setShellService(ShellService* service);

// Shorthands.
Answer showMessage(const Message& message, QWidget* parent = nullptr);
// The code known at once; a failure the opener reports later goes to `lateFailure`, by default
// the critical message of openDocumentErrorText for the path.
int openDocument(const QString& path, std::function<void(int code)> lateFailure = {});

// The program the Qt shell service hands a document to, with the path as its one argument:
// "xdg-open" from the PATH unless set (tests; empty restores it). A failure the opener reports
// within verdictMs of its start is passed on; after that the opener is taken to be serving the
// program it started, whose exit says nothing about the opening.
constexpr int kOpenerVerdictMs = 60000;
void setDocumentOpener(const QString& program, int verdictMs = kOpenerVerdictMs);
int documentOpenersRunning();  // openers started and not yet ended

// "Data files (*.ctd)|*.ctd|All files|*.*|" -> "Data files (*.ctd);;All files (*.*)"
QString qtFilterFromClassic(const QString& classic);

// The bytes of a picture in the format "BMP" or "JPEG" (at the image writer's default quality),
// transparency flattened onto white; false (with error) when it cannot be encoded.
bool encodeImage(const QImage& image, const char* format, QByteArray& bytes, QString* error = nullptr);
// Image export: format "BMP" or "JPEG" (at the image writer's default quality), written
// atomically. False (with error) when it could not be written; the old file then stays.
bool saveImage(const QImage& image, const QString& path, const char* format, QString* error = nullptr);
// True when the file holds a readable image of the format ("BMP", "JPEG"), judged by its content.
bool isImageFile(const QString& path, const char* format);
// The image of a file of the format; a null image when it is none.
QImage readImage(const QString& path, const char* format);

}  // namespace platform
