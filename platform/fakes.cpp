#include "platform/fakes.h"

#include <QFileInfo>

#include <algorithm>

namespace platform {

Answer ScriptedMessages::show(const Message& message, QWidget*)
{
    shown.push_back(message);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (message.buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel: return Answer::Ok;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::YesNoCancel:
    case Buttons::YesNo: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Retry;
    }
    return Answer::Ok;
}

std::optional<QStringList> ScriptedFileDialogs::ask(const FileDialogRequest& request, QWidget*)
{
    requests.push_back(request);
    starts.push_back(fileDialogStart(request, folders.value(request.dialogName)));
    for (;;) {
        if (answers.empty()) return std::nullopt;
        std::optional<QStringList> a = answers.front();
        answers.pop_front();
        const size_t number = answered++;
        if (!a || a->isEmpty()) return std::nullopt;
        const int filterIndex = chosenFilters.value(number, request.filterIndex);
        // As a real save dialog answers: the default suffix added, the overwrite question asked.
        if (request.kind == FileDialogKind::Save) {
            const std::optional<QString> target = saveTarget(request, a->front(), filterIndex, nullptr);
            if (!target) continue;  // declined: the dialog takes the next answer
            a->front() = *target;
        }
        const QFileInfo first(a->front());
        folders[request.dialogName] = first.absolutePath();
        files[request.dialogName] = first.fileName();
        filterIndexes[request.dialogName] = filterIndex;
        return a;
    }
}

std::optional<QColor> ScriptedColorDialog::ask(const QColor& initial, QWidget*)
{
    requests.push_back(initial);
    if (answers.empty()) return std::nullopt;
    const std::optional<QColor> a = answers.front();
    answers.pop_front();
    return a;
}

QVariant MemorySettings::value(const QString& section, const QString& key, const QVariant& fallback) const
{
    return values.value(section + QLatin1Char('/') + key, fallback);
}

void MemorySettings::setValue(const QString& section, const QString& key, const QVariant& value)
{
    values[section + QLatin1Char('/') + key] = value;
}

bool MemorySettings::contains(const QString& section, const QString& key) const
{
    return values.contains(section + QLatin1Char('/') + key);
}

int ScriptedShell::openDocument(const QString& path, const std::function<void(int)>&)
{
    opened << path;
    if (!results.empty()) {
        const int r = results.front();
        results.pop_front();
        return r;
    }
    return result;
}

int FaultyDisk::openForReading(const char* path)
{
    const auto it = unreadable.find(path);
    if (it != unreadable.end()) {
        errno = it->second;
        return -1;
    }
    return Disk::openForReading(path);
}

ssize_t FaultyDisk::write(int fd, const void* data, std::size_t size)
{
    if (writeLimit) {
        const std::size_t room = written < *writeLimit ? *writeLimit - written : 0;
        if (room == 0) {
            ++failedWrites;
            errno = writeError;
            return -1;
        }
        size = std::min(size, room);
    }
    const ssize_t n = Disk::write(fd, data, size);
    if (n > 0) written += static_cast<std::size_t>(n);
    return n;
}

int FaultyDisk::sync(int fd)
{
    if (whileWriting) whileWriting();
    if (syncError) {
        errno = syncError;
        return -1;
    }
    return Disk::sync(fd);
}

int FaultyDisk::rename(int folder, const char* from, const char* to)
{
    if (renameError) {
        errno = renameError;
        return -1;
    }
    return Disk::rename(folder, from, to);
}

ScopedFakes::ScopedFakes()
{
    setMessageService(&messages);
    setFileDialogService(&files);
    setColorDialogService(&colors);
    setSettingsService(&settings);
    setClipboardService(&clipboard);
    setShellService(&shell);
    setDisk(&disk);
}

ScopedFakes::~ScopedFakes()
{
    setMessageService(nullptr);
    setFileDialogService(nullptr);
    setColorDialogService(nullptr);
    setSettingsService(nullptr);
    setClipboardService(nullptr);
    setShellService(nullptr);
    setDisk(nullptr);
}

}  // namespace platform
