// New CTD and New CTS start the import commands, one at a time.
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
    importer::state.structureConfirmed = true;
    startImport();  // asks for a file although a structure was confirmed; cancelled
    ASSERT_EQ(fakes.files.requests.size(), 1u);
    EXPECT_EQ(fakes.files.requests[0].dialogName, QStringLiteral("cdltxtinput"));
    startSeriesComposition();
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
        startImport();  // a second import does not start meanwhile
        startSeriesComposition();
        EXPECT_EQ(fakes.files.requests.size(), asked);
        static_cast<importer::FrmListview*>(w)->cmdCancel->click();
    });
    startImport();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(importer::importBusy());
}

}  // namespace
