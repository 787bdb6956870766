#pragma once
// The main window's menus, entries and areas, found by the object names they carry. A name the
// window does not hold throws, which fails the test with that name.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QObject>

#include <stdexcept>
#include <string>

template <class T>
T* part(const QObject* main, const char* name)
{
    T* found = main->findChild<T*>(QLatin1String(name));
    if (!found) throw std::logic_error(std::string("the main window holds no ") + T::staticMetaObject.className() + " named " + name);
    return found;
}

inline QAction* action(const QObject* main, const char* name) { return part<QAction>(main, name); }
inline QMenu* menu(const QObject* main, const char* name) { return part<QMenu>(main, name); }
inline QMdiArea* mdiArea(const QObject* main) { return part<QMdiArea>(main, "mdiArea"); }
inline QMdiSubWindow* browserWindow(const QObject* main) { return part<QMdiSubWindow>(main, "frmTreeviewchildWindow"); }
