#include "platform/fakes.h"
#include "platform/plain_text_edit.h"
#include "platform/services.h"

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
        EXPECT_EQ(msgBox(QStringLiteral("Reload?"), 4 + 32, QStringLiteral("Editor-Error")), Answer::No);
        EXPECT_EQ(msgBox(QStringLiteral("Again?"), 4), Answer::Yes);  // empty queue: first button
        EXPECT_EQ(msgBox(QStringLiteral("Retry?"), 5), Answer::Retry);
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
    EXPECT_EQ(shell().openDocument(dir.filePath(QStringLiteral("nofolder/readme.pdf"))), 3);
    EXPECT_EQ(shell().openDocument(dir.filePath(QStringLiteral("readme.pdf"))), 2);
    QFile locked(dir.filePath(QStringLiteral("locked.pdf")));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.close();
    locked.setPermissions(QFileDevice::Permissions());
    if (::geteuid() != 0) {  // root reads anything
        EXPECT_EQ(shell().openDocument(locked.fileName()), 5);
    }
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
