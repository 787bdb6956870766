#include "platform/plain_text_edit.h"

#include "platform/services.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QTextEdit>
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

namespace {

bool clipboardHasText(QClipboard::Mode mode)
{
    const QClipboard* c = QGuiApplication::clipboard();
    const QMimeData* m = c ? c->mimeData(mode) : nullptr;
    return m && m->hasText();
}

bool isMultiLineText(const QObject* o)
{
    return qobject_cast<const QPlainTextEdit*>(o) || qobject_cast<const QTextEdit*>(o);
}

class PasteGuard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (isMultiLineText(watched) && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) &&
                !clipboardHasText(QClipboard::Clipboard))
                return true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // The viewport receives the mouse; its parent is the text box.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton && watched->isWidgetType() &&
                isMultiLineText(watched->parent()) && !clipboardHasText(QClipboard::Selection))
                return true;
            break;
        default: break;
        }
        return false;
    }
};

}  // namespace

void installPasteGuard(QObject* application)
{
    if (!application || application->property("twPasteGuard").toBool()) return;
    application->setProperty("twPasteGuard", true);
    application->installEventFilter(new PasteGuard(application));
}

}  // namespace platform
