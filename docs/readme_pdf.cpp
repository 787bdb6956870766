// Renders the help text (Markdown) to readme.pdf: readme_pdf <source.md> <target.pdf>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: readme_pdf <source.md> <target.pdf>\n", stderr);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "readme_pdf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString text = QString::fromUtf8(source.readAll());

    const QString target = QString::fromLocal8Bit(argv[2]);
    QPdfWriter writer(target);
    writer.setTitle(QStringLiteral("Tarnwell - Help"));
    writer.setCreator(QStringLiteral("Tarnwell"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    writer.setResolution(300);

    QTextDocument doc;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setDefaultStyleSheet(QStringLiteral("h1 { color: #1e3c78; } h2 { color: #1e3c78; } h3 { color: #2d5096; }"));
    doc.setMarkdown(text);
    doc.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());

    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "readme_pdf: cannot write %s\n", argv[2]);
        return 1;
    }
    const QSizeF page = doc.pageSize();
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.translate(0, -page.height() * i);
        const QRectF clip(0, page.height() * i, page.width(), page.height());
        doc.drawContents(&painter, clip);
        painter.restore();
    }
    painter.end();
    return 0;
}
