#include "analysis/coastfit_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <memory>

namespace analysis {
namespace {

struct Binding {
    QString path;
    std::unique_ptr<QLibrary> library;
    CcoeffFunction entry = nullptr;
};

Binding& binding()
{
    static Binding b;
    return b;
}

QString defaultPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libCoastfit.so"));
}

}  // namespace

void setCoastfitPath(const QString& path)
{
    Binding& b = binding();
    b.entry = nullptr;
    b.library.reset();  // a loaded library stays mapped; QLibrary unloads only on request
    b.path = path;
}

CcoeffFunction coastfit(QString* error)
{
    Binding& b = binding();
    if (b.entry) return b.entry;
    // Not bound yet, or the last try failed: try the file as it is now, which may have come back
    // (or been mended) since.
    const QString path = b.path.isEmpty() ? defaultPath() : b.path;
    const QString shown = QDir::toNativeSeparators(path);
    QString why;
    if (!QFileInfo::exists(path)) {
        why = QStringLiteral("%1: the file does not exist.").arg(shown);
    } else {
        auto library = std::make_unique<QLibrary>(path);
        if (!library->load()) {
            why = QStringLiteral("%1: %2").arg(shown, library->errorString());
        } else if (auto f = reinterpret_cast<CcoeffFunction>(library->resolve("ccoeff"))) {
            b.library = std::move(library);
            b.entry = f;
            return b.entry;
        } else {
            why = QStringLiteral("%1: no entry ccoeff in the library.").arg(shown);
            library->unload();  // so that a mended file is read anew at the next try
        }
    }
    if (error) *error = why;
    return nullptr;
}

}  // namespace analysis
