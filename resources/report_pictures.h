#pragma once
// The report's pictures, drawn in code: the title picture of the report's sheets (light on
// black, for the right end of the black title bar; the build writes it beside the program as
// "title-invert.jpg") and the picture that fades in beside "Report ..." while a report is built.
#include <QImage>
#include <QSize>

namespace artwork {

QImage reportTitle();
QImage reportFade(QSize size);

}  // namespace artwork
