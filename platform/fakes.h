#pragma once
// Scripted stand-ins for the desktop services, for tests. Install them one by one with the
// platform::set...Service functions, or all at once with ScopedFakes.
//
//   platform::ScopedFakes fakes;
//   fakes.messages.answers.push_back(platform::Answer::No);   // next message box answers No
//   fakes.files.answer("/tmp/a.ctd");                         // next file dialog picks a file
//   fakes.files.cancel();                                     // the one after is cancelled
//   ... run the command ...
//   EXPECT_EQ(fakes.messages.shown.size(), 1u);
//   EXPECT_EQ(fakes.messages.shown[0].text, "...");
#include "platform/services.h"
#include "platform/textfile.h"

#include <QHash>
#include <QMap>

#include <cerrno>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Records every message shown. Answers come from the queue; when it is empty the first button
// of the box answers (Ok, Abort, Yes or Retry).
class ScriptedMessages final : public MessageService {
public:
    Answer show(const Message& message, QWidget* parent = nullptr) override;

    std::vector<Message> shown;
    std::deque<Answer> answers;

    const Message& last() const { return shown.back(); }  // precondition: something was shown
    void clear() { shown.clear(); answers.clear(); }
};

// Answers file dialogs from a queue; an empty queue cancels. Every request is recorded with the
// folder and file name the real dialog would start with, and the last folder and file name per
// dialog name are kept as the real dialogs keep them. A save answer goes through saveTarget as
// a real one does: a declined overwrite question takes the next answer.
class ScriptedFileDialogs final : public FileDialogService {
public:
    std::optional<QStringList> ask(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    QString lastFolder(const QString& dialogName) const override { return folders.value(dialogName); }
    QString lastFileName(const QString& dialogName) const override { return files.value(dialogName); }
    int lastFilterIndex(const QString& dialogName) const override { return filterIndexes.value(dialogName, 1); }

    void answer(const QString& path) { answers.push_back(QStringList{path}); }
    // Picks a file with the given filter (1-based) chosen, as a save dialog with several types.
    void answerWithFilter(const QString& path, int filterIndex)
    {
        answers.push_back(QStringList{path});
        chosenFilters[answers.size() - 1 + answered] = filterIndex;
    }
    void answerMany(const QStringList& paths) { answers.push_back(paths); }
    void cancel() { answers.push_back(std::nullopt); }

    std::vector<FileDialogRequest> requests;
    std::vector<FileDialogStart> starts;  // one per request
    std::deque<std::optional<QStringList>> answers;
    QHash<QString, QString> folders;
    QHash<QString, QString> files;
    QHash<QString, int> filterIndexes;

private:
    size_t answered = 0;              // answers taken so far
    QHash<size_t, int> chosenFilters;  // by the running number of the answer
};

// Answers colour dialogs from a queue; an empty queue cancels.
class ScriptedColorDialog final : public ColorDialogService {
public:
    std::optional<QColor> ask(const QColor& initial, QWidget* parent = nullptr) override;

    std::vector<QColor> requests;  // the initial colour of each call
    std::deque<std::optional<QColor>> answers;
};

// A settings store in memory, keyed "section/key".
class MemorySettings final : public SettingsService {
public:
    QVariant value(const QString& section, const QString& key, const QVariant& fallback = {}) const override;
    void setValue(const QString& section, const QString& key, const QVariant& value) override;

    bool contains(const QString& section, const QString& key) const;
    QMap<QString, QVariant> values;
};

// A clipboard in memory: setting text drops the picture and the other way round, as the
// desktop clipboard does.
class MemoryClipboard final : public ClipboardService {
public:
    QString text() const override { return text_; }
    bool hasText() const override { return !text_.isEmpty(); }
    void setText(const QString& text) override { text_ = text; image_ = QImage(); }
    QImage image() const override { return image_; }
    void setImage(const QImage& image) override { image_ = image; text_.clear(); }
    void clear() override { text_.clear(); image_ = QImage(); }

private:
    QString text_;
    QImage image_;
};

// Records every document opened and answers with `result` (default: success, 42), or with the
// next queued code; it reports nothing later.
class ScriptedShell final : public ShellService {
public:
    int openDocument(const QString& path, const std::function<void(int)>& lateFailure) override;

    QStringList opened;
    std::deque<int> results;
    int result = 42;
};

// A disk that fails where a test says; otherwise it is the real disk underneath.
//   disk.failWritesAfter(100);            // the disk breaks after 100 bytes (EIO)
//   disk.failWritesAfter(100, ENOSPC);    // the disk is full after 100 bytes
//   disk.unreadable["/tmp/a.ctd"] = EACCES;  // no read permission, even for root
//   disk.whileWriting = [] { ... };       // swaps the target while a save writes it
// Writes up to the limit go through (a short write), then every write fails with the error.
class FaultyDisk final : public Disk {
public:
    void failWritesAfter(std::size_t bytes, int error = EIO)
    {
        writeLimit = bytes;
        writeError = error;
    }
    void heal() { *this = FaultyDisk(); }

    int openForReading(const char* path) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int sync(int fd) override;
    int rename(int folder, const char* from, const char* to) override;

    std::optional<std::size_t> writeLimit;
    int writeError = EIO;
    int syncError = 0;    // fsync fails with it (a full disk often shows only there)
    int renameError = 0;
    std::function<void()> whileWriting;     // runs once the bytes are written, before the rename
    std::map<std::string, int> unreadable;  // path -> errno of opening it
    std::size_t written = 0;                // bytes that went through
    int failedWrites = 0;
};

// Installs every fake for its lifetime and puts the Qt services back afterwards.
class ScopedFakes {
public:
    ScopedFakes();
    ~ScopedFakes();
    ScopedFakes(const ScopedFakes&) = delete;
    ScopedFakes& operator=(const ScopedFakes&) = delete;

    ScriptedMessages messages;
    ScriptedFileDialogs files;
    ScriptedColorDialog colors;
    MemorySettings settings;
    MemoryClipboard clipboard;
    ScriptedShell shell;
    FaultyDisk disk;  // healthy until a test breaks it
};

}  // namespace platform
