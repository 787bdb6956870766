// Writes the report's title picture to the file named on the command line.
#include "resources/report_pictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s title-invert.jpg\n", argv[0]);
        return 2;
    }
    QImage title = artwork::reportTitle();
    title.setDotsPerMeterX(3780);  // 96 dots per inch
    title.setDotsPerMeterY(3780);
    if (!title.save(QString::fromLocal8Bit(argv[1]), "JPEG", 92)) {
        std::fprintf(stderr, "%s could not be written\n", argv[1]);
        return 1;
    }
    return 0;
}
