#include "app/clipboard_commands.h"

#include "frame_api/analysis_window_api.h"
#include "platform/services.h"

#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace app {

namespace {

QString selectedText(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->selectedText();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->textCursor().selection().toPlainText();
    if (auto* e = qobject_cast<QTextEdit*>(w)) return e->textCursor().selection().toPlainText();
    return {};
}

void replaceSelection(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (!e->isReadOnly()) e->insert(text);
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (!e->isReadOnly()) e->insertPlainText(text);
    } else if (auto* e = qobject_cast<QTextEdit*>(w)) {
        if (!e->isReadOnly()) e->insertPlainText(text);
    }
}

// The focused control of the active child, or its nearest ancestor that carries a tag.
QWidget* focusedEditControl(QMdiArea* area, frame::AnalysisWindowApi** owner)
{
    if (owner) *owner = nullptr;
    QMdiSubWindow* sub = area->activeSubWindow();
    if (!sub || !sub->widget()) return nullptr;
    if (owner) *owner = dynamic_cast<frame::AnalysisWindowApi*>(sub->widget());
    for (QWidget* w = sub->focusWidget(); w && w != sub; w = w->parentWidget())
        if (!frame::controlTag(w).isEmpty()) return w;
    return nullptr;
}

}  // namespace

void copyFromFocusedControl(QMdiArea* area)
{
    frame::AnalysisWindowApi* owner = nullptr;
    QWidget* control = focusedEditControl(area, &owner);
    if (!control) return;
    const QString tag = frame::controlTag(control);
    if (tag == QLatin1String("Text")) {
        platform::clipboard().clear();
        platform::clipboard().setText(selectedText(control));
    } else if (tag == QLatin1String("Table") || tag == QLatin1String("Picture")) {
        const QImage image = owner ? owner->editPicture(control) : control->grab().toImage();
        platform::clipboard().clear();
        platform::clipboard().setImage(image);
    }
}

void cutFromFocusedControl(QMdiArea* area)
{
    QWidget* control = focusedEditControl(area, nullptr);
    if (!control || frame::controlTag(control) != QLatin1String("Text")) return;
    platform::clipboard().clear();
    platform::clipboard().setText(selectedText(control));
    replaceSelection(control, QString());
}

void pasteIntoFocusedControl(QMdiArea* area)
{
    QWidget* control = focusedEditControl(area, nullptr);
    if (!control || frame::controlTag(control) != QLatin1String("Text")) return;
    // No text on the clipboard: the selection stays as it is.
    if (!platform::clipboard().hasText()) return;
    replaceSelection(control, platform::clipboard().text());
}

}  // namespace app
