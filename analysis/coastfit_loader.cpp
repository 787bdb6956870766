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
    QString error;
    bool tried = false;
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
    b.tried = false;
    b.error.clear();
    b.path = path;
}

CcoeffFunction coastfit(QString* error)
{
    Binding& b = binding();
    if (!b.tried) {
        b.tried = true;
        const QString path = b.path.isEmpty() ? defaultPath() : b.path;
        if (!QFileInfo::exists(path)) {
            b.error = QStringLiteral("%1: the file does not exist.").arg(QDir::toNativeSeparators(path));
        } else {
            b.library = std::make_unique<QLibrary>(path);
            if (!b.library->load()) {
                b.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), b.library->errorString());
            } else if (auto f = reinterpret_cast<CcoeffFunction>(b.library->resolve("ccoeff"))) {
                b.entry = f;
            } else {
                b.error = QStringLiteral("%1: no entry ccoeff in the library.").arg(QDir::toNativeSeparators(path));
            }
        }
    }
    if (!b.entry && error) *error = b.error;
    return b.entry;
}

}  // namespace analysis
