#include "platform/plain_text_edit.h"

#include "platform/services.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace platform {

PlainTextEdit::PlainTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void PlainTextEdit::safePaste()
{
    if (isReadOnly() || !clipboard().hasText()) return;
    insertPlainText(clipboard().text());
}

void PlainTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Paste) {
        safePaste();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PlainTextEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            action->setEnabled(!isReadOnly() && clipboard().hasText());
            connect(action, &QAction::triggered, this, &PlainTextEdit::safePaste);
        }
    }
    menu->exec(event->globalPos());
    delete menu;
}

void PlainTextEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {  // the X11 selection paste
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void PlainTextEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

bool PlainTextEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source && source->hasText() && QPlainTextEdit::canInsertFromMimeData(source);
}

void PlainTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText()) return;
    insertPlainText(source->text());
}

}  // namespace platform
