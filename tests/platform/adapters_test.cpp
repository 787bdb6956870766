// The Qt services themselves, against the real Qt objects: the clipboard read back in the same
// process, the settings store in a configuration folder of the test's own, and the real message
// box and file dialog driven by a timer the way a user answers them.
#include "platform/fakes.h"
#include "platform/services.h"
#include "tests/support/qt_print.h"

#include <QApplication>
#include <QClipboard>
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaEnum>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

using namespace platform;

namespace {

// Acts on the modal dialogs the next calls show, one step for each dialog shown, as soon as it
// is the active modal widget. A step ends its dialog's showing; a dialog shown with no step
// left (or left up by its step) fails the test and is closed, and a step whose dialog never
// came fails it when the script ends, so a broken service fails readably and never hangs.
class DialogScript {
public:
    DialogScript()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
    }
    ~DialogScript()
    {
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " dialog(s) of the script never came up";
    }
    DialogScript& then(std::function<void(QDialog*)> step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }

private:
    void tick()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        if (steps_.empty()) {
            ADD_FAILURE() << "a dialog no step answers: " << dialog->metaObject()->className() << " \""
                          << dialog->windowTitle().toStdString() << "\"";
            dialog->done(QDialog::Rejected);
            return;
        }
        const auto step = std::move(steps_.front());
        steps_.pop_front();
        step(dialog);
    }
    std::deque<std::function<void(QDialog*)>> steps_;
    QTimer timer_;
};

template <class T>
T* as(QDialog* dialog)
{
    auto* d = qobject_cast<T*>(dialog);
    EXPECT_NE(d, nullptr) << "shown instead: " << dialog->metaObject()->className();
    return d;
}

// ---- message boxes ------------------------------------------------------------------------

struct Press {
    QMessageBox::StandardButton button = QMessageBox::NoButton;  // clicked; NoButton: the key
    Qt::Key key = Qt::Key_unknown;
};
Press click(QMessageBox::StandardButton b) { return {b, Qt::Key_unknown}; }
Press key(Qt::Key k) { return {QMessageBox::NoButton, k}; }

std::string nameOf(Answer a)
{
    const char* names[] = {"None", "Ok", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    const auto i = static_cast<std::size_t>(a);
    return i < std::size(names) ? names[i] : "answer " + std::to_string(i);
}

}  // namespace

// Each button answers as itself; Enter takes the default button, Escape the Cancel where there
// is one (the only button of an Ok box); the box shows the title, text and icon it was given.
TEST(QtMessages, EachButtonAndKeyGivesItsAnswer)
{
    const QMessageBox::StandardButtons ok = QMessageBox::Ok, okCancel = QMessageBox::Ok | QMessageBox::Cancel,
                                       ari = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                                       ync = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                       yn = QMessageBox::Yes | QMessageBox::No,
                                       rc = QMessageBox::Retry | QMessageBox::Cancel;
    struct Case {
        Buttons buttons;
        QMessageBox::StandardButtons shown;
        int defaultButton;
        Press press;
        Answer answer;
    };
    const Case cases[] = {
        {Buttons::Ok, ok, 1, click(QMessageBox::Ok), Answer::Ok},
        {Buttons::Ok, ok, 1, key(Qt::Key_Escape), Answer::Ok},
        {Buttons::OkCancel, okCancel, 1, click(QMessageBox::Ok), Answer::Ok},
        {Buttons::OkCancel, okCancel, 1, click(QMessageBox::Cancel), Answer::Cancel},
        {Buttons::OkCancel, okCancel, 1, key(Qt::Key_Escape), Answer::Cancel},
        {Buttons::OkCancel, okCancel, 2, key(Qt::Key_Return), Answer::Cancel},
        {Buttons::AbortRetryIgnore, ari, 1, click(QMessageBox::Abort), Answer::Abort},
        {Buttons::AbortRetryIgnore, ari, 1, click(QMessageBox::Retry), Answer::Retry},
        {Buttons::AbortRetryIgnore, ari, 1, click(QMessageBox::Ignore), Answer::Ignore},
        {Buttons::AbortRetryIgnore, ari, 3, key(Qt::Key_Return), Answer::Ignore},
        {Buttons::YesNoCancel, ync, 1, click(QMessageBox::Yes), Answer::Yes},
        {Buttons::YesNoCancel, ync, 1, click(QMessageBox::No), Answer::No},
        {Buttons::YesNoCancel, ync, 1, click(QMessageBox::Cancel), Answer::Cancel},
        {Buttons::YesNoCancel, ync, 1, key(Qt::Key_Escape), Answer::Cancel},
        {Buttons::YesNoCancel, ync, 2, key(Qt::Key_Return), Answer::No},
        {Buttons::YesNo, yn, 1, click(QMessageBox::Yes), Answer::Yes},
        {Buttons::YesNo, yn, 1, click(QMessageBox::No), Answer::No},
        {Buttons::YesNo, yn, 1, key(Qt::Key_Return), Answer::Yes},
        {Buttons::YesNo, yn, 2, key(Qt::Key_Return), Answer::No},
        {Buttons::RetryCancel, rc, 1, click(QMessageBox::Retry), Answer::Retry},
        {Buttons::RetryCancel, rc, 1, click(QMessageBox::Cancel), Answer::Cancel},
        {Buttons::RetryCancel, rc, 1, key(Qt::Key_Escape), Answer::Cancel},
    };
    const std::pair<Icon, QMessageBox::Icon> icons[] = {{Icon::None, QMessageBox::NoIcon},
                                                        {Icon::Critical, QMessageBox::Critical},
                                                        {Icon::Question, QMessageBox::Question},
                                                        {Icon::Exclamation, QMessageBox::Warning},
                                                        {Icon::Information, QMessageBox::Information}};
    const QMetaEnum buttonNames =
        QMessageBox::staticMetaObject.enumerator(QMessageBox::staticMetaObject.indexOfEnumerator("StandardButtons"));
    const char* sets[] = {"Ok", "OkCancel", "AbortRetryIgnore", "YesNoCancel", "YesNo", "RetryCancel"};
    int n = 0;
    for (const Case& c : cases) {
        const auto& [icon, qtIcon] = icons[n % std::size(icons)];
        SCOPED_TRACE(std::string(sets[static_cast<int>(c.buttons)]) + ", default " + std::to_string(c.defaultButton) + ", " +
                     (c.press.button != QMessageBox::NoButton
                          ? buttonNames.valueToKey(c.press.button)
                          : c.press.key == Qt::Key_Escape ? "Escape" : "Enter"));
        Message m;
        m.buttons = c.buttons;
        m.icon = icon;
        m.defaultButton = c.defaultButton;
        m.text = "Line one\nline two \u00E4";
        m.title = n % 2 ? "CTD-Error" : "";
        const QString title = n % 2 ? QStringLiteral("CTD-Error") : QStringLiteral("Tarnwell");
        ++n;
        DialogScript script;
        script.then([&](QDialog* d) {
            QMessageBox* box = as<QMessageBox>(d);
            if (!box) return d->reject();
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->windowTitle(), title);
            EXPECT_EQ(box->text(), QString::fromUtf8(m.text));
            EXPECT_EQ(box->icon(), qtIcon);
            EXPECT_EQ(box->standardButtons(), c.shown);
            if (c.press.button == QMessageBox::NoButton) {
                QTest::keyClick(box, c.press.key);
            } else if (QAbstractButton* b = box->button(c.press.button)) {
                b->click();
            } else {
                ADD_FAILURE() << "the box has no button " << c.press.button;
            }
        });
        EXPECT_EQ(nameOf(messages().show(m)), nameOf(c.answer));
    }
}

// ---- file dialogs -------------------------------------------------------------------------

namespace {

QLineEdit* fileNameField(QFileDialog* d)
{
    auto* field = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(field, nullptr) << "the dialog has no file name field";
    return field;
}

// Fills the dialog's file name field with a name and presses Enter, as a user answers it.
void typeAndAccept(QFileDialog* d, const QString& name)
{
    QLineEdit* field = fileNameField(d);
    if (!field) return d->reject();
    field->setFocus();
    field->setText(name);
    QTest::keyClick(field, Qt::Key_Return);
    if (d->isVisible()) {
        ADD_FAILURE() << "the dialog did not take \"" << name.toStdString() << "\"";
        d->reject();
    }
}

class QtFileDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("other")));
        for (const char* name : {"run1.ctd", "run2.ctd", "Project.ctd", "other/notes.txt"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

}  // namespace

// A named dialog starts where the request says, else in the folder it was left in last, and
// keeps its own folder, file name and filter; a cancel is no answer and changes none of them.
TEST_F(QtFileDialogs, OpenKeepsEachDialogsFolderNameAndFilter)
{
    FileDialogRequest data;
    data.dialogName = QStringLiteral("cdlDataimport");
    data.title = QStringLiteral("Choose CTD-file to open...");
    data.filter = QStringLiteral("Data files (*.ctd)|*.ctd|All files|*.*|");
    data.initialDir = dir.path();
    {
        DialogScript script;
        script.then([&](QDialog* d) {
            QFileDialog* fd = as<QFileDialog>(d);
            if (!fd) return d->reject();
            EXPECT_EQ(fd->windowTitle(), data.title);
            EXPECT_EQ(fd->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(fd->directory().absolutePath(), dir.path());
            EXPECT_EQ(fd->nameFilters(), QStringList({"Data files (*.ctd)", "All files (*.*)"}));
            EXPECT_EQ(fd->selectedNameFilter(), QStringLiteral("Data files (*.ctd)"));
            typeAndAccept(fd, QStringLiteral("run2.ctd"));
        });
        EXPECT_EQ(fileDialogs().ask(data), QStringList{path("run2.ctd")});
    }
    EXPECT_EQ(fileDialogs().lastFolder(data.dialogName), dir.path());
    EXPECT_EQ(fileDialogs().lastFileName(data.dialogName), QStringLiteral("run2.ctd"));
    EXPECT_EQ(fileDialogs().lastFilterIndex(data.dialogName), 1);

    // Another named dialog, its own title, the second filter chosen.
    FileDialogRequest text;
    text.dialogName = QStringLiteral("cdltxtinput");
    text.filter = QStringLiteral("Textfile(*.txt)|*.txt|All files|*.*|");
    text.initialDir = path("other");
    {
        DialogScript script;
        script.then([&](QDialog* d) {
            QFileDialog* fd = as<QFileDialog>(d);
            if (!fd) return d->reject();
            EXPECT_EQ(fd->windowTitle(), QStringLiteral("Open Ascii-file"));
            EXPECT_EQ(fd->directory().absolutePath(), path("other"));
            fd->selectNameFilter(QStringLiteral("All files (*.*)"));
            typeAndAccept(fd, QStringLiteral("notes.txt"));
        });
        EXPECT_EQ(fileDialogs().ask(text), QStringList{path("other/notes.txt")});
    }
    EXPECT_EQ(fileDialogs().lastFolder(text.dialogName), path("other"));
    EXPECT_EQ(fileDialogs().lastFilterIndex(text.dialogName), 2);

    // Back to the first: no folder asked for, so its own last one; no name proposed; cancelled.
    data.initialDir.clear();
    {
        DialogScript script;
        script.then([&](QDialog* d) {
            QFileDialog* fd = as<QFileDialog>(d);
            if (!fd) return d->reject();
            EXPECT_EQ(fd->directory().absolutePath(), dir.path());
            if (QLineEdit* field = fileNameField(fd)) {
                EXPECT_EQ(field->text(), QString());
            }
            fd->selectNameFilter(QStringLiteral("All files (*.*)"));
            fd->reject();
        });
        EXPECT_EQ(fileDialogs().ask(data), std::nullopt);
    }
    EXPECT_EQ(fileDialogs().lastFolder(data.dialogName), dir.path());
    EXPECT_EQ(fileDialogs().lastFileName(data.dialogName), QStringLiteral("run2.ctd"));
    EXPECT_EQ(fileDialogs().lastFilterIndex(data.dialogName), 1);
    EXPECT_EQ(fileDialogs().lastFolder(text.dialogName), path("other"));
}

TEST_F(QtFileDialogs, OpenManyGivesEveryFileChosen)
{
    FileDialogRequest r;
    r.dialogName = QStringLiteral("cdlSeries");
    r.kind = FileDialogKind::OpenMany;
    r.initialDir = dir.path();
    DialogScript script;
    script.then([&](QDialog* d) {
        QFileDialog* fd = as<QFileDialog>(d);
        if (!fd) return d->reject();
        EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFiles);
        typeAndAccept(fd, QStringLiteral("\"run1.ctd\" \"run2.ctd\""));
    });
    EXPECT_EQ(fileDialogs().ask(r), QStringList({path("run1.ctd"), path("run2.ctd")}));
    EXPECT_EQ(fileDialogs().lastFileName(r.dialogName), QStringLiteral("run1.ctd"));
}

// The proposed name stands in the field; a typed name gets the default suffix, and when that
// names an existing file the real question comes up: No brings the dialog back.
TEST_F(QtFileDialogs, SaveCompletesTheNameAndAsksBeforeReplacing)
{
    FileDialogRequest r;
    r.dialogName = QStringLiteral("dlgCreatectd");
    r.kind = FileDialogKind::Save;
    r.filter = QStringLiteral("Data files (*.ctd)|*.ctd|");
    r.fileName = QStringLiteral("Proposed");
    r.initialDir = dir.path();
    r.defaultSuffix = QStringLiteral("ctd");
    DialogScript script;
    script
        .then([&](QDialog* d) {
            QFileDialog* fd = as<QFileDialog>(d);
            if (!fd) return d->reject();
            EXPECT_EQ(fd->windowTitle(), QStringLiteral("Save ctd-file"));
            EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptSave);
            if (QLineEdit* field = fileNameField(fd)) {
                EXPECT_EQ(field->text(), QStringLiteral("Proposed"));
            }
            typeAndAccept(fd, QStringLiteral("Project"));
        })
        .then([&](QDialog* d) {
            QMessageBox* box = as<QMessageBox>(d);
            if (!box) return d->reject();
            EXPECT_EQ(box->text(), QStringLiteral("Project.ctd already exists.\nDo you want to replace it?"));
            box->button(QMessageBox::No)->click();
        })
        .then([&](QDialog* d) {
            QFileDialog* fd = as<QFileDialog>(d);
            if (!fd) return d->reject();
            typeAndAccept(fd, QStringLiteral("Other"));
        });
    EXPECT_EQ(fileDialogs().ask(r), QStringList{path("Other.ctd")});
    EXPECT_EQ(fileDialogs().lastFileName(r.dialogName), QStringLiteral("Other.ctd"));
}

// ---- settings -----------------------------------------------------------------------------

namespace {

// The real store in a configuration folder of the test's own, under the program's names.
class QtSettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("Tarnwell"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        ASSERT_EQ(QSettings().fileName(), config.filePath(QStringLiteral("Tarnwell/Tarnwell.conf")))
            << "the store would not be the test's own";
    }
    void TearDown() override { QCoreApplication::setApplicationName(name); }

    const QString name = QCoreApplication::applicationName();
    QTemporaryDir config;
};

}  // namespace

TEST_F(QtSettingsStore, ThePlacementSurvivesInTheStore)
{
    ASSERT_EQ(dynamic_cast<MemorySettings*>(&settings()), nullptr);
    const char* keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    const char* values[] = {"1500", "1200", "13500", "10500"};
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(settings().value(QStringLiteral("Settings"), QLatin1String(keys[i])).isValid());
    EXPECT_EQ(settings().value(QStringLiteral("Settings"), QStringLiteral("MainLeft"), QStringLiteral("1000")).toString(), QStringLiteral("1000"));
    for (int i = 0; i < 4; ++i) settings().setValue(QStringLiteral("Settings"), QLatin1String(keys[i]), QLatin1String(values[i]));

    // A store opened afterwards, and the file itself, hold each key.
    QSettings next;
    QFile file(next.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString onDisk = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(onDisk.startsWith(QStringLiteral("[Settings]\n"))) << onDisk.toStdString();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(next.value(QStringLiteral("Settings/") + QLatin1String(keys[i])).toString(), QString::fromLatin1(values[i])) << keys[i];
        EXPECT_TRUE(onDisk.contains(QLatin1String(keys[i]) + QLatin1Char('=') + QLatin1String(values[i]))) << keys[i];
    }

    // What another store wrote is read back.
    next.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("900"));
    next.sync();
    EXPECT_EQ(settings().value(QStringLiteral("Settings"), QStringLiteral("MainTop")).toString(), QStringLiteral("900"));
}

// ---- clipboard ----------------------------------------------------------------------------

TEST(QtClipboard, TextAndPictureReachTheDesktopClipboard)
{
    ASSERT_EQ(dynamic_cast<MemoryClipboard*>(&clipboard()), nullptr);
    QClipboard* desktop = QGuiApplication::clipboard();
    const QString text = QStringLiteral("Run 1\tcd 0.312\r\nRun 2 \u00E4");
    clipboard().setText(text);
    EXPECT_EQ(desktop->text(), text);
    EXPECT_TRUE(clipboard().hasText());
    EXPECT_EQ(clipboard().text(), text);

    QImage picture(9, 5, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(20 * x, 40 * y, 200));
    clipboard().setImage(picture);
    EXPECT_EQ(desktop->image().convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(clipboard().image().convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_FALSE(clipboard().hasText());  // the picture took the text's place

    desktop->setText(QStringLiteral("from another program"));
    EXPECT_TRUE(clipboard().hasText());
    EXPECT_EQ(clipboard().text(), QStringLiteral("from another program"));
    desktop->setText(QString());
    EXPECT_FALSE(clipboard().hasText());

    clipboard().setText(text);
    clipboard().clear();
    EXPECT_TRUE(desktop->text().isEmpty());
    EXPECT_TRUE(desktop->image().isNull());
    EXPECT_FALSE(clipboard().hasText());
}
