// The commands that open data and series files all ask the shared dialog the same way: each
// gets its own request, and an answer without a path ends a single open like a cancel.
#include "analysis/frm_tabchild.h"
#include "analysis/series/series_window.h"
#include "import/frmctsinput.h"
#include "import/import_commands.h"
#include "platform/fakes.h"
#include "tests/import/modal_script.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using platform::FileDialogKind;

TEST(OpenRequests, EachCommandAsksTheSharedDialogForItsFiles)
{
    QTemporaryDir dir;
    const QString folder = QDir::toNativeSeparators(dir.path());
    struct Case {
        const char* command;
        std::function<void(platform::ScopedFakes&)> run;  // ends with the request under test
        FileDialogKind kind;
        const char* filter;
        const char* title;
        QString initialDir;
    };
    const Case cases[] = {
        {"Open CTD",
         [](platform::ScopedFakes&) {
             analysis::FrmTabchild w;
             EXPECT_FALSE(w.ctdOpen());
         },
         FileDialogKind::Open, "TarnwellData(*.ctd)|*.ctd|", "Choose CTD-file to open...", {}},
        {"Open CTS",
         [](platform::ScopedFakes&) {
             analysis::FrmTabchild w;
             EXPECT_FALSE(analysis::ctsOpen(w, {}));
         },
         FileDialogKind::Open, "TarnwellSeries(*.cts)|*.cts|", "Choose CTS-file to open...", {}},
        {"New CTS", [](platform::ScopedFakes&) { createSeriesFile(); }, FileDialogKind::OpenMany,
         "TarnwellData(*.ctd)|*.ctd|", "Choose CTD-files for series", {}},
        {"Add more...",
         [&dir](platform::ScopedFakes& fakes) {
             fakes.files.answer(dir.filePath(QStringLiteral("a.ctd")));
             ModalScript script;
             script.on(QStringLiteral("frmCTSinput"), [](QWidget* d) {
                 auto* series = static_cast<importer::FrmCTSinput*>(d);
                 series->cmdCTDtoList->click();  // cancelled: the queue is empty
                 series->cmdCancel->click();
             });
             createSeriesFile();
             EXPECT_TRUE(script.finished());
         },
         FileDialogKind::OpenMany, "TarnwellData(*.ctd)|*.ctd|", "Choose CTD-files for series", folder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        platform::ScopedFakes fakes;
        fakes.files.files[QStringLiteral("cdlDataimport")] = QStringLiteral("picked before.ctd");
        c.run(fakes);
        ASSERT_FALSE(fakes.files.requests.empty());
        const platform::FileDialogRequest& r = fakes.files.requests.back();
        EXPECT_EQ(r.dialogName.toStdString(), "cdlDataimport");
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.filter.toStdString(), c.filter);
        EXPECT_EQ(r.title.toStdString(), c.title);
        EXPECT_EQ(r.initialDir.toStdString(), c.initialDir.toStdString());
        EXPECT_EQ(r.fileName.toStdString(), "");
        EXPECT_EQ(fakes.files.starts.back().fileName.toStdString(), "");  // no name carried over
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
}

TEST(OpenRequests, AnAnswerWithoutAPathEndsTheOpenSilently)
{
    const std::function<bool(analysis::FrmTabchild&)> opens[] = {
        [](analysis::FrmTabchild& w) { return w.ctdOpen(); },
        [](analysis::FrmTabchild& w) { return analysis::ctsOpen(w, {}); },
    };
    for (const auto& open : opens) {
        platform::ScopedFakes fakes;
        fakes.files.answer(QString());
        analysis::FrmTabchild w;
        EXPECT_FALSE(open(w));
        EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.last().text;
        EXPECT_FALSE(w.frmCalc->isEnabled());
    }
}
