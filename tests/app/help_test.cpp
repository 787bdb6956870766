// Help > Help (F1) hands the help document to the desktop's opener; what the opener reports is
// what the user hears.
#include "tests/app/open_windows.h"
#include "tests/support/scripted_opener.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

using Help = OpenWindows;

TEST_F(Help, F1SaysWhenNothingOpensTheHelpDocument)
{
    const QString pdf = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("readme.pdf"));
    ASSERT_TRUE(QFileInfo::exists(pdf));
    main->activateWindow();
    QApplication::setActiveWindow(main);
    const std::string named = pdf.toStdString();
    struct Case {
        const char* opener;
        std::string message;  // empty: none
    };
    const Case cases[] = {
        {"exit 3", "No association for file extension \".pdf\"\n" + named},  // xdg-open on a desktop without a PDF viewer
        {"exit 5", "Access denied\n" + named},  // the opener may not read it
        {"exit 4", "The program the desktop chose for " + named + " failed to open it."},  // the viewer it started failed
        {"exit 2", "File not found: " + named},
        {"exit 0", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opener);
        fakes.messages.clear();
        ScriptedOpener opener(c.opener);
        QTest::keyClick(main, Qt::Key_F1);
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_EQ(opener.args(), pdf.toLocal8Bit() + "\n");
        if (c.message.empty()) {
            EXPECT_TRUE(fakes.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last(), platform::critical(c.message));
    }

    // No xdg-open on the PATH: the message says what to install.
    fakes.messages.clear();
    platform::ShellService* scripted = &platform::shell();
    platform::setShellService(nullptr);
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    QTest::keyClick(main, Qt::Key_F1);
    qputenv("PATH", path);
    platform::setShellService(scripted);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last(),
              platform::critical("The desktop's opener xdg-open is missing, so " + named +
                                 " cannot be opened.\nInstall it with: sudo apt-get install xdg-utils"));
}

}  // namespace
