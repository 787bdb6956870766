#pragma once
// Building windows as they are given: every control under its given name, placed by its
// rectangle in twips, and the frame of a fixed window or dialog.
//
//   auto* ok = platform::make<QPushButton>(frame, "cmdok", {3264, 384, 348, 1980}, QStringLiteral("&Ok"));
//   auto* grid = platform::make<FlexGrid>(page, "mfgCTSres");  // placed by a layout
#include "platform/place.h"

#include <QDialog>
#include <QFont>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <type_traits>
#include <utility>

namespace platform {

// A control of type T, made as T(args..., parent), under its given name. Buttons never take
// Enter unless made the default.
template <class T, class... Args>
    requires(!(std::is_same_v<std::remove_cvref_t<Args>, TwipsRect> || ...))
T* make(QWidget* parent, const QString& name, Args&&... args)
{
    auto* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    if constexpr (std::is_base_of_v<QPushButton, T>) control->setAutoDefault(false);
    return control;
}

// The same, at its given rectangle in twips.
template <class T, class... Args>
T* make(QWidget* parent, const QString& name, const TwipsRect& at, Args&&... args)
{
    T* control = make<T>(parent, name, std::forward<Args>(args)...);
    place(control, at);
    return control;
}

// A window of fixed size: its given name, its title and its size in twips.
inline void fixedWindow(QWidget* window, const QString& name, const QString& title, int widthTwips, int heightTwips)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setFixedSize(px(widthTwips), px(heightTwips));
}

// The dialogs are laid out for an 8-point sans-serif face (Arial, or Liberation Sans in its place).
inline QFont dialogFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

// A dialog of fixed size, application-modal, in the dialog font.
inline void fixedDialog(QDialog* dialog, const QString& name, const QString& title, int widthTwips, int heightTwips)
{
    fixedWindow(dialog, name, title, widthTwips, heightTwips);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setFont(dialogFont());
}

}  // namespace platform
