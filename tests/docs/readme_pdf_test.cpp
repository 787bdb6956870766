// The built readme.pdf read back with poppler's tools, the way a PDF viewer shows it to a reader.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

QString pdfPath() { return QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + QStringLiteral("/readme.pdf"); }

// The output of a poppler tool, or an empty text with a test failure.
QString run(const QString& tool, QStringList args)
{
    QProcess p;
    args << pdfPath();
    if (tool == QLatin1String("pdftotext")) args << QStringLiteral("-");
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Compared without any white space: where a line breaks is the layout's business.
QString squeezed(const QString& text)
{
    QString s = text.normalized(QString::NormalizationForm_KC);
    s.remove(QRegularExpression(QStringLiteral("\\s+")));
    return s;
}

struct Word {
    int page;
    double x0, y0, x1, y1;
};

struct Pdf {
    int pages = 0;
    double width = 0;
    double height = 0;
    std::vector<Word> words;   // the words of the text, page footers left out
    QStringList pageTexts;     // each page's text in the order it is drawn, footer left out
    QStringList footers;       // each page's last line
};

Pdf readPdf()
{
    Pdf pdf;
    const QString info = run(QStringLiteral("pdfinfo"), {});
    pdf.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();

    const QString raw = run(QStringLiteral("pdftotext"), {QStringLiteral("-raw")});
    QStringList pages = raw.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    for (const QString& page : pages) {
        QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        pdf.footers << (lines.isEmpty() ? QString() : lines.takeLast());
        pdf.pageTexts << lines.join(QLatin1Char('\n'));
    }

    const QString boxes = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox")});
    const QRegularExpression pageRe(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"));
    const QRegularExpression wordRe(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"));
    int page = 0;
    for (const QString& chunk : boxes.split(QStringLiteral("</page>"))) {
        const auto pm = pageRe.match(chunk);
        if (!pm.hasMatch()) continue;
        ++page;
        pdf.width = pm.captured(1).toDouble();
        pdf.height = pm.captured(2).toDouble();
        std::vector<Word> onPage;
        for (auto it = wordRe.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            onPage.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble()});
        }
        // The footer is the page's lowest line.
        double footerTop = 0;
        for (const Word& w : onPage) footerTop = std::max(footerTop, w.y0);
        for (const Word& w : onPage)
            if (w.y1 < footerTop) pdf.words.push_back(w);
    }
    return pdf;
}

// The inline text of a Markdown line: emphasis marks and escapes go, code spans stay as written.
QString inlineText(const QString& md)
{
    QString out;
    bool code = false;
    for (int i = 0; i < md.size(); ++i) {
        const QChar c = md.at(i);
        if (c == QLatin1Char('`')) code = !code;
        else if (code) out += c;
        else if (c == QLatin1Char('\\') && i + 1 < md.size()) out += md.at(++i);
        else if (c != QLatin1Char('*')) out += c;
    }
    return out;
}

struct Source {
    QStringList blocks;                 // headings, paragraphs, list items, table cells
    std::vector<QStringList> tableRows;  // the cells of each table row
};

// Reads the help source by the plain rules of its Markdown: a heading line, a table row, a list
// item (with its indented continuation lines) or a paragraph (up to an empty line).
Source readSource()
{
    QFile f(QStringLiteral(TW_README_MD));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    const QRegularExpression item(QStringLiteral("^\\s*(-|\\d+\\.)\\s+"));
    Source src;
    QString open;
    const auto flush = [&] {
        if (!open.trimmed().isEmpty()) src.blocks << inlineText(open);
        open.clear();
    };
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty()) {
            flush();
        } else if (t.startsWith(QLatin1Char('#'))) {
            flush();
            src.blocks << inlineText(t.section(QLatin1Char(' '), 1));
        } else if (t.startsWith(QLatin1Char('|'))) {
            flush();
            if (t.contains(QStringLiteral("---"))) continue;
            QStringList cells = t.mid(1, t.size() - 2).split(QLatin1Char('|'));
            for (QString& c : cells) c = inlineText(c.trimmed());
            src.tableRows.push_back(cells);
            for (const QString& c : cells)
                if (!c.isEmpty()) src.blocks << c;
        } else if (item.match(line).hasMatch()) {
            flush();
            open = line.mid(item.match(line).capturedLength());
        } else {
            open += QLatin1Char(' ') + t;
        }
    }
    flush();
    return src;
}

class ReadmePdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"pdfinfo", "pdftotext"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " (poppler-utils) is not installed, so the help document cannot be read back";
        ASSERT_TRUE(QFile::exists(pdfPath())) << pdfPath().toStdString();
        pdf = readPdf();
    }
    Pdf pdf;
};

}  // namespace

TEST_F(ReadmePdf, HasPagesEachNumbered)
{
    EXPECT_GT(pdf.pages, 1);
    ASSERT_EQ(pdf.footers.size(), pdf.pages);
    for (int i = 0; i < pdf.pages; ++i)
        EXPECT_EQ(pdf.footers[i].toStdString(), QStringLiteral("Page %1 of %2").arg(i + 1).arg(pdf.pages).toStdString());
}

TEST_F(ReadmePdf, TextIsReadableAndWithinThePage)
{
    ASSERT_FALSE(pdf.words.empty());
    std::vector<double> heights;
    for (const Word& w : pdf.words) heights.push_back(w.y1 - w.y0);
    std::sort(heights.begin(), heights.end());
    const double body = heights[heights.size() / 2];
    EXPECT_GE(body, 9.0) << "the body text's words are " << body << " pt high";
    EXPECT_GE(heights.back(), 1.4 * body) << "the largest heading is no larger than the body text";

    // Nothing, tables included, runs into the page's edge strip (10 mm).
    const double edge = 10 / 25.4 * 72;
    for (const Word& w : pdf.words) {
        EXPECT_GE(w.x0, edge) << "page " << w.page;
        EXPECT_LE(w.x1, pdf.width - edge) << "page " << w.page;
        EXPECT_GE(w.y0, edge) << "page " << w.page;
        EXPECT_LE(w.y1, pdf.height - edge) << "page " << w.page;
    }
}

TEST_F(ReadmePdf, HoldsEveryHeadingParagraphAndTableRow)
{
    const Source src = readSource();
    ASSERT_GT(src.blocks.size(), 50);
    QStringList pages;
    for (const QString& p : pdf.pageTexts) pages << squeezed(p);
    const QString all = pages.join(QString());
    for (const QString& block : src.blocks)
        EXPECT_TRUE(all.contains(squeezed(block))) << "missing: " << block.toStdString();
    // A row is read across its cells, and a page break never falls inside it.
    for (const QStringList& row : src.tableRows) {
        const QString text = squeezed(row.join(QString()));
        EXPECT_TRUE(std::any_of(pages.begin(), pages.end(), [&](const QString& p) { return p.contains(text); }))
            << "row not whole on one page: " << row.join(QStringLiteral(" | ")).toStdString();
    }
}
