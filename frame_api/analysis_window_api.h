#pragma once
// What the main window and the data browser need of an analysis window. The analysis window
// (a QWidget placed in the main window's MDI area) implements this interface; the frame finds
// analysis windows by asking each MDI child's widget for it, so dialogs, the About box and
// hidden forms are never mistaken for one.
#include <QFocusEvent>
#include <QImage>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace frame {

// Controls that take part in Cut/Copy/Paste carry a tag as the dynamic property "tag":
// "Text" (text fields), "Table" (grids, the calculation page control), "Picture" (the diagram).
inline constexpr const char* kTagProperty = "tag";
inline void setControlTag(QWidget* control, const QString& tag) { control->setProperty(kTagProperty, tag); }
inline QString controlTag(const QWidget* control)
{
    return control ? control->property(kTagProperty).toString() : QString();
}

// A menu that opens, or the menu bar, takes Qt's keyboard focus while it is in use; the control
// keeps the focus for the Edit commands, which would otherwise be switched off while their menu
// is open. (The menu bar hands the focus on; MainWindow switches the commands when it goes to
// another control than the one it came from.)
inline bool menuTookFocus(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

// The four navigation scroll bars of diagram 0 (scrtop, scrheight, scrleft, scrwidth).
enum class NavBar { Top, Height, Left, Width };

// Value and bounds of one scroll bar. Min may be above Max (the vertical position bar runs
// from the larger number at its upper end down to the smaller).
struct NavRange {
    int value = 0;
    int min = 0;
    int max = 0;
};

class AnalysisWindowApi {
public:
    virtual ~AnalysisWindowApi() = default;

    // The window number (the window's tag), 1 and up.
    virtual int windowNumber() const = 0;
    // The widget placed in the MDI area (its parent is the QMdiSubWindow).
    virtual QWidget* windowWidget() = 0;
    // False once the window has been unloaded or discarded after a failed open; such a window
    // is not counted as open while it is being torn down.
    virtual bool isOpen() const { return true; }

    // The activation handler: draws the window's overview and hands the data browser its
    // files. The frame runs it itself when the browser is to show a window that is not being
    // activated (the one it showed has closed while the browser stays active).
    virtual void Form_Activate() = 0;

    // Diagram overflow flag: the tag of the hidden field txtn, "" normally, "1" after overflow.
    virtual QString overflowTag() const = 0;
    // Default full view of diagram `index` and redraw.
    virtual void Resize(int index) = 0;
    // Redraw diagram `index` at the view given by its scroll bars.
    virtual void startscr(int index) = 0;
    // Select page 0 (Graph), 1 (Calculation) or 2 (Protocol) and run its click handling.
    virtual void selectPage(int page) = 0;

    // Navigation bars of diagram 0. Setting a value redraws the diagram at the new view, as a
    // change of the scroll bar does.
    virtual NavRange navBar(NavBar bar) const = 0;
    virtual void setNavValue(NavBar bar, int value) = 0;

    // The picture that Copy puts on the clipboard for a control tagged "Table" or "Picture".
    // The default grabs the control as it is shown; the diagram returns its drawn image, a grid
    // may return the picture of the whole grid.
    virtual QImage editPicture(QWidget* control) { return control ? control->grab().toImage() : QImage(); }
};

}  // namespace frame
