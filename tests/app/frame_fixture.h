#pragma once
// The frame tests' fixture: a main window with its data browser, fake analysis windows opened as
// the open dispatcher opens them, and the settings store's placement keys. One class for every
// file of the frame tests (a test suite has one fixture type).
#include "app/commands.h"
#include "app/frame.h"
#include "platform/fakes.h"
#include "tests/app/fake_analysis_window.h"
#include "tests/app/main_window_parts.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <gtest/gtest.h>

#include <vector>

using app::MainWindow;

class Frame : public ::testing::Test {
protected:
    platform::ScopedFakes fakes;
    MainWindow* main = nullptr;
    app::DataBrowser* browser = nullptr;

    void start()
    {
        main = app::mainWindow();
        browser = app::dataBrowser();
        QObject::connect(mdiArea(main), &QMdiArea::subWindowActivated, main, [](QMdiSubWindow* s) {
            if (auto* f = dynamic_cast<FakeAnalysisWindow*>(s ? s->widget() : nullptr)) f->activate();
        });
        main->show();
        main->activateWindow();
    }
    void TearDown() override
    {
        app::commandHooks() = {};
        app::resetFrame();
    }
    // What the open dispatcher does for a successful open.
    FakeAnalysisWindow* open(int n, bool series = false)
    {
        auto* w = new FakeAnalysisWindow(n);
        QMdiSubWindow* sub = main->addChildWindow(w);
        sub->setWindowTitle((series ? QStringLiteral("Series ") : QStringLiteral("CTData ")) + QString::number(n));
        sub->resize(300, 200);
        browser->addWindowNodes(n, series, QStringLiteral("Filename: run%1.ctd").arg(n), QStringLiteral("Test %1").arg(n));
        main->setSaveGraphEnabled(true);
        sub->show();
        mdiArea(main)->setActiveSubWindow(sub);
        return w;
    }
    QMdiSubWindow* sub(FakeAnalysisWindow* w) { return main->subWindowOf(w); }
    void closeWindow(FakeAnalysisWindow* w) { sub(w)->close(); }
    void storePlacement(const char* l, const char* t, const char* w, const char* h)
    {
        const char* keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        const char* values[] = {l, t, w, h};
        for (int i = 0; i < 4; ++i)
            fakes.settings.setValue(QStringLiteral("Settings"), QLatin1String(keys[i]), QLatin1String(values[i]));
    }
    QString stored(const char* key) { return fakes.settings.value(QStringLiteral("Settings"), QLatin1String(key)).toString(); }

    // Save graph, the page commands: menu and toolbar agree, and have the expected state.
    void expectAnalysisCommands(bool enabled)
    {
        EXPECT_EQ(action(main, "mnuFileSaveGraph")->isEnabled(), enabled);
        EXPECT_EQ(main->tbMenuEntry(3, 1)->isEnabled(), enabled);
        for (const char* name : {"mnuViewGraph", "mnuViewCalculation", "mnuViewProtocol"})
            EXPECT_EQ(action(main, name)->isEnabled(), enabled) << name;
        for (int p : {9, 10, 11}) EXPECT_EQ(main->tbButton(p)->isEnabled(), enabled) << p;
    }
    void expectEditCommands(bool cut, bool copy, bool paste)
    {
        EXPECT_EQ(main->tbButton(5)->isEnabled(), cut);
        EXPECT_EQ(main->tbButton(6)->isEnabled(), copy);
        EXPECT_EQ(main->tbButton(7)->isEnabled(), paste);
        EXPECT_EQ(action(main, "mnuEditCut")->isEnabled(), cut);
        EXPECT_EQ(action(main, "mnuEditCopy")->isEnabled(), copy);
        EXPECT_EQ(action(main, "mnuEditPaste")->isEnabled(), paste);
    }
};
