// Every window and dialog of the program, reached as the user reaches them, gives each access
// key (the underlined letter of Alt+letter) to one caption only: a letter given twice activates
// neither. A scope is what one Alt+letter is looked up in: a dialog, a window of the main
// window together with the menu bar, the main window's own bars with the menu bar, one menu.
#include "analysis/frm_tabchild.h"
#include "app/about_box.h"
#include "app/splash.h"
#include "import/frmctsinput.h"
#include "import/frmdatainput.h"
#include "import/frmlistview.h"
#include "tests/app/open_windows.h"
#include "tests/import/modal_script.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <map>
#include <set>

namespace {

class AccessKeys : public OpenWindows {
protected:
    // Every scope walked: its name and the captions that give a letter.
    std::map<std::string, std::vector<QString>> scopes;
    std::set<const QMenu*> menusSeen;

    static std::vector<QString> menuBarCaptions(const QMenuBar* bar)
    {
        std::vector<QString> captions;
        for (const QAction* a : bar->actions()) captions.push_back(a->text());
        return captions;
    }
    // A menu and its submenus, each a scope of its own.
    void walkMenu(QMenu* menu, const std::string& name)
    {
        if (!menu || !menusSeen.insert(menu).second) return;
        emit menu->aboutToShow();  // the Window menu lists the windows when it opens
        std::vector<QString>& captions = scopes[name];
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            captions.push_back(a->text());
            walkMenu(a->menu(), name + " > " + a->text().toStdString());
        }
    }
    // The captions of a widget and its descendants, `stopAt` left out with all it holds; menus
    // of buttons are walked as scopes of their own.
    void collect(QWidget* root, std::vector<QString>& captions, const std::string& name, const QWidget* stopAt = nullptr)
    {
        QList<QWidget*> widgets = root->findChildren<QWidget*>();
        widgets.prepend(root);
        for (QWidget* w : widgets) {
            if (stopAt && (w == stopAt || stopAt->isAncestorOf(w))) continue;
            if (qobject_cast<QMenuBar*>(w->parentWidget())) continue;  // the bar's own buttons; its menus are walked
            if (qobject_cast<QMenu*>(w)) continue;  // menus are scopes of their own
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                captions.push_back(b->text());
                if (auto* tb = qobject_cast<QToolButton*>(w)) walkMenu(tb->menu(), name + " / " + w->objectName().toStdString());
                if (auto* pb = qobject_cast<QPushButton*>(w)) walkMenu(pb->menu(), name + " / " + w->objectName().toStdString());
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                if (l->buddy()) captions.push_back(l->text());  // without a buddy a label shows "&" as typed
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                captions.push_back(g->title());
            } else if (auto* t = qobject_cast<QTabBar*>(w)) {
                for (int i = 0; i < t->count(); ++i) captions.push_back(t->tabText(i));
            }
        }
    }
    void walkWindow(QWidget* window, const std::string& name)
    {
        ASSERT_NE(window, nullptr) << name;
        collect(window, scopes[name], name);
    }
    // The main window's own bars, then each of its windows, each with the menu bar; the menus.
    void walkMainWindow()
    {
        const std::vector<QString> bar = menuBarCaptions(main->menuBar());
        std::vector<QString>& own = scopes["main window"];
        own = bar;
        collect(main, own, "main window", mdiArea(main));
        for (QMdiSubWindow* sub : mdiArea(main)->subWindowList()) {
            const std::string name = "main window: " + sub->windowTitle().toStdString();
            scopes[name] = bar;
            collect(sub, scopes[name], name);
        }
        for (QAction* a : main->menuBar()->actions()) walkMenu(a->menu(), "menu " + a->text().toStdString());
    }

    // "Alt+C: &Clear settings, &Cancel" for every letter given twice in a scope.
    static std::vector<std::string> twiceGiven(const std::vector<QString>& captions)
    {
        std::map<QString, std::vector<QString>> byKey;
        for (const QString& c : captions) {
            const QKeySequence key = QKeySequence::mnemonic(c);
            if (!key.isEmpty()) byKey[key.toString()].push_back(c);
        }
        std::vector<std::string> found;
        for (const auto& [key, given] : byKey) {
            if (given.size() < 2) continue;
            QStringList quoted;
            for (const QString& c : given) quoted << QLatin1Char('"') + c + QLatin1Char('"');
            found.push_back(key.toStdString() + ": " + quoted.join(QStringLiteral(", ")).toStdString());
        }
        return found;
    }

    analysis::FrmTabchild* openSeries()
    {
        for (const char* name : {"run1.ctd", "run2.ctd", "run3.ctd", "three.cts"})
            copy(QStringLiteral(TW_ANALYSIS_DATA "/../series/") + QLatin1String(name), QLatin1String(name));
        return open(path(QStringLiteral("three.cts")), 2);
    }
};

}  // namespace

TEST_F(AccessKeys, NoWindowOrDialogGivesALetterTwice)
{
    main->resize(1300, 950);
    QApplication::setActiveWindow(main);
    analysis::FrmTabchild* file = open(copy(testfiles::dataPath("small.ctd"), QStringLiteral("small.ctd")));
    analysis::FrmTabchild* series = openSeries();
    ASSERT_TRUE(file && series);
    walkMainWindow();
    EXPECT_EQ(scopes.count("main window: Datafiles"), 1u);
    EXPECT_EQ(scopes.count("main window: " + series->windowTitle().toStdString()), 1u);

    // New CTD...: both steps of the import, step 1 in its choosing and its editing state.
    {
        const QString text = path(QStringLiteral("falling.txt"));
        ASSERT_TRUE(platform::writeFileAtomic(text.toStdString(), "30\r\n28\r\n26\r\n24\r\n").ok);
        fakes.files.answer(text);
        ModalScript script;
        script
            .on(QStringLiteral("frmlistview"),
                [&](QWidget* w) {
                    auto* lv = static_cast<importer::FrmListview*>(w);
                    walkWindow(lv, "import step 1");
                    lv->cmdok->click();
                    lv->cmdnext->click();
                })
            .on(QStringLiteral("frmdatainput"),
                [&](QWidget* w) {
                    walkWindow(w, "import step 2");
                    static_cast<importer::FrmDataInput*>(w)->cmdback->click();
                })
            .on(QStringLiteral("frmlistview"), [&](QWidget* w) {
                auto* lv = static_cast<importer::FrmListview*>(w);
                lv->cmdchange->click();  // Edit file: the editing state, "Reload file"
                walkWindow(lv, "import step 1, editing");
                lv->cmdCancel->click();
            });
        QTest::keyClick(main, Qt::Key_F2);
        EXPECT_TRUE(script.finished());
    }
    // New CTS...: the series dialog after its choice of data files.
    {
        fakes.files.answerMany({path(QStringLiteral("run1.ctd")), path(QStringLiteral("run2.ctd"))});
        ModalScript script;
        script.on(QStringLiteral("frmCTSinput"), [&](QWidget* w) {
            walkWindow(w, "series");
            static_cast<importer::FrmCTSinput*>(w)->cmdCancel->click();
        });
        QApplication::setActiveWindow(main);
        QTest::keyClick(main, Qt::Key_F3);
        EXPECT_TRUE(script.finished());
    }
    // The browser's Edit: the parameter editor.
    {
        mdiArea(main)->setActiveSubWindow(main->subWindowOf(file));
        ModalScript script;
        script.on(QStringLiteral("frmdatainput"), [&](QWidget* w) {
            walkWindow(w, "parameter editor");
            static_cast<importer::FrmDataInput*>(w)->cmdCancel->click();
        });
        browser->cmdEdit->click();
        EXPECT_TRUE(script.finished());
    }
    // Help > About, and the splash of the start.
    action(main, "mnuHelpAbout")->trigger();
    walkWindow(main->aboutBox(), "About");
    app::Frmstart splash;
    walkWindow(&splash, "splash");

    for (const char* name : {"import step 1", "import step 2", "import step 1, editing", "series", "parameter editor",
                             "About", "splash", "menu &File", "menu &File > Sa&ve", "menu &Window"})
        EXPECT_EQ(scopes.count(name), 1u) << name;
    for (const auto& [scope, captions] : scopes) {
        SCOPED_TRACE(scope);
        EXPECT_EQ(twiceGiven(captions), std::vector<std::string>{});
    }
}
