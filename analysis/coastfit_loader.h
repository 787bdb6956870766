#pragma once
// Binds ccoeff in libCoastfit.so, loaded by file name from the program's folder at the first
// call that finds it usable and kept loaded until the program ends.
#include "solver/coastfit.h"

#include <QString>

namespace analysis {

// The bound entry, or nullptr when the library is missing or broken, or has no ccoeff; then
// error names the file and the reason. Once bound, later calls return the same binding; after
// a failed try the next call tries the file again and says what holds then.
CcoeffFunction coastfit(QString* error = nullptr);

// Tests point the loader at another file (before the first call, or to reset the binding).
void setCoastfitPath(const QString& path);

}  // namespace analysis
