// The writers of the frame on a disk that fails mid-write or is full: Save notepad, Save graph
// (bitmap and JPEG) and the rewrite of an edited data file. The old file stays byte for byte,
// no temporary is left, and the message names the file and the reason.
#include "import/frmdatainput.h"
#include "platform/plain_text_edit.h"
#include "tests/app/open_windows.h"
#include "tests/import/modal_script.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

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
    const platform::Message& onlyMessage()
    {
        EXPECT_EQ(fakes.messages.shown.size(), 1u);
        return fakes.messages.last();
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
            main->mnuFileSaveNotepad->trigger();
            EXPECT_EQ(onlyMessage().text, native(target) + " - file can not be written!\n" + std::strerror(error));
            EXPECT_EQ(onlyMessage().icon, platform::Icon::Critical);
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
        main->mnuFileSaveGraph->trigger();
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
                main->mnuFileSaveGraph->trigger();
                const std::string text = onlyMessage().text;
                EXPECT_EQ(onlyMessage().icon, platform::Icon::Critical);
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
                EXPECT_EQ(onlyMessage().title, "Editor-Error");
                EXPECT_EQ(onlyMessage().text, native(file) + " - file can not be written!\n" + std::strerror(error));
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
