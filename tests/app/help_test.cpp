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
    struct Case {
        const char* opener;
        const char* message;  // nullptr: none
    };
    const Case cases[] = {
        {"exit 3", "No association for file extension"},  // xdg-open on a desktop without a PDF viewer
        {"exit 4", "No association for file extension"},  // the desktop's own opener found none
        {"exit 2", "File not found"},
        {"exit 0", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opener);
        fakes.messages.clear();
        ScriptedOpener opener(c.opener);
        QTest::keyClick(main, Qt::Key_F1);
        ASSERT_TRUE(opener.waitUntilDone());
        EXPECT_EQ(opener.args(), pdf.toLocal8Bit() + "\n");
        if (!c.message) {
            EXPECT_TRUE(fakes.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.last(), platform::messageFromFlags(0, c.message));
    }
}

}  // namespace
