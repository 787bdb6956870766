#pragma once
// Data files for the window tests: the fixtures and runs generated from known coefficients.
#include "numbers/numbers.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace testfiles {

// The fixtures folder; the build names it, as the test environment's data folder may be another.
inline QString dataPath(const QString& name) { return QDir(QStringLiteral(TW_ANALYSIS_DATA)).filePath(name); }

inline QString libraryPath()
{
    return QDir(QString::fromLocal8Bit(std::getenv("TW_BIN_DIR"))).filePath(QStringLiteral("libCoastfit.so"));
}

struct Run {
    double mass = 1500, dynMass = 1545, pressure = 1.013, temperature = 20.5, area = 2.1;
    double dt = 0.1;
    std::vector<double> samples;

    // cd and fr0 that belong to F0 and k with these parameters.
    double cd(double k) const { return (2 * k * 287.1 * (273.15 + temperature)) / (pressure * 100000 * area); }
    double fr0(double f0) const { return f0 / (mass * 9.81); }
};

// A coast-down that follows M dv/dt = -(F0 + k v^2) exactly from v0.
inline Run coastDown(double f0, double k, double v0, int n)
{
    Run r;
    const double a = std::atan(std::sqrt(k / f0) * v0);
    for (int j = 0; j < n; ++j) {
        const double t = j * r.dt;
        r.samples.push_back(std::sqrt(f0 / k) * std::tan(a - std::sqrt(k * f0) * t / r.dynMass));
    }
    return r;
}

// The data file of a run whose maximum is sample `maxSample` and whose minimum is its last.
inline std::string ctdText(const Run& r, int maxSample = 1)
{
    const auto num = [](double v) { return numbers::numberToText(v); };
    std::vector<std::string> h = {"Generated", "1.1.2020", "", "Car", "Tester", "0",
                                  numbers::integerToText(static_cast<long long>(r.samples.size())), "0", "0",
                                  numbers::integerToText(static_cast<long long>(r.samples.size())),
                                  numbers::integerToText(maxSample), "0",
                                  num(r.dt), "0", num(r.mass), num(r.dynMass), num(r.pressure), num(r.temperature),
                                  num(r.area), "cfg", "wx", "road"};
    while (h.size() < 30) h.push_back("0");
    std::string out;
    for (const auto& l : h) out += l + "\r\n";
    for (double v : r.samples) out += num(v) + "\r\n";
    return out;
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const std::string& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

}  // namespace testfiles
