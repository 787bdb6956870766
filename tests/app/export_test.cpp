// Save graph and Save notepad: the files written, the messages and the dialogs.
#include "app/graph_export.h"
#include "diagram/diagram_panel.h"
#include "platform/plain_text_edit.h"
#include "tests/app/open_windows.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMdiArea>

#include <cstdlib>
#include <latch>
#include <thread>

namespace {

class Export : public OpenWindows {
protected:
    analysis::FrmTabchild* openSmall() { return open(copy(testfiles::dataPath("small.ctd"), "small.ctd")); }
    void saveGraphAs(const QString& file, int filter)
    {
        fakes.files.answerWithFilter(file, filter);
        action(main, "mnuFileSaveGraph")->trigger();
    }
    void expectOneMessage(platform::Icon icon, const std::string& firstLine)
    {
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        const platform::Message& m = fakes.messages.last();
        EXPECT_EQ(m.icon, icon);
        EXPECT_EQ(m.title, "");  // the application title
        EXPECT_EQ(m.text.substr(0, m.text.find('\n')), firstLine) << m.text;
    }
};

// The bitmaps the JPEG export left in its folder.
QStringList temporaryBitmaps()
{
    return QDir(app::temporaryBitmapFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// Mean difference per colour channel, 0 to 255.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = rgb(a), y = rgb(b);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

}  // namespace

TEST_F(Export, GraphAsBitmapAndJpegHoldsTheDiagram)
{
    analysis::FrmTabchild* w = openSmall();
    ASSERT_NE(w, nullptr);
    const QImage shown = w->framedia->picture();
    ASSERT_FALSE(shown.isNull());

    saveGraphAs(path("graph.bmp"), 1);
    ASSERT_EQ(fakes.files.requests.size(), 2u);  // the open, then the save
    const platform::FileDialogRequest& r = fakes.files.requests.back();
    EXPECT_EQ(r.dialogName, "cdlDataimport");
    EXPECT_EQ(r.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(r.title, "Save graph as...");
    EXPECT_EQ(r.filter, "Bitmap(*.bmp)|*.bmp|JPEG Image (*.jpg) |*.jpg|");
    EXPECT_EQ(r.fileName, "Graph");
    QImageReader bmp(path("graph.bmp"));
    EXPECT_EQ(bmp.format(), "bmp");
    EXPECT_EQ(rgb(bmp.read()), rgb(shown));  // every pixel of the diagram as last drawn

    main->tbMenuEntry(3, 1)->setEnabled(true);
    fakes.files.answerWithFilter(path("graph.jpg"), 2);
    main->tbToolBar_ButtonMenuClick(QStringLiteral("Save graph"));
    QImageReader jpeg(path("graph.jpg"));
    EXPECT_EQ(jpeg.format(), "jpeg");
    const QImage back = jpeg.read();
    ASSERT_EQ(back.size(), shown.size());
    EXPECT_LT(meanDifference(back, shown), 3.0);
    EXPECT_TRUE(temporaryBitmaps().isEmpty());
    EXPECT_TRUE(fakes.messages.shown.empty());

    // The shared dialog comes back with the filter chosen last; a cancel writes nothing.
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    fakes.files.cancel();
    action(main, "mnuFileSaveGraph")->trigger();
    EXPECT_EQ(fakes.files.requests.back().filterIndex, 2);
    expectOneMessage(platform::Icon::Information, "Graph could not be saved!");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), files);
}

// The file's content follows its extension: the filter kept from the last export decides only
// for a name typed without ".bmp", ".jpg" or ".jpeg", and then lends it its extension.
TEST_F(Export, ATypedExtensionDecidesTheFormat)
{
    ASSERT_NE(openSmall(), nullptr);
    struct Case {
        int filter;
        const char* typed;
        const char* written;
        const char* format;
    };
    const Case cases[] = {
        {2, "g3.bmp", "g3.bmp", "BMP"},     {1, "g4.JPG", "g4.JPG", "JPEG"}, {1, "g5.jpeg", "g5.jpeg", "JPEG"},
        {2, "g6.Bmp", "g6.Bmp", "BMP"},     {2, "g7", "g7.jpg", "JPEG"},     {1, "g8", "g8.bmp", "BMP"},
        {2, "g9.png", "g9.png.jpg", "JPEG"},
    };
    for (const Case& c : cases) {
        saveGraphAs(path(c.typed), c.filter);
        const QString written = path(c.written);
        EXPECT_TRUE(platform::isImageFile(written, c.format)) << c.typed;  // judged by the content
        if (qstrcmp(c.typed, c.written) != 0) {
            EXPECT_FALSE(QFileInfo::exists(path(c.typed))) << c.typed;
        }
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Export, AnOverflowedDiagramIsWrittenAsShown)
{
    std::string text = bytesOf(testfiles::dataPath("small.ctd"));
    text.replace(text.find("27.5\r\n"), 6, "9e6\r\n");  // line 9, the maximum: beyond every scale
    analysis::FrmTabchild* w = open(testfiles::writeFile(dir, "wild.ctd", text));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->txtnTag(), "1");
    fakes.messages.clear();
    saveGraphAs(path("wild.bmp"), 1);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(rgb(QImage(path("wild.bmp"))), rgb(w->framedia->picture()));
}

TEST_F(Export, FailedGraphSavesNameTheFileAndKeepTheOldOne)
{
    ASSERT_NE(openSmall(), nullptr);
    const QString missing = path("missing/graph.bmp");
    saveGraphAs(missing, 1);
    expectOneMessage(platform::Icon::Critical, QDir::toNativeSeparators(missing).toStdString() + " - file can not be written!");

    // A disk that fails halfway leaves the old picture byte for byte, whichever format.
    const std::string old = "an older picture";
    for (int filter : {1, 2}) {
        fakes.messages.clear();
        const QString target = testfiles::writeFile(dir, filter == 1 ? "old.bmp" : "old.jpg", old);
        fakes.disk.failWritesAfter(10);
        saveGraphAs(target, filter);
        fakes.disk.heal();
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << filter;
        EXPECT_EQ(fakes.messages.last().icon, platform::Icon::Critical);
        EXPECT_NE(fakes.messages.last().text.find(QDir::toNativeSeparators(target).toStdString()), std::string::npos);
        EXPECT_EQ(bytesOf(target), old);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());  // no temporary left

    fakes.messages.clear();
    saveGraphAs(path("missing/graph.jpg"), 2);
    expectOneMessage(platform::Icon::Critical, "Error converting image to JPEG, the graph could not be saved!");
    EXPECT_NE(fakes.messages.last().text.find("missing"), std::string::npos);
}

TEST_F(Export, JpegCodesFollowTheImageComponents)
{
    const QImage picture(60, 40, QImage::Format_RGB32);
    const app::ImageComponents healthy = app::imageComponents();
    struct Case {
        const char* broken;
        int code;
    };
    for (const Case& c : {Case{"isBmpFile", 2}, Case{"readDib", 3}, Case{"convertDibToJpg", 4}}) {
        app::ImageComponents& ic = app::imageComponents();
        ic = healthy;
        const std::string b = c.broken;
        if (b == "isBmpFile") ic.isBmpFile = [](const QString&) { return false; };
        if (b == "readDib") ic.readDib = [](const QString&) { return QImage(); };
        if (b == "convertDibToJpg") ic.convertDibToJpg = [](const QString&, const QImage&) { return platform::WriteResult{false, "broken"}; };
        QString reason;
        EXPECT_EQ(app::SaveObjImageAsJPEG(picture, path("x.jpg"), &reason), c.code) << c.broken;
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("x.jpg")));
        EXPECT_TRUE(temporaryBitmaps().isEmpty()) << c.broken;
    }

    // A JPEG that fails its final check: the bitmap stays and the user is told where.
    app::imageComponents() = healthy;
    app::imageComponents().isJpgFile = [](const QString&) { return false; };
    EXPECT_EQ(app::SaveObjImageAsJPEG(picture, path("x.jpg")), app::JpegWritten);
    app::imageComponents() = healthy;
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.last().icon, platform::Icon::None);
    ASSERT_EQ(temporaryBitmaps().size(), 1);
    const QString kept = QDir(app::temporaryBitmapFolder()).filePath(temporaryBitmaps().front());
    EXPECT_EQ(fakes.messages.last().text,
              "JPEG compression did not succeed. A copy of it was saved in '" + QDir::toNativeSeparators(kept).toStdString() + "'.");
    EXPECT_TRUE(platform::isImageFile(kept, "BMP"));
    QFile::remove(kept);

    // Unusable targets; a probe leaves a file of the probe's name alone.
    for (const QString& bad : {QStringLiteral("/ab"), dir.path() + QStringLiteral("/"), path("missing/x.jpg")})
        EXPECT_EQ(app::SaveObjImageAsJPEG(picture, bad), app::JpegBadTarget) << bad.toStdString();
    EXPECT_FALSE(app::PathExist(QString()));
    testfiles::writeFile(dir, "Test.txt", "keep me");
    EXPECT_TRUE(app::PathExist(dir.path()));
    EXPECT_EQ(app::SaveObjImageAsJPEG(picture, path("y.jpg")), app::JpegWritten);
    EXPECT_EQ(bytesOf(path("Test.txt")), "keep me");
}

TEST_F(Export, WithoutAnActiveAnalysisWindowSaveGraphDoesNothing)
{
    ASSERT_NE(openSmall(), nullptr);
    mdiArea(main)->setActiveSubWindow(browserWindow(main));
    const std::size_t asked = fakes.files.requests.size();
    app::saveGraph();
    EXPECT_EQ(fakes.files.requests.size(), asked);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Export, NotesAreWrittenAsTyped)
{
    browser->txtNotes->setPlainText(QStringLiteral("Gr\u00FC\u00DFe \u20AC 5\nsecond line"));
    fakes.files.answer(path("notes.txt"));
    action(main, "mnuFileSaveNotepad")->trigger();
    const platform::FileDialogRequest& r = fakes.files.requests.back();
    EXPECT_EQ(r.title, "Save notepad as...");
    EXPECT_EQ(r.filter, "Textfile(*.txt)|*.txt|");
    EXPECT_EQ(r.fileName, "Notepad");
    EXPECT_EQ(r.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(bytesOf(path("notes.txt")), "Gr\xFC\xDF" "e \x80 5\r\nsecond line");  // Windows-1252, CR LF, none added
    EXPECT_TRUE(fakes.messages.shown.empty());

    fakes.files.cancel();
    main->tbToolBar_ButtonMenuClick(QStringLiteral("Save notes"));
    expectOneMessage(platform::Icon::Information, "Notepad could not be saved!");

    fakes.messages.clear();
    fakes.files.answer(path("notes.txt"));
    fakes.disk.failWritesAfter(3);
    action(main, "mnuFileSaveNotepad")->trigger();
    fakes.disk.heal();
    expectOneMessage(platform::Icon::Critical, QDir::toNativeSeparators(path("notes.txt")).toStdString() + " - file can not be written!");
    EXPECT_EQ(bytesOf(path("notes.txt")), "Gr\xFC\xDF" "e \x80 5\r\nsecond line");
}

// The JPEG export's bitmap is a fresh file each time, made exclusively: a link planted under the
// old fixed name is left alone and so is the file it names, and two exports running at once
// each convert their own picture.
TEST_F(Export, TheJpegBitmapIsAFreshFileOfItsOwn)
{
    QDir().mkpath(app::temporaryBitmapFolder());
    const QString victim = testfiles::writeFile(dir, "victim.txt", "not a picture");
    const QString planted = QDir(app::temporaryBitmapFolder()).filePath(QStringLiteral("TW_Temp.BMP"));
    ASSERT_TRUE(QFile::link(victim, planted));
    QImage red(80, 50, QImage::Format_RGB32), blue(80, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    EXPECT_EQ(app::SaveObjImageAsJPEG(red, path("red.jpg")), app::JpegWritten);
    EXPECT_TRUE(bytesOf(victim) == "not a picture");  // not written through the link
    EXPECT_TRUE(QFileInfo(planted).isSymLink());
    EXPECT_EQ(temporaryBitmaps().join(' ').toStdString(), "TW_Temp.BMP");  // nothing else left behind
    EXPECT_LT(meanDifference(QImage(path("red.jpg")), red), 3.0);

    // Two exports at once: both bitmaps are written before either is read back.
    const app::ImageComponents healthy = app::imageComponents();
    std::latch bothWritten(2);
    app::imageComponents().isBmpFile = [&](const QString& bitmap) {
        bothWritten.arrive_and_wait();
        return healthy.isBmpFile(bitmap);
    };
    int codes[2] = {-1, -1};
    std::thread first([&] { codes[0] = app::SaveObjImageAsJPEG(red, path("one.jpg")); });
    std::thread second([&] { codes[1] = app::SaveObjImageAsJPEG(blue, path("two.jpg")); });
    first.join();
    second.join();
    app::imageComponents() = healthy;
    EXPECT_EQ(codes[0], app::JpegWritten);
    EXPECT_EQ(codes[1], app::JpegWritten);
    EXPECT_LT(meanDifference(QImage(path("one.jpg")), red), 3.0);
    EXPECT_LT(meanDifference(QImage(path("two.jpg")), blue), 3.0);
    EXPECT_EQ(temporaryBitmaps().join(' ').toStdString(), "TW_Temp.BMP");
}
