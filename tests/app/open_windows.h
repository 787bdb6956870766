#pragma once
// A main window with its commands connected, real analysis windows opened from files in a
// folder of the test's own, and every dialog scripted.
#include "analysis/frm_tabchild.h"
#include "app/commands.h"
#include "app/connect_commands.h"
#include "app/dispatcher.h"
#include "app/frame.h"
#include "app/graph_export.h"
#include "import/core/import_state.h"
#include "platform/fakes.h"
#include "platform/textfile.h"
#include "tests/analysis/test_files.h"
#include "tests/app/main_window_parts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class OpenWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        app::resetFrame();
        app::connectCommands();
        app::setTemporaryBitmapFolder(dir.filePath(QStringLiteral("cache")));
        main = app::mainWindow();
        browser = app::dataBrowser();
        main->show();
    }
    void TearDown() override
    {
        for (frame::AnalysisWindowApi* w : main->analysisWindows()) main->subWindowOf(w)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app::commandHooks() = {};
        app::setTemporaryBitmapFolder({});
        importer::state.editingLoadedFile = false;
        main->hide();
        app::resetFrame();
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    // A copy of a fixture in the test's folder.
    QString copy(const QString& fixture, const QString& name)
    {
        const QString to = path(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(fixture, to));
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }
    // Opens a data file (kind 1) or a series (kind 2) through the dispatcher's dialog.
    analysis::FrmTabchild* open(const QString& file, int kind = 1)
    {
        fakes.files.answer(file);
        if (app::openAnalysisWindow(kind) == 0) return nullptr;
        return app::lastOpenedWindow();
    }
    static std::string bytesOf(const QString& file)
    {
        std::string bytes, error;
        platform::readFileBytes(file.toStdString(), bytes, error);
        return bytes;
    }

    platform::ScopedFakes fakes;
    QTemporaryDir dir;
    app::MainWindow* main = nullptr;
    app::DataBrowser* browser = nullptr;
};
