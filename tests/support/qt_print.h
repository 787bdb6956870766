#pragma once
// How a failed check shows Qt values: texts as text, pictures by size.
// Found by GoogleTest through the types' namespace; a test binary includes it in every file or
// in none, so each printer has one meaning.
#include <QImage>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QImage& image, std::ostream* os)
{
    if (image.isNull()) *os << "no picture";
    else *os << "a picture of " << image.width() << " x " << image.height();
}
