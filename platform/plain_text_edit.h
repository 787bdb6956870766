#pragma once
// A multi-line text box whose every paste goes through the platform clipboard and does nothing
// when it holds no text. (Qt 6.4's own paste path crashes on an empty X11 clipboard, so the
// key, the context menu, the middle button and drops are all routed here.)
#include <QPlainTextEdit>

namespace platform {

class PlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainTextEdit(QWidget* parent = nullptr);

    // Replaces the selection by the clipboard's text; no-op without text on the clipboard.
    void safePaste();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// Guards every multi-line text box of the program (QPlainTextEdit, QTextEdit) in the same way:
// a paste key or middle-button paste is dropped while the clipboard holds no text. Installed
// once on the application by the start-up.
void installPasteGuard(QObject* application);

}  // namespace platform
