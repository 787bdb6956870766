#include "platform/plain_text_edit.h"
#include "tests/app/frame_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <gtest/gtest.h>

// ---- clipboard commands -----------------------------------------------------------------------

TEST_F(Frame, EditCommandsFollowTheFocusedControlsTag)
{
    start();
    FakeAnalysisWindow* w = open(1);
    w->comments->setPlainText(QStringLiteral("hello world"));
    QTextCursor c = w->comments->textCursor();
    c.setPosition(6);
    c.setPosition(11, QTextCursor::KeepAnchor);
    w->comments->setTextCursor(c);
    w->comments->setFocus();

    main->editCopy();
    EXPECT_EQ(fakes.clipboard.text(), QStringLiteral("world"));
    main->editCut();
    EXPECT_EQ(w->comments->toPlainText(), QStringLiteral("hello "));
    fakes.clipboard.setText(QStringLiteral("there"));
    main->editPaste();
    EXPECT_EQ(w->comments->toPlainText(), QStringLiteral("hello there"));
    fakes.clipboard.clear();
    w->comments->selectAll();
    main->editPaste();  // no text on the clipboard: nothing changes
    EXPECT_EQ(w->comments->toPlainText(), QStringLiteral("hello there"));

    w->grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("cell")));
    w->grid->setCurrentCell(0, 0);
    w->grid->setFocus();
    main->editCopy();
    EXPECT_FALSE(fakes.clipboard.image().isNull());
    EXPECT_EQ(fakes.clipboard.image().size(), w->grid->size());
    fakes.clipboard.setText(QStringLiteral("kept"));
    main->editCut();  // Cut and Paste do nothing in a table: the cell and the clipboard stay
    main->editPaste();
    EXPECT_EQ(fakes.clipboard.text(), QStringLiteral("kept"));
    EXPECT_EQ(w->grid->item(0, 0)->text(), QStringLiteral("cell"));

    w->diagram->setFocus();
    main->editCopy();
    EXPECT_EQ(fakes.clipboard.image(), w->diagramImage);

    w->plain->setPlainText(QStringLiteral("untagged"));
    w->plain->selectAll();
    w->plain->setFocus();
    fakes.clipboard.setText(QStringLiteral("kept"));
    main->editCopy();
    main->editCut();
    EXPECT_EQ(fakes.clipboard.text(), QStringLiteral("kept"));
    EXPECT_EQ(w->plain->toPlainText(), QStringLiteral("untagged"));

    // The notes of the data browser are a text field too.
    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    browser->SSTab1->setCurrentIndex(1);
    browser->txtNotes->setPlainText(QStringLiteral("note"));
    browser->txtNotes->selectAll();
    browser->txtNotes->setFocus();
    main->editCopy();
    EXPECT_EQ(fakes.clipboard.text(), QStringLiteral("note"));
}

// Copy reaches the desktop's clipboard itself, where other programs read it.
TEST_F(Frame, CopyPutsTextAndPictureOnTheDesktopClipboard)
{
    platform::setClipboardService(nullptr);  // the Qt clipboard, not the fake
    start();
    FakeAnalysisWindow* w = open(1);
    w->comments->setPlainText(QStringLiteral("cd 0.312\tfr0 0.0101"));
    w->comments->selectAll();
    w->comments->setFocus();
    main->editCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "cd 0.312\tfr0 0.0101");

    w->diagram->setFocus();
    main->editCopy();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_TRUE(copied.convertToFormat(w->diagramImage.format()) == w->diagramImage) << "another picture than the diagram's";
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}
