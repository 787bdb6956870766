// The frame's New CTD / New CTS hooks start the import commands, one at a time.
#include "app/commands.h"
#include "import/core/import_state.h"
#include "import/frmlistview.h"
#include "import/import_commands.h"
#include "modal_script.h"
#include "platform/fakes.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ImportHooks, NewCommandsStartTheImportOnlyOnce)
{
    platform::ScopedFakes fakes;
    registerImportCommands();
    auto& hooks = app::commandHooks();
    ASSERT_TRUE(hooks.importAsciiData);
    ASSERT_TRUE(hooks.createSeriesFile);

    importer::state.structureConfirmed = true;
    hooks.importAsciiData();  // asks for a file although a structure was confirmed; cancelled
    ASSERT_EQ(fakes.files.requests.size(), 1u);
    EXPECT_EQ(fakes.files.requests[0].dialogName, QStringLiteral("cdltxtinput"));
    hooks.createSeriesFile();
    ASSERT_EQ(fakes.files.requests.size(), 2u);
    EXPECT_EQ(fakes.files.requests[1].dialogName, QStringLiteral("cdlDataimport"));

    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("r.txt"));
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("30\n20\n");
    f.close();
    fakes.files.answer(txt);
    ModalScript script;
    script.on(QStringLiteral("frmlistview"), [&](QWidget* w) {
        const std::size_t asked = fakes.files.requests.size();
        hooks.importAsciiData();  // a second import does not start meanwhile
        hooks.createSeriesFile();
        EXPECT_EQ(fakes.files.requests.size(), asked);
        static_cast<importer::FrmListview*>(w)->cmdCancel->click();
    });
    hooks.importAsciiData();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(importer::importBusy());
}

}  // namespace
