// The writers of the frame on a disk that fails mid-write or is full: Save notepad, Save graph
// (bitmap and JPEG) and the rewrite of an edited data file. The old file stays byte for byte,
// no temporary is left, and the message names the file and the reason.
#include "import/frmdatainput.h"
#include "platform/plain_text_edit.h"
#include "tests/app/open_windows.h"
#include "tests/import/modal_script.h"
#include "tests/support/special_targets.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace {

class WriteFaults : public OpenWindows {
protected:
    // Every `parts`-th of the way through `size` bytes, and the last byte.
    static std::vector<std::size_t> breakPoints(std::size_t size, std::size_t parts)
    {
        std::vector<std::size_t> at;
        for (std::size_t n = 0; n < size; n += size / parts + 1) at.push_back(n);
        at.push_back(size - 1);
        return at;
    }
    // The files of the test's folder and its cache, hidden ones included.
    QStringList files(const QString& sub = {}) const
    {
        return QDir(sub.isEmpty() ? dir.path() : path(sub)).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static std::string native(const QString& p) { return QDir::toNativeSeparators(p).toStdString(); }
};

const int kErrors[] = {EIO, ENOSPC};

}  // namespace

TEST_F(WriteFaults, Notepad)
{
    browser->txtNotes->setPlainText(QStringLiteral("Track A, dry\nwind 3 m/s from the west\nrun 2 repeated"));
    const std::size_t size = std::string("Track A, dry\r\nwind 3 m/s from the west\r\nrun 2 repeated").size();
    const std::string old = "older notes";
    const QString target = testfiles::writeFile(dir, "notes.txt", old);
    for (const int error : kErrors) {
        for (const std::size_t n : breakPoints(size, size)) {
            SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n));
            fakes.messages.clear();
            fakes.disk.heal();
            fakes.disk.failWritesAfter(n, error);
            fakes.files.answer(target);
            action(main, "mnuFileSaveNotepad")->trigger();
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            const platform::Message& message = fakes.messages.last();
            EXPECT_EQ(message.text, native(target) + " - file can not be written!\n" + std::strerror(error));
            EXPECT_EQ(message.icon, platform::Icon::Critical);
            EXPECT_EQ(bytesOf(target), old);
            EXPECT_EQ(files(), QStringList{"notes.txt"});
        }
    }
}

TEST_F(WriteFaults, GraphAsBitmapAndAsJpeg)
{
    ASSERT_NE(open(copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"))), nullptr);
    const std::string old = "an older picture";
    for (const int filter : {1, 2}) {
        const QString target = testfiles::writeFile(dir, filter == 1 ? "graph.bmp" : "graph.jpg", old);
        // What a sound disk takes for this picture: the bitmap, and for a JPEG the bitmap first.
        const QString probe = path(filter == 1 ? QStringLiteral("probe.bmp") : QStringLiteral("probe.jpg"));
        fakes.messages.clear();
        fakes.disk.heal();
        fakes.files.answerWithFilter(probe, filter);
        action(main, "mnuFileSaveGraph")->trigger();
        ASSERT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        const std::size_t size = fakes.disk.written;
        QFile::remove(probe);
        for (const int error : kErrors) {
            for (const std::size_t n : breakPoints(size, 9)) {
                SCOPED_TRACE(std::to_string(filter) + " " + std::strerror(error) + " after " + std::to_string(n) + " of " +
                             std::to_string(size));
                fakes.messages.clear();
                fakes.disk.heal();
                fakes.disk.failWritesAfter(n, error);
                fakes.files.answerWithFilter(target, filter);
                action(main, "mnuFileSaveGraph")->trigger();
                ASSERT_EQ(fakes.messages.shown.size(), 1u);
                const platform::Message& message = fakes.messages.last();
                const std::string text = message.text;
                EXPECT_EQ(message.icon, platform::Icon::Critical);
                EXPECT_NE(text.find(native(target)), std::string::npos) << text;
                EXPECT_NE(text.find(std::strerror(error)), std::string::npos) << text;
                EXPECT_EQ(bytesOf(target), old);
                EXPECT_EQ(files().filter(QStringLiteral("graph")).size(), 1);
                EXPECT_EQ(files().filter(QStringLiteral(".graph")).size(), 0);
                EXPECT_TRUE(files(QStringLiteral("cache")).isEmpty());  // no temporary bitmap kept
            }
        }
        QFile::remove(target);
    }
}

TEST_F(WriteFaults, EditedDataFile)
{
    const QString file = copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"));
    const std::string before = bytesOf(file);
    ASSERT_NE(open(file), nullptr);
    ModalScript script;
    script.on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
        auto* f = static_cast<importer::FrmDataInput*>(w);
        f->txtmass->setText(QStringLiteral("1520"));
        for (const int error : kErrors) {
            for (const std::size_t n : breakPoints(before.size(), 12)) {
                SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n));
                fakes.messages.clear();
                fakes.disk.heal();
                fakes.disk.failWritesAfter(n, error);
                f->cmdFinish->click();
                ASSERT_EQ(fakes.messages.shown.size(), 1u);
                const platform::Message& message = fakes.messages.last();
                EXPECT_EQ(message.title, "Editor-Error");
                EXPECT_EQ(message.text, native(file) + " - file can not be written!\n" + std::strerror(error));
                EXPECT_EQ(bytesOf(file), before);
                EXPECT_EQ(files(), QStringList{"small.ctd"});
                EXPECT_TRUE(f->isVisible());  // the edit stays for another try
            }
        }
        fakes.disk.heal();
        f->cmdCancel->click();
    });
    browser->cmdEdit->click();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(bytesOf(file), before);
}

// A FIFO or a write-protected file, or a link to one, is refused before anything is written, as
// root too; through a link, a chain of links or a dangling link the file the last link names is
// written and the links stay. A file of root's is write-protected for an ordinary user; root's
// save of a user's file keeps its owner, group and mode.
TEST_F(WriteFaults, NotepadAndGraphOntoSpecialFilesAndLinks)
{
    ASSERT_NE(open(copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"))), nullptr);
    browser->txtNotes->setPlainText(QStringLiteral("Track A, dry"));
    // The JPEG's bitmap goes to the cache of whoever saves: the ordinary user may write it too.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("cache"))));
    ::chmod(QFile::encodeName(path(QStringLiteral("cache"))).constData(), 01777);
    struct Writer {
        const char* name;
        const char* extension;
        std::function<void(const std::string&)> save;
        std::function<std::string(const std::string&)> firstLine;  // of the writer's message
    };
    const auto cannotWrite = [](const std::string& p) { return p + " - file can not be written!\n"; };
    const auto noJpeg = [](const std::string& p) { return "Error converting image to JPEG, the graph could not be saved!\n" + p + "\n"; };
    const Writer writers[] = {
        {"notepad", ".txt", [&](const std::string& p) { fakes.files.answer(QString::fromStdString(p)); action(main, "mnuFileSaveNotepad")->trigger(); }, cannotWrite},
        {"bitmap", ".bmp", [&](const std::string& p) { fakes.files.answerWithFilter(QString::fromStdString(p), 1); action(main, "mnuFileSaveGraph")->trigger(); }, cannotWrite},
        {"JPEG", ".jpg", [&](const std::string& p) { fakes.files.answerWithFilter(QString::fromStdString(p), 2); action(main, "mnuFileSaveGraph")->trigger(); }, noJpeg},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        const std::string folder = path(QString::fromLatin1(w.name)).toStdString();
        const special_targets::Targets t(folder, w.extension);
        for (const auto& [target, reason] : t.refused()) {
            fakes.messages.clear();
            w.save(target);
            ASSERT_EQ(fakes.messages.shown.size(), 1u) << target;
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            const platform::Message& message = fakes.messages.last();
            const std::string text = message.text;
            EXPECT_EQ(message.icon, platform::Icon::Critical);
            // The writer's own message, the file named, and why it stays on a line of its own.
            EXPECT_EQ(text.rfind(w.firstLine(target), 0), 0u) << text;
            EXPECT_EQ(text.substr(text.rfind('\n') + 1), reason) << text;
        }
        t.expectSpecialFilesKept();
        for (const std::string* through : {&t.link, &t.chain, &t.dangling}) {
            fakes.messages.clear();
            w.save(*through);
            EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
            t.expectWrittenThrough(*through, through == &t.dangling ? t.danglingTarget : t.linked);
        }
        if (special_targets::OwnedTargets::available()) {
            // Root's file saved by an ordinary user in a folder of their own is refused; the
            // user's file saved by root stays the user's.
            const special_targets::OwnedTargets owned(folder, w.extension);
            fakes.messages.clear();
            {
                AsOrdinaryUser user;
                w.save(owned.roots);
            }
            ASSERT_EQ(fakes.messages.shown.size(), 1u);
            const std::string text = fakes.messages.last().text;
            EXPECT_EQ(text.rfind(w.firstLine(owned.roots), 0), 0u) << text;
            EXPECT_EQ(text.substr(text.rfind('\n') + 1), special_targets::OwnedTargets::kRefused) << text;
            owned.expectRootsKept();
            fakes.messages.clear();
            w.save(owned.users);
            EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
            owned.expectUsersReplaced();
        }
        special_targets::Targets::expectNoTemporary(folder);
    }
    EXPECT_EQ(special_targets::slurp(path("notepad/elsewhere/real.txt").toStdString()), "Track A, dry");
}

TEST_F(WriteFaults, EditedDataFileThroughALinkAndOntoAFifo)
{
    const QString file = copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd"));
    const std::string before = bytesOf(file);
    QDir(dir.path()).mkpath(QStringLiteral("links"));
    const QString link = path(QStringLiteral("links/small.ctd"));
    std::filesystem::create_symlink(file.toStdString(), link.toStdString());
    ASSERT_NE(open(link), nullptr);
    const auto edit = [&](const QString& mass) {
        ModalScript script;
        script.on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
            auto* f = static_cast<importer::FrmDataInput*>(w);
            f->txtmass->setText(mass);
            f->cmdFinish->click();
            if (f->isVisible()) f->cmdCancel->click();
        });
        fakes.messages.answers.push_back(platform::Answer::No);  // no reload
        browser->cmdEdit->click();
        EXPECT_TRUE(script.finished());
    };
    edit(QStringLiteral("1520"));
    EXPECT_TRUE(std::filesystem::is_symlink(link.toStdString()));
    EXPECT_NE(bytesOf(file), before);
    EXPECT_NE(bytesOf(file).find("\r\n1520\r\n"), std::string::npos);
    EXPECT_EQ(files(QStringLiteral("links")), QStringList{"small.ctd"});
    EXPECT_EQ(files(), QStringList{"small.ctd"});

    // The file swapped for a FIFO while the form was open: refused, the FIFO stays.
    fakes.messages.clear();
    ModalScript script;
    script.on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
        auto* f = static_cast<importer::FrmDataInput*>(w);
        QFile::remove(file);
        ASSERT_EQ(::mkfifo(file.toStdString().c_str(), 0600), 0);
        f->txtmass->setText(QStringLiteral("1530"));
        fakes.messages.answers.push_back(platform::Answer::Yes);  // overwrite the changed file
        f->cmdFinish->click();
        EXPECT_TRUE(f->isVisible());
        f->cmdCancel->click();
    });
    browser->cmdEdit->click();
    EXPECT_TRUE(script.finished());
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.last().title, "Editor-Error");
    EXPECT_NE(fakes.messages.last().text.find("a named pipe (FIFO), not a regular file; nothing was written."), std::string::npos)
        << fakes.messages.last().text;
    EXPECT_TRUE(std::filesystem::is_fifo(file.toStdString()));
}
