#include "platform/services.h"

#include "platform/textfile.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

FileDialogStart fileDialogStart(const FileDialogRequest& request, const QString& lastFolder)
{
    return {request.initialDir.isEmpty() ? lastFolder : request.initialDir, request.fileName};
}

namespace {

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonDef {
    QMessageBox::StandardButton qt;
    Answer answer;
};

std::vector<ButtonDef> buttonsOf(Buttons b)
{
    switch (b) {
    case Buttons::Ok: return {{QMessageBox::Ok, Answer::Ok}};
    case Buttons::OkCancel: return {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{QMessageBox::Abort, Answer::Abort}, {QMessageBox::Retry, Answer::Retry}, {QMessageBox::Ignore, Answer::Ignore}};
    case Buttons::YesNoCancel:
        return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::YesNo: return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
    case Buttons::RetryCancel: return {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
    }
    return {{QMessageBox::Ok, Answer::Ok}};
}

class QtMessages final : public MessageService {
public:
    Answer show(const Message& message, QWidget* parent) override
    {
        QMessageBox box(parent ? parent : QApplication::activeWindow());
        box.setWindowModality(Qt::ApplicationModal);
        box.setIcon(qtIcon(message.icon));
        box.setWindowTitle(message.title.empty() ? QStringLiteral("Tarnwell") : QString::fromStdString(message.title));
        box.setText(QString::fromStdString(message.text));
        const auto defs = buttonsOf(message.buttons);
        QMessageBox::StandardButtons set;
        for (const auto& d : defs) set |= d.qt;
        box.setStandardButtons(set);
        const size_t def = static_cast<size_t>(message.defaultButton > 0 ? message.defaultButton - 1 : 0);
        box.setDefaultButton(defs[def < defs.size() ? def : 0].qt);
        // Closing the box with Escape or the title bar answers Cancel where there is one.
        const int pressed = box.exec();
        for (const auto& d : defs)
            if (pressed == d.qt) return d.answer;
        for (const auto& d : defs)
            if (d.answer == Answer::Cancel) return Answer::Cancel;
        return defs.size() == 1 ? defs.front().answer : Answer::None;
    }
};

// The extension of the first pattern of the classic filter's entry (1-based): "jpg" for entry 2
// of "Bitmap(*.bmp)|*.bmp|JPEG Image (*.jpg) |*.jpg|".
QString filterSuffix(const QString& classic, int filterIndex)
{
    const QStringList parts = classic.split(QLatin1Char('|'));
    const qsizetype at = 2 * (static_cast<qsizetype>(filterIndex) - 1) + 1;
    if (filterIndex < 1 || at >= parts.size()) return {};
    const QString pattern = parts.at(at).trimmed();
    if (!pattern.startsWith(QLatin1String("*."))) return {};
    qsizetype end = 2;
    while (end < pattern.size() && pattern.at(end).isLetterOrNumber()) ++end;
    return pattern.mid(2, end - 2);
}

bool hasExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return false;  // none, or a name that only starts with a dot
    const QString ext = fileName.mid(dot + 1);
    bool letter = false;
    for (const QChar c : ext) {
        if (c.unicode() > 127 || !c.isLetterOrNumber()) return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

class QtFileDialogs final : public FileDialogService {
public:
    std::optional<QStringList> ask(const FileDialogRequest& r, QWidget* parent) override
    {
        const FileDialogStart start = fileDialogStart(r, folders_.value(r.dialogName));
        QString title = r.title;
        if (title.isEmpty()) {  // the titles the named dialogs carry of their own
            if (r.dialogName == QLatin1String("cdltxtinput")) title = QStringLiteral("Open Ascii-file");
            else if (r.dialogName == QLatin1String("dlgCreatectd")) title = QStringLiteral("Save ctd-file");
        }
        QWidget* owner = parent ? parent : QApplication::activeWindow();
        QFileDialog dlg(owner, title, start.folder);
        dlg.setWindowModality(Qt::ApplicationModal);
        const QStringList filters = qtFilterFromClassic(r.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            const int idx = r.filterIndex >= 1 && r.filterIndex <= filters.size() ? r.filterIndex - 1 : 0;
            dlg.selectNameFilter(filters.at(idx));
        }
        switch (r.kind) {
        case FileDialogKind::Open:
            dlg.setAcceptMode(QFileDialog::AcceptOpen);
            dlg.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileDialogKind::OpenMany:
            dlg.setAcceptMode(QFileDialog::AcceptOpen);
            dlg.setFileMode(QFileDialog::ExistingFiles);
            break;
        case FileDialogKind::Save:
            // No default suffix of the dialog's own: a native dialog asks about the name as
            // typed and would let the suffixed one be replaced unasked; saveTarget asks.
            dlg.setAcceptMode(QFileDialog::AcceptSave);
            dlg.setFileMode(QFileDialog::AnyFile);
            break;
        }
        if (!start.fileName.isEmpty()) dlg.selectFile(start.fileName);
        QStringList chosen;
        int filterIndex = 1;
        for (;;) {
            if (dlg.exec() != QDialog::Accepted) return std::nullopt;
            chosen = dlg.selectedFiles();
            if (chosen.isEmpty()) return std::nullopt;
            filterIndex = filters.isEmpty() ? 1 : std::max(1, static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1);
            if (r.kind != FileDialogKind::Save) break;
            if (const std::optional<QString> target = saveTarget(r, chosen.front(), filterIndex, owner)) {
                chosen.front() = *target;
                break;
            }
        }
        const QFileInfo first(chosen.front());
        folders_[r.dialogName] = first.absolutePath();
        files_[r.dialogName] = first.fileName();
        filterIndexes_[r.dialogName] = filterIndex;
        return chosen;
    }
    QString lastFolder(const QString& name) const override { return folders_.value(name); }
    QString lastFileName(const QString& name) const override { return files_.value(name); }
    int lastFilterIndex(const QString& name) const override { return filterIndexes_.value(name, 1); }

private:
    QHash<QString, QString> folders_;
    QHash<QString, QString> files_;
    QHash<QString, int> filterIndexes_;
};

class QtColorDialog final : public ColorDialogService {
public:
    std::optional<QColor> ask(const QColor& initial, QWidget* parent) override;
};

class QtSettings final : public SettingsService {
public:
    QVariant value(const QString& section, const QString& key, const QVariant& fallback) const override
    {
        QSettings s;
        return s.value(section + QLatin1Char('/') + key, fallback);
    }
    void setValue(const QString& section, const QString& key, const QVariant& value) override
    {
        QSettings s;
        s.setValue(section + QLatin1Char('/') + key, value);
    }
};

class QtClipboard final : public ClipboardService {
public:
    QString text() const override
    {
        const QClipboard* c = QGuiApplication::clipboard();
        return c ? c->text() : QString();
    }
    bool hasText() const override
    {
        const QClipboard* c = QGuiApplication::clipboard();
        if (!c) return false;
        const QMimeData* m = c->mimeData();
        return m && m->hasText() && !m->text().isEmpty();
    }
    void setText(const QString& text) override
    {
        if (QClipboard* c = QGuiApplication::clipboard()) c->setText(text);
    }
    QImage image() const override
    {
        const QClipboard* c = QGuiApplication::clipboard();
        return c ? c->image() : QImage();
    }
    void setImage(const QImage& image) override
    {
        if (QClipboard* c = QGuiApplication::clipboard()) c->setImage(image);
    }
    void clear() override
    {
        if (QClipboard* c = QGuiApplication::clipboard()) c->clear();
    }
};

QString gOpener;  // empty: xdg-open from the PATH
int gVerdictMs = kOpenerVerdictMs;
int gOpenersRunning = 0;

// The opener's exit status as a result code (xdg-open's: 1 syntax error, 2 file missing, 3 no
// method of opening found, 4 the action failed: the program it chose for the file failed,
// 5 no permission to read).
int codeOfOpenerExit(int status)
{
    switch (status) {
    case 0: return 42;
    case 2: return 2;
    case 3: return 31;
    case 4: return kChosenProgramFailed;
    case 5: return 5;
    default: return 0;
    }
}

// The opener runs beside the program: xdg-open waits for the program it starts on some
// desktops, so nothing here waits for it. Its failure arrives when it ends.
class QtShell final : public ShellService {
public:
    int openDocument(const QString& path, const std::function<void(int)>& lateFailure) override
    {
        const QFileInfo info(path);
        if (!QFileInfo(info.absolutePath()).isDir()) return 3;
        if (!info.exists() || info.isDir()) return 2;
        if (!info.isReadable()) return 5;
        const QString program = gOpener.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : gOpener;
        if (program.isEmpty()) return kOpenerMissing;

        auto* opener = new QProcess;  // no parent: an opener still running when the program ends lives on
        opener->setProgram(program);
        opener->setArguments({info.absoluteFilePath()});
        opener->setStandardInputFile(QProcess::nullDevice());
        opener->setStandardOutputFile(QProcess::nullDevice());
        opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        const int verdictMs = gVerdictMs;
        QObject::connect(opener, &QProcess::finished, opener,
                         [opener, clock, verdictMs, lateFailure](int status, QProcess::ExitStatus how) {
                             --gOpenersRunning;
                             opener->deleteLater();
                             const int code = how == QProcess::NormalExit ? codeOfOpenerExit(status) : 0;
                             if (code <= 32 && clock.elapsed() <= verdictMs && lateFailure) lateFailure(code);
                         });
        opener->start();
        if (!opener->waitForStarted()) {
            delete opener;
            return kOpenerMissing;
        }
        ++gOpenersRunning;
        return 42;
    }
};

template <class Iface, class Impl>
struct Slot {
    Impl qt;
    Iface* current = nullptr;
    Iface& get() { return current ? *current : qt; }
};

Slot<MessageService, QtMessages>& messageSlot() { static Slot<MessageService, QtMessages> s; return s; }
Slot<FileDialogService, QtFileDialogs>& fileSlot() { static Slot<FileDialogService, QtFileDialogs> s; return s; }
Slot<ColorDialogService, QtColorDialog>& colorSlot() { static Slot<ColorDialogService, QtColorDialog> s; return s; }
Slot<SettingsService, QtSettings>& settingsSlot() { static Slot<SettingsService, QtSettings> s; return s; }
Slot<ClipboardService, QtClipboard>& clipboardSlot() { static Slot<ClipboardService, QtClipboard> s; return s; }
Slot<ShellService, QtShell>& shellSlot() { static Slot<ShellService, QtShell> s; return s; }

}  // namespace

}  // namespace platform

#include <QColorDialog>

namespace platform {

std::optional<QColor> QtColorDialog::ask(const QColor& initial, QWidget* parent)
{
    QColorDialog dlg(initial, parent ? parent : QApplication::activeWindow());
    dlg.setWindowModality(Qt::ApplicationModal);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QColor c = dlg.selectedColor();
    if (!c.isValid()) return std::nullopt;
    return c;
}

MessageService& messages() { return messageSlot().get(); }
FileDialogService& fileDialogs() { return fileSlot().get(); }
ColorDialogService& colorDialog() { return colorSlot().get(); }
SettingsService& settings() { return settingsSlot().get(); }
ClipboardService& clipboard() { return clipboardSlot().get(); }
ShellService& shell() { return shellSlot().get(); }

void setMessageService(MessageService* s) { messageSlot().current = s; }
void setFileDialogService(FileDialogService* s) { fileSlot().current = s; }
void setColorDialogService(ColorDialogService* s) { colorSlot().current = s; }
void setSettingsService(SettingsService* s) { settingsSlot().current = s; }
void setClipboardService(ClipboardService* s) { clipboardSlot().current = s; }
void setShellService(ShellService* s) { shellSlot().current = s; }

Answer showMessage(const Message& message, QWidget* parent) { return messages().show(message, parent); }

int openDocument(const QString& path, std::function<void(int code)> lateFailure)
{
    if (!lateFailure)
        lateFailure = [file = path.toStdString()](int code) {
            showMessage(critical(openDocumentErrorText(code, file)), QApplication::activeWindow());
        };
    return shell().openDocument(path, lateFailure);
}

void setDocumentOpener(const QString& program, int verdictMs)
{
    gOpener = program;
    gVerdictMs = verdictMs;
}

int documentOpenersRunning() { return gOpenersRunning; }

QString completedSaveName(const FileDialogRequest& request, const QString& chosen, int filterIndex)
{
    if (request.kind != FileDialogKind::Save) return chosen;
    const QString fromFilter = request.suffixFromFilter ? filterSuffix(request.filter, filterIndex) : QString();
    const QString suffix = fromFilter.isEmpty() ? request.defaultSuffix : fromFilter;
    const QString name = QFileInfo(chosen).fileName();
    if (suffix.isEmpty() || name.isEmpty()) return chosen;
    bool typed = false;
    if (request.typedSuffixes.isEmpty()) typed = hasExtension(name);
    for (const QString& s : request.typedSuffixes)
        typed = typed || (name.size() > s.size() + 1 && name.endsWith(QLatin1Char('.') + s, Qt::CaseInsensitive));
    if (typed) return chosen;
    return chosen + (chosen.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) + suffix;
}

std::optional<QString> saveTarget(const FileDialogRequest& request, const QString& chosen, int filterIndex, QWidget* parent)
{
    const QString target = completedSaveName(request, chosen, filterIndex);
    const QFileInfo info(target);
    if (target == chosen || (!info.exists() && !info.isSymLink())) return target;
    Message ask;
    ask.icon = Icon::Exclamation;
    ask.buttons = Buttons::YesNo;
    ask.defaultButton = 2;
    ask.title = request.title.toStdString();
    ask.text = info.fileName().toStdString() + " already exists.\nDo you want to replace it?";
    if (showMessage(ask, parent) != Answer::Yes) return std::nullopt;
    return target;
}

QString qtFilterFromClassic(const QString& classic)
{
    const QStringList parts = classic.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        if (desc.isEmpty() && patterns.isEmpty()) continue;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        // Qt takes the patterns from the last parentheses of the text; add them unless the
        // description already ends with exactly these.
        const QString suffix = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (desc.endsWith(suffix)) out << desc;
        else if (desc.isEmpty()) out << suffix;
        else out << desc + QLatin1Char(' ') + suffix;
    }
    return out.join(QStringLiteral(";;"));
}

bool encodeImage(const QImage& image, const char* format, QByteArray& bytes, QString* error)
{
    auto setError = [&](const QString& e) {
        if (error) *error = e;
        return false;
    };
    bytes.clear();
    if (image.isNull()) return setError(QStringLiteral("There is no picture to save."));
    QImage img = image;
    // Neither format holds transparency; flatten onto white as a screen shows it.
    if (img.hasAlphaChannel()) {
        QImage flat(img.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, img);
        p.end();
        img = flat;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // JPEG at the image writer's own default quality.
    if (!img.save(&buffer, format)) return setError(QStringLiteral("The picture could not be written."));
    return true;
}

bool saveImage(const QImage& image, const QString& path, const char* format, QString* error)
{
    // Encoded in memory, then written like every other file, so a failing disk leaves the old
    // picture and no temporary behind.
    QByteArray bytes;
    if (!encodeImage(image, format, bytes, error)) return false;
    const WriteResult written =
        writeFileAtomic(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written.ok) {
        if (error) *error = QString::fromStdString(written.error);
        return false;
    }
    if (error) error->clear();
    return true;
}

bool isImageFile(const QString& path, const char* format)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.canRead() && reader.format().compare(QByteArray(format), Qt::CaseInsensitive) == 0;
}

QImage readImage(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

}  // namespace platform
