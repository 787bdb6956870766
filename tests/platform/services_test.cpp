#include "platform/fakes.h"
#include "platform/plain_text_edit.h"
#include "platform/services.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_opener.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

#include <unistd.h>

using namespace platform;

TEST(ClassicFilter, BecomesQtFilter)
{
    struct Case {
        const char* classic;
        const char* qt;
    };
    const Case cases[] = {
        {"Data files (*.ctd)|*.ctd|All files|*.*|", "Data files (*.ctd);;All files (*.*)"},
        {"Bitmap(*.bmp)|*.bmp|JPEG Image (*.jpg) |*.jpg|", "Bitmap(*.bmp);;JPEG Image (*.jpg)"},
        {"Textfile(*.txt)|*.txt|", "Textfile(*.txt)"},
        {"Text|*.txt;*.dat", "Text (*.txt *.dat)"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(qtFilterFromClassic(QString::fromUtf8(c.classic)), QString::fromUtf8(c.qt)) << c.classic;
}

TEST(Fakes, ScopedFakesInstallAndRestore)
{
    {
        ScopedFakes fakes;
        EXPECT_EQ(&messages(), &fakes.messages);
        EXPECT_EQ(&settings(), &fakes.settings);
        fakes.messages.answers.push_back(Answer::No);
        EXPECT_EQ(showMessage(question("Reload?", "Editor-Error", Buttons::YesNo)), Answer::No);
        EXPECT_EQ(showMessage(withButtons(plain("Again?"), Buttons::YesNo)), Answer::Yes);  // empty queue: first button
        EXPECT_EQ(showMessage(withButtons(plain("Retry?"), Buttons::RetryCancel)), Answer::Retry);
        ASSERT_EQ(fakes.messages.shown.size(), 3u);
        EXPECT_EQ(fakes.messages.shown[0].title, "Editor-Error");
        EXPECT_EQ(fakes.messages.shown[0].icon, Icon::Question);

        fakes.files.answer(QStringLiteral("/data/run1.ctd"));
        FileDialogRequest r;
        r.dialogName = QStringLiteral("cdlDataimport");
        const auto chosen = fileDialogs().ask(r);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->front(), QStringLiteral("/data/run1.ctd"));
        EXPECT_EQ(fileDialogs().lastFolder(QStringLiteral("cdlDataimport")), QStringLiteral("/data"));
        EXPECT_EQ(fileDialogs().lastFileName(QStringLiteral("cdlDataimport")), QStringLiteral("run1.ctd"));
        EXPECT_FALSE(fileDialogs().ask(r).has_value());  // empty queue cancels
        EXPECT_EQ(fakes.files.requests.size(), 2u);

        // The chosen filter: the proposed one unless the script picks another.
        r.filterIndex = 1;
        fakes.files.answer(QStringLiteral("/out/Graph.bmp"));
        fakes.files.answerWithFilter(QStringLiteral("/out/Graph.jpg"), 2);
        fileDialogs().ask(r);
        EXPECT_EQ(fileDialogs().lastFilterIndex(QStringLiteral("cdlDataimport")), 1);
        fileDialogs().ask(r);
        EXPECT_EQ(fileDialogs().lastFilterIndex(QStringLiteral("cdlDataimport")), 2);
        EXPECT_EQ(fileDialogs().lastFilterIndex(QStringLiteral("dlgCreatectd")), 1);

        fakes.clipboard.setText(QStringLiteral("x"));
        fakes.clipboard.setImage(QImage(2, 2, QImage::Format_RGB32));
        EXPECT_FALSE(clipboard().hasText());
    }
    EXPECT_EQ(dynamic_cast<ScriptedMessages*>(&messages()), nullptr);
    EXPECT_EQ(dynamic_cast<MemorySettings*>(&settings()), nullptr);
}

TEST(SaveDialog, ANameTypedWithoutExtensionGetsTheDefault)
{
    FileDialogRequest ctd;
    ctd.kind = FileDialogKind::Save;
    ctd.defaultSuffix = QStringLiteral("ctd");
    FileDialogRequest graph;
    graph.kind = FileDialogKind::Save;
    graph.filter = QStringLiteral("Bitmap(*.bmp)|*.bmp|JPEG Image (*.jpg) |*.jpg|");
    graph.suffixFromFilter = true;
    graph.typedSuffixes = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg")};
    FileDialogRequest open = ctd;
    open.kind = FileDialogKind::Open;
    struct Case {
        const FileDialogRequest* request;
        int filter;
        const char* typed;
        const char* saved;
    };
    const Case cases[] = {
        {&ctd, 1, "/d/Project", "/d/Project.ctd"},
        {&ctd, 1, "/d/run.CTD", "/d/run.CTD"},
        {&ctd, 1, "/d/run.txt", "/d/run.txt"},             // an extension of the user's own
        {&ctd, 1, "/d/run.v2", "/d/run.v2"},
        {&ctd, 1, "/d/Run 12.03.2024", "/d/Run 12.03.2024.ctd"},  // a date is no extension
        {&ctd, 1, "/d/Golf 1.4 TSI", "/d/Golf 1.4 TSI.ctd"},
        {&ctd, 1, "/d/notes.", "/d/notes.ctd"},
        {&ctd, 1, "/d/.hidden", "/d/.hidden.ctd"},
        {&ctd, 1, "/d.x/Project", "/d.x/Project.ctd"},      // a dot in the folder counts not
        {&open, 1, "/d/Project", "/d/Project"},
        {&graph, 2, "/d/g3.bmp", "/d/g3.bmp"},
        {&graph, 1, "/d/g4.JPG", "/d/g4.JPG"},
        {&graph, 1, "/d/g5.jpeg", "/d/g5.jpeg"},
        {&graph, 2, "/d/Graph", "/d/Graph.jpg"},
        {&graph, 1, "/d/Graph", "/d/Graph.bmp"},
        {&graph, 1, "/d/g.png", "/d/g.png.bmp"},  // the content must match the extension
    };
    for (const Case& c : cases)
        EXPECT_EQ(completedSaveName(*c.request, QString::fromUtf8(c.typed), c.filter), QString::fromUtf8(c.saved)) << c.typed;
}

// A suffix added after the dialog closed names a file the dialog did not ask about: it is
// asked here, and No brings the dialog back.
TEST(SaveDialog, AnExistingFileUnderTheCompletedNameIsReplacedOnlyOnYes)
{
    ScopedFakes fakes;
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("Project.ctd"));
    QFile(existing).open(QIODevice::WriteOnly);
    FileDialogRequest r;
    r.dialogName = QStringLiteral("dlgCreatectd");
    r.kind = FileDialogKind::Save;
    r.title = QStringLiteral("Save CTD-file");
    r.defaultSuffix = QStringLiteral("ctd");

    fakes.files.answer(dir.filePath(QStringLiteral("Project")));
    fakes.files.answer(dir.filePath(QStringLiteral("Other")));
    fakes.messages.answers.push_back(Answer::No);
    EXPECT_EQ(fileDialogs().ask(r), QStringList{dir.filePath(QStringLiteral("Other.ctd"))});
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    Message asked;
    asked.icon = Icon::Exclamation;
    asked.buttons = Buttons::YesNo;
    asked.defaultButton = 2;
    asked.title = "Save CTD-file";
    asked.text = "Project.ctd already exists.\nDo you want to replace it?";
    EXPECT_EQ(fakes.messages.last(), asked);
    EXPECT_EQ(fileDialogs().lastFileName(r.dialogName), QStringLiteral("Other.ctd"));

    fakes.messages.clear();
    fakes.files.answer(dir.filePath(QStringLiteral("Project")));
    fakes.messages.answers.push_back(Answer::No);
    EXPECT_FALSE(fileDialogs().ask(r).has_value());  // declined, then cancelled

    fakes.messages.clear();
    fakes.files.answer(dir.filePath(QStringLiteral("Project")));
    fakes.messages.answers.push_back(Answer::Yes);
    EXPECT_EQ(fileDialogs().ask(r), QStringList{existing});

    // A name typed whole was the dialog's own question.
    fakes.messages.clear();
    fakes.files.answer(existing);
    EXPECT_EQ(fileDialogs().ask(r), QStringList{existing});
    EXPECT_TRUE(fakes.messages.shown.empty());

    // A dangling link of that name is a file to be asked about too.
    const QString link = dir.filePath(QStringLiteral("Link.ctd"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), link));
    fakes.files.answer(dir.filePath(QStringLiteral("Link")));
    fakes.messages.answers.push_back(Answer::No);
    EXPECT_FALSE(fileDialogs().ask(r).has_value());
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

TEST(ImageExport, WritesBmpAndJpegAndReportsFailure)
{
    QTemporaryDir dir;
    QImage img(40, 30, QImage::Format_ARGB32);
    img.fill(QColor(200, 30, 30, 128));
    for (const char* format : {"BMP", "JPEG"}) {
        const QString path = dir.filePath(QStringLiteral("graph.") + QLatin1String(format));
        QString error;
        ASSERT_TRUE(saveImage(img, path, format, &error)) << error.toStdString();
        QImageReader reader(path);
        EXPECT_EQ(reader.format().toUpper(), QByteArray(format == QByteArray("BMP") ? "BMP" : "JPEG"));
        EXPECT_EQ(reader.size(), QSize(40, 30));
    }
    QString error;
    EXPECT_FALSE(saveImage(img, dir.filePath(QStringLiteral("missing/graph.bmp")), "BMP", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(saveImage(QImage(), dir.filePath(QStringLiteral("empty.bmp")), "BMP", &error));
}

TEST(ImageExport, AFailingDiskKeepsTheOldPictureAndSaysWhy)
{
    QTemporaryDir dir;
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(QColor(20, 90, 200));
    for (const char* format : {"BMP", "JPEG"}) {
        const QString path = dir.filePath(QStringLiteral("graph.") + QLatin1String(format));
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old picture");
        old.close();
        QByteArray bytes;  // the picture as it would be written, for its size
        {
            QBuffer b(&bytes);
            b.open(QIODevice::WriteOnly);
            img.save(&b, format, qstrcmp(format, "JPEG") == 0 ? 95 : -1);
        }
        for (const int error : {EIO, ENOSPC}) {
            for (qsizetype n = 0; n < bytes.size(); n += bytes.size() / 7 + 1) {
                SCOPED_TRACE(std::string(format) + " " + std::strerror(error) + " after " + std::to_string(n));
                FaultyDisk disk;
                disk.failWritesAfter(static_cast<std::size_t>(n), error);
                setDisk(&disk);
                QString why;
                EXPECT_FALSE(saveImage(img, path, format, &why));
                setDisk(nullptr);
                EXPECT_EQ(why.toStdString(), std::strerror(error));
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::ReadOnly));
                EXPECT_EQ(f.readAll(), QByteArray("old picture"));
                EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
            }
        }
        QFile::remove(path);
    }
}

TEST(Shell, FailuresMapToResultCodes)
{
    QTemporaryDir dir;
    const auto open = [](const QString& path) { return shell().openDocument(path, {}); };
    EXPECT_EQ(open(dir.filePath(QStringLiteral("nofolder/readme.pdf"))), 3);
    EXPECT_EQ(open(dir.filePath(QStringLiteral("readme.pdf"))), 2);
}

TEST(Shell, AnUnreadableDocumentIsAccessDenied)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file, so no document here is unreadable";
    QTemporaryDir dir;
    QFile locked(dir.filePath(QStringLiteral("locked.pdf")));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.close();
    locked.setPermissions(QFileDevice::Permissions());
    EXPECT_EQ(shell().openDocument(locked.fileName(), {}), 5);
}

// What the opener reports decides; its start alone is no success.
TEST(Shell, TheOpenersExitStatusIsTheResult)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("read me \u00E4.pdf"));
    QFile(doc).open(QIODevice::WriteOnly);
    struct Case {
        int exit;
        int code;  // 0: no failure reported
    };
    const Case cases[] = {{0, 0}, {2, 2}, {3, 31}, {4, kChosenProgramFailed}, {5, 5}, {1, 0}, {9, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exit);
        ScriptedOpener opener("sleep 0.1; exit " + std::to_string(c.exit));
        std::optional<int> late;
        EXPECT_GT(shell().openDocument(doc, [&late](int code) { late = code; }), 32);
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_EQ(opener.args(), doc.toLocal8Bit() + "\n");  // the path, as one argument
        if (c.exit == 0) {
            EXPECT_FALSE(late.has_value());
        } else {
            ASSERT_TRUE(late.has_value());
            EXPECT_EQ(*late, c.code);
            EXPECT_LE(*late, 32);
        }
    }

    // Killed: no exit status to go by.
    {
        ScriptedOpener opener("kill -9 $$");
        std::optional<int> late;
        shell().openDocument(doc, [&late](int code) { late = code; });
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_EQ(late, 0);
    }
    // An opener still running after the verdict time serves the program it started; how that
    // one ends says nothing about the opening.
    {
        ScriptedOpener opener("sleep 0.5; exit 4", 100);
        std::optional<int> late;
        shell().openDocument(doc, [&late](int code) { late = code; });
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_FALSE(late.has_value());
    }
    // No opener at all.
    platform::setDocumentOpener(dir.filePath(QStringLiteral("no-such-opener")));
    EXPECT_EQ(shell().openDocument(doc, {}), kOpenerMissing);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    platform::setDocumentOpener({});
    EXPECT_EQ(shell().openDocument(doc, {}), kOpenerMissing);  // no xdg-open on the PATH
    qputenv("PATH", path);
}

TEST(Shell, ALateFailureIsShownAsItsMessageUnlessTheCallerTakesIt)
{
    ScopedFakes fakes;
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("readme.pdf"));
    QFile(doc).open(QIODevice::WriteOnly);
    ScriptedOpener opener("exit 4");
    EXPECT_GT(openDocument(doc), 32);
    ASSERT_TRUE(opener.waitUntilDone());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last(), critical("The program the desktop chose for " + doc.toStdString() + " failed to open it."));

    int taken = 0;
    openDocument(doc, [&taken](int code) { taken = code; });
    ASSERT_TRUE(opener.waitUntilDone());
    EXPECT_EQ(taken, kChosenProgramFailed);
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

TEST(PlainTextEdit, PasteOnlyWithTextOnTheClipboard)
{
    ScopedFakes fakes;
    PlainTextEdit edit;
    edit.setPlainText(QStringLiteral("keep this"));
    edit.selectAll();
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(&edit, &paste);  // empty clipboard: nothing happens
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("keep this"));

    fakes.clipboard.setText(QStringLiteral("pasted"));
    QApplication::sendEvent(&edit, &paste);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("pasted"));
}

TEST(PasteGuard, DropsPasteKeysOnlyWithoutClipboardText)
{
    installPasteGuard(qApp);
    QPlainTextEdit edit;
    edit.setPlainText(QStringLiteral("abc"));
    edit.selectAll();
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QGuiApplication::clipboard()->clear();
    QApplication::sendEvent(&edit, &paste);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(QStringLiteral("xyz"));
    QApplication::sendEvent(&edit, &paste);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("xyz"));
    QGuiApplication::clipboard()->clear();
}
