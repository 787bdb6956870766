// The help renderer and readme.pdf, read back with poppler's tools the way a PDF viewer shows them:
// the built help itself, a layout fixture made to cut tables and tokens at every place, and
// hostile input run through the renderer as a process of its own.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <sys/resource.h>

namespace {

QString builtPdf() { return QString::fromLocal8Bit(qgetenv("TW_BIN_DIR")) + QStringLiteral("/readme.pdf"); }

bool havePoppler()
{
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftoppm"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) return false;
    return true;
}

// The output of a poppler tool on a PDF, or an empty text with a test failure.
QString poppler(const QString& tool, QStringList args, const QString& pdf)
{
    QProcess p;
    args << pdf;
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
    int page;  // from 0
    double x0, y0, x1, y1;
    QString text;
};

struct Pdf {
    int pages = 0;
    double width = 0;
    double height = 0;
    std::vector<Word> words;         // the words of the text, page footers left out
    std::vector<double> footerTops;  // where each page's footer begins
    QStringList pageTexts;           // each page's text in the order it is drawn, footer left out
    QStringList footers;             // each page's last line
};

QString unescaped(QString xml)
{
    xml.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    xml.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    return xml.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

Pdf readPdf(const QString& path)
{
    Pdf pdf;
    const QString info = poppler(QStringLiteral("pdfinfo"), {}, path);
    pdf.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();

    const QString raw = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-raw")}, path);
    QStringList pages = raw.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    for (const QString& page : pages) {
        QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        pdf.footers << (lines.isEmpty() ? QString() : lines.takeLast());
        pdf.pageTexts << lines.join(QLatin1Char('\n'));
    }

    const QString boxes = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox")}, path);
    const QRegularExpression pageRe(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"));
    const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QString& chunk : boxes.split(QStringLiteral("</page>"))) {
        const auto pm = pageRe.match(chunk);
        if (!pm.hasMatch()) continue;
        pdf.width = pm.captured(1).toDouble();
        pdf.height = pm.captured(2).toDouble();
        std::vector<Word> onPage;
        for (auto it = wordRe.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            onPage.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble(), unescaped(m.captured(5))});
        }
        // The footer is the page's lowest line.
        double footerTop = 0;
        for (const Word& w : onPage) footerTop = std::max(footerTop, w.y0);
        pdf.footerTops.push_back(footerTop);
        for (const Word& w : onPage)
            if (w.y1 < footerTop) pdf.words.push_back(w);
        ++page;
    }
    return pdf;
}

// ---- the help's source ----------------------------------------------------------------------

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

// The words a line must never be broken in: each word of a code span (a command, a package, a
// file name) and each word that holds a slash or a middle dot between two other characters (a
// unit, "n/a").
QStringList wholeTokens(const QString& md)
{
    QStringList tokens;
    const QStringList codeParts = md.split(QLatin1Char('`'));
    for (int i = 0; i < codeParts.size(); ++i) {
        const QStringList words = codeParts[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (const QString& word : words) {
            if (i % 2 == 1) {
                if (word.size() > 1) tokens << word;
                continue;
            }
            const QString bare = inlineText(word).remove(QRegularExpression(QStringLiteral("^[\"'(*]+|[\"'),.;:!?*]+$")));
            if (QRegularExpression(QStringLiteral("[^/·][/·][^/·]")).match(bare).hasMatch()) tokens << bare;
        }
    }
    return tokens;
}

struct Source {
    QStringList blocks;                               // headings, paragraphs, list items, table cells
    std::vector<std::vector<QStringList>> tables;     // the rows of each table, its heading row first
    QStringList tokens;                               // words that must stay whole
};

// Reads a help source by the plain rules of its Markdown: a heading line, a table row, a list
// item (with its indented continuation lines) or a paragraph (up to an empty line).
Source readSource(const QString& markdown)
{
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    const QRegularExpression item(QStringLiteral("^\\s*(-|\\d+\\.)\\s+"));
    Source src;
    QString open;
    bool inTable = false;
    const auto flush = [&] {
        if (!open.trimmed().isEmpty()) src.blocks << inlineText(open);
        open.clear();
    };
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        src.tokens << wholeTokens(t);
        const bool tableLine = t.startsWith(QLatin1Char('|'));
        if (tableLine && !inTable) src.tables.emplace_back();
        inTable = tableLine;
        if (t.isEmpty()) {
            flush();
        } else if (t.startsWith(QLatin1Char('#'))) {
            flush();
            src.blocks << inlineText(t.section(QLatin1Char(' '), 1));
        } else if (tableLine) {
            flush();
            if (t.contains(QStringLiteral("---"))) continue;
            QStringList cells = t.mid(1, t.size() - 2).split(QLatin1Char('|'));
            for (QString& c : cells) c = inlineText(c.trimmed());
            src.tables.back().push_back(cells);
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
    src.tokens.removeDuplicates();
    return src;
}

QString readmeSource()
{
    QFile f(QStringLiteral(TW_README_MD));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

// ---- the renderer as a process ----------------------------------------------------------------

struct Rendering {
    bool ended = false;
    int exitCode = -1;
    QString errors;
};

// Runs the renderer with a time limit; `fileSizeLimit` makes every write beyond it fail. Outside
// a sanitizer build the renderer also gets a bound on its memory, so a renderer that runs away
// fails the test instead of the machine.
Rendering render(const QString& source, const QString& target, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([fileSizeLimit] {
        const rlimit size{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &size);
        std::signal(SIGXFSZ, SIG_IGN);
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{rlim_t{4} << 30, rlim_t{4} << 30};
        setrlimit(RLIMIT_AS, &memory);
#endif
    });
    p.start(QStringLiteral(TW_README_PDF_TOOL), {source, target});
    Rendering run;
    run.ended = p.waitForFinished(60000);
    if (!run.ended) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

bool writeText(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// ---- a page as drawn ----------------------------------------------------------------------------

constexpr int kDpi = 150;

// One page rendered in grey, with its words in pixels. A rule is a pixel row dark across almost
// the whole text width, as a table's borders are and a line of text never is.
struct Sheet {
    QImage grey;
    std::vector<Word> words;
    int left = 0;
    int right = 0;
    int footerTop = 0;

    int value(int x, int y) const { return grey.constScanLine(y)[x]; }
    bool inked(int y) const
    {
        for (int x = left - 3; x < right + 3; ++x)
            if (value(x, y) < 245) return true;
        return false;
    }
    bool rule(int y) const
    {
        int dark = 0;
        for (int x = left + 3; x < right - 3; ++x) dark += value(x, y) < 200;
        return dark >= 0.9 * (right - left - 6);
    }
    bool inTextLine(int y) const
    {
        return std::any_of(words.begin(), words.end(), [y](const Word& w) { return y >= w.y0 - 2 && y <= w.y1 + 2; });
    }
};

std::vector<Sheet> drawnPages(const QString& pdfPath, const Pdf& pdf)
{
    std::vector<Sheet> out;
    QTemporaryDir dir;
    if (!dir.isValid()) return out;
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"), pdfPath, dir.filePath(QStringLiteral("page"))});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm failed: " << p.readAllStandardError().toStdString();
        return out;
    }
    const double scale = kDpi / 72.0;
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("page-*.pgm")}, QDir::Files, QDir::Name);
    for (int i = 0; i < files.size(); ++i) {
        Sheet s;
        s.grey = QImage(dir.filePath(files[i])).convertToFormat(QImage::Format_Grayscale8);
        // The text area: A4 with 20 mm at the sides.
        s.left = static_cast<int>(20 / 25.4 * kDpi);
        s.right = s.grey.width() - s.left;
        s.footerTop = static_cast<int>(pdf.footerTops.at(static_cast<size_t>(i)) * scale);
        for (const Word& w : pdf.words)
            if (w.page == i) s.words.push_back({i, w.x0 * scale, w.y0 * scale, w.x1 * scale, w.y1 * scale, w.text});
        out.push_back(std::move(s));
    }
    return out;
}

// The lowest thing drawn above a page's footer is text, or the bottom border of a table row: a
// rule with the row's left border rising above it. Anything else there (a table's top border, the
// start of its side borders, its shading) is a piece of a table left at the foot of the page.
std::optional<std::string> pieceAtFoot(const Sheet& s)
{
    int y = s.footerTop - 3;
    while (y > 0 && !s.inked(y)) --y;
    if (y <= 0 || s.inTextLine(y)) return std::nullopt;
    for (int r = y; r > y - 4; --r) {
        if (!s.rule(r)) continue;
        int x = s.left - 3;
        while (x < s.right && s.value(x, r) >= 200) ++x;
        int above = 0;
        for (int k = r - 1; k > r - 40; --k, ++above) {
            bool dark = false;
            for (int dx = 0; dx < 4; ++dx) dark = dark || s.value(x + dx, k) < 200;
            if (!dark) break;
        }
        if (above >= 12) return std::nullopt;
        return "a table border with no row above it, " + std::to_string(s.footerTop - r) + " px above the footer";
    }
    return "table ink with no text beside it, " + std::to_string(s.footerTop - y) + " px above the footer";
}

// A page that continues a table starts with the table's heading row, drawn whole: a rule (the
// table's top border) is the first thing on the page, the heading's text comes next, and a rule
// closes the heading before the next text.
std::optional<std::string> headingProblem(const Sheet& s, const QString& firstHeadingWord)
{
    if (s.words.empty()) return "no text";
    const Word first = *std::min_element(s.words.begin(), s.words.end(), [](const Word& a, const Word& b) {
        return a.y0 < b.y0 - 1 || (a.y0 <= b.y0 + 1 && a.x0 < b.x0);
    });
    if (first.text != firstHeadingWord)
        return "the page starts with \"" + first.text.toStdString() + "\", not the heading row";
    int y = 0;
    while (y < first.y0 && !s.inked(y)) ++y;
    bool topBorder = false;
    for (int r = y; r < y + 4; ++r) topBorder = topBorder || s.rule(r);
    if (!topBorder) return "the heading row has no top border";
    double nextText = s.footerTop;
    for (const Word& w : s.words)
        if (w.y0 > first.y1 + 1) nextText = std::min(nextText, w.y0);
    for (int r = static_cast<int>(first.y1); r < nextText; ++r)
        if (s.rule(r)) return std::nullopt;
    return "no border below the heading row";
}

// The page each table row stands on (-1 when it is on none whole).
int pageOf(const Pdf& pdf, const QStringList& row)
{
    const QString text = squeezed(row.join(QString()));
    for (int i = 0; i < pdf.pageTexts.size(); ++i)
        if (squeezed(pdf.pageTexts[i]).contains(text)) return i;
    return -1;
}

// Every line of the text, page after page, footers left out.
QStringList textLines(const Pdf& pdf)
{
    QStringList lines;
    for (const QString& page : pdf.pageTexts)
        for (const QString& line : page.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) lines << line.trimmed();
    return lines;
}

// ---- the documents --------------------------------------------------------------------------

// A layout fixture: tokens at every distance from a line's end, a table over several pages and
// short tables after paragraphs of growing length, so that some are pushed to the next page.
QString layoutFixture()
{
    QString md = QStringLiteral("# Layout\n\n");
    for (int para = 0; para < 6; ++para) {
        for (int i = 0; i < 24; ++i)
            md += QString(1 + (para * 24 + i) % 11, QLatin1Char('w')) +
                  QStringLiteral(" `xdg-open` N·s²/m² \"n/a\" `xdg-utils` kg/m³ `~/.cache/Tarnwell/` ");
        md += QStringLiteral("\n\n");
    }
    md += QStringLiteral("## A long table\n\n| HeadOne | HeadTwo | HeadThree |\n|---|---|---|\n");
    for (int r = 1; r <= 90; ++r)
        md += QStringLiteral("| row%1 one | row%1 two | row%1 three, a longer cell of text |\n").arg(r);
    for (int k = 1; k <= 14; ++k) {
        md += QStringLiteral("\nParagraph %1:").arg(k);
        for (int i = 0; i < 17 * k; ++i) md += QStringLiteral(" filler");
        md += QStringLiteral("\n\n| SmallHead | %1 |\n|---|---|\n| small%1 a | small%1 b |\n| small%1 c | small%1 d |\n")
                  .arg(k);
    }
    return md;
}

class RenderedHelp : public ::testing::TestWithParam<const char*> {
protected:
    // The fixture is rendered once for the suite.
    static void SetUpTestSuite()
    {
        dir = std::make_unique<QTemporaryDir>();
        const QString md = dir->filePath(QStringLiteral("layout.md"));
        fixtureRendered = writeText(md, layoutFixture()) && render(md, dir->filePath(QStringLiteral("layout.pdf"))).exitCode == 0;
    }
    static void TearDownTestSuite() { dir.reset(); }
    void SetUp() override
    {
        if (!havePoppler()) GTEST_SKIP() << "poppler-utils are not installed, so the help cannot be read back";
        if (!isReadme()) {
            ASSERT_TRUE(fixtureRendered) << "the layout fixture was not rendered";
        }
        pdfPath = isReadme() ? builtPdf() : dir->filePath(QStringLiteral("layout.pdf"));
        ASSERT_TRUE(QFile::exists(pdfPath)) << pdfPath.toStdString();
        pdf = readPdf(pdfPath);
        src = readSource(isReadme() ? readmeSource() : layoutFixture());
    }
    bool isReadme() const { return QLatin1String(GetParam()) == QLatin1String("readme.pdf"); }
    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline bool fixtureRendered = false;
    QString pdfPath;
    Pdf pdf;
    Source src;
};

class ReadmePdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler()) GTEST_SKIP() << "poppler-utils are not installed, so the help cannot be read back";
        ASSERT_TRUE(QFile::exists(builtPdf())) << builtPdf().toStdString();
        pdf = readPdf(builtPdf());
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
        EXPECT_GE(w.x0, edge) << "page " << w.page + 1;
        EXPECT_LE(w.x1, pdf.width - edge) << "page " << w.page + 1;
        EXPECT_GE(w.y0, edge) << "page " << w.page + 1;
        EXPECT_LE(w.y1, pdf.height - edge) << "page " << w.page + 1;
    }
}

TEST_F(ReadmePdf, HoldsEveryHeadingParagraphAndTableRow)
{
    const Source src = readSource(readmeSource());
    ASSERT_GT(src.blocks.size(), 50);
    QStringList pages;
    for (const QString& p : pdf.pageTexts) pages << squeezed(p);
    const QString all = pages.join(QString());
    for (const QString& block : src.blocks)
        EXPECT_TRUE(all.contains(squeezed(block))) << "missing: " << block.toStdString();
    // A row is read across its cells, and a page break never falls inside it.
    for (const auto& table : src.tables)
        for (const QStringList& row : table)
            EXPECT_GE(pageOf(pdf, row), 0) << "row not whole on one page: " << row.join(QStringLiteral(" | ")).toStdString();
}

TEST_P(RenderedHelp, ContinuedTableRepeatsItsHeadingWithItsTopBorder)
{
    const std::vector<Sheet> pages = drawnPages(pdfPath, pdf);
    ASSERT_EQ(static_cast<int>(pages.size()), pdf.pages);
    int continued = 0;
    for (const auto& table : src.tables) {
        std::set<int> bodyPages;  // rows not whole on a page are another test's failure
        for (size_t r = 1; r < table.size(); ++r)
            if (const int page = pageOf(pdf, table[r]); page >= 0) bodyPages.insert(page);
        if (bodyPages.empty()) continue;
        const int heading = pageOf(pdf, table.front());
        const int first = heading >= 0 ? std::min(heading, *bodyPages.begin()) : *bodyPages.begin();
        const QString firstWord = table.front().front().section(QLatin1Char(' '), 0, 0);
        for (int page : bodyPages) {
            if (page <= first) continue;
            ++continued;
            if (const auto problem = headingProblem(pages.at(static_cast<size_t>(page)), firstWord))
                ADD_FAILURE() << "page " << page + 1 << " continues the table under \"" << firstWord.toStdString()
                              << "\": " << *problem;
        }
    }
    if (!isReadme()) {
        EXPECT_GE(continued, 1) << "the fixture continues no table";
    }
}

TEST_P(RenderedHelp, LeavesNoPieceOfATableAtAPageFoot)
{
    const std::vector<Sheet> pages = drawnPages(pdfPath, pdf);
    ASSERT_EQ(static_cast<int>(pages.size()), pdf.pages);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (const auto problem = pieceAtFoot(pages[i])) ADD_FAILURE() << "page " << i + 1 << ": " << *problem;
    }
}

TEST_P(RenderedHelp, NeverBreaksALineInsideACommandOrAUnit)
{
    ASSERT_FALSE(src.tokens.isEmpty());
    if (isReadme()) {
        for (const char* token : {"xdg-open", "xdg-utils", "N·s²/m²", "n/a"})
            EXPECT_TRUE(src.tokens.contains(QString::fromUtf8(token))) << token << " is not a whole token in the help";
    }
    const QStringList lines = textLines(pdf);
    for (int i = 0; i + 1 < lines.size(); ++i)
        for (const QString& token : src.tokens)
            for (int k = 1; k < token.size(); ++k)
                if (lines[i].endsWith(token.left(k)) && lines[i + 1].startsWith(token.mid(k))) {
                    ADD_FAILURE() << "\"" << token.toStdString() << "\" broken: \"" << lines[i].right(20).toStdString()
                                  << "\" / \"" << lines[i + 1].left(20).toStdString() << "\"";
                }
}

INSTANTIATE_TEST_SUITE_P(Documents, RenderedHelp, ::testing::Values("readme.pdf", "layout fixture"),
                         [](const auto& info) { return std::string(info.param).substr(0, 6); });

// Input the help will never hold, which the renderer still ends on, page after page forward.
TEST(ReadmePdfRenderer, EndsOnHostileInputWithEveryWordInOrder)
{
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils are not installed, so the output cannot be read back";
    // Numbered words, so the order they come back in can be checked: 3000 of them make a text
    // several pages long, and 90 rows of two cells follow them in the tables.
    QString words;
    for (int i = 0; i < 3000; ++i) words += QStringLiteral(" w%1").arg(i, 4, 10, QLatin1Char('0'));
    QString rows;
    for (int i = 3000; i < 3180; i += 2) rows += QStringLiteral("| w%1 | w%2 |\n").arg(i).arg(i + 1);
    const struct {
        const char* name;
        QString markdown;
        int words;
    } cases[] = {
        {"a table heading taller than a page", "Before.\n\n|" + words + " | b |\n|---|---|\n" + rows + "\nAfter.\n", 3180},
        {"a table cell taller than a page", "Before.\n\n| a | b |\n|---|---|\n|" + words + " | c |\n" + rows + "\nAfter.\n",
         3180},
        {"a paragraph taller than a page", "Before.\n\n" + words + "\n\nAfter.\n", 3000},
        {"nothing", QString(), 0},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString md = dir.filePath(QStringLiteral("in.md"));
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeText(md, c.markdown));
        const Rendering run = render(md, out);
        ASSERT_TRUE(run.ended) << "the renderer did not end within a minute";
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        const Pdf pdf = readPdf(out);
        ASSERT_EQ(pdf.footers.size(), pdf.pages);
        for (int i = 0; i < pdf.pages; ++i)
            EXPECT_EQ(pdf.footers[i], QStringLiteral("Page %1 of %2").arg(i + 1).arg(pdf.pages));
        if (c.markdown.isEmpty()) continue;
        // Every word, first seen in the order written (a page cut through a text may show the
        // line above it again, hidden under the clip).
        std::vector<int> firstSeen;
        std::set<int> seen;
        const QString text = pdf.pageTexts.join(QLatin1Char('\n'));
        for (auto it = QRegularExpression(QStringLiteral("\\bw(\\d{4})\\b")).globalMatch(text); it.hasNext();) {
            const int n = it.next().captured(1).toInt();
            if (seen.insert(n).second) firstSeen.push_back(n);
        }
        EXPECT_EQ(static_cast<int>(seen.size()), c.words);
        EXPECT_TRUE(std::is_sorted(firstSeen.begin(), firstSeen.end())) << "the text is not in its order";
        EXPECT_LT(text.indexOf(QStringLiteral("Before.")), text.indexOf(QStringLiteral("w0000")));
        EXPECT_GT(text.lastIndexOf(QStringLiteral("After.")), text.lastIndexOf(QStringLiteral("w%1").arg(c.words - 1)));
    }
}

TEST(ReadmePdfRenderer, FailsWhenThePdfCannotBeWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString md = dir.filePath(QStringLiteral("in.md"));
    ASSERT_TRUE(writeText(md, readmeSource()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString existing = dir.filePath(QStringLiteral("old.pdf"));
    const struct {
        const char* name;
        QString target;
        rlim_t fileSizeLimit;
    } cases[] = {
        {"a folder that does not exist", dir.filePath(QStringLiteral("missing/readme.pdf")), RLIM_INFINITY},
        {"a folder in the file's place", dir.filePath(QStringLiteral("folder")), RLIM_INFINITY},
        {"writes that fail halfway", existing, 4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeText(existing, QStringLiteral("the document that was there")));
        const Rendering run = render(md, c.target, c.fileSizeLimit);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot write"))) << run.errors.toStdString();
        QFile old(existing);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("the document that was there"));
    }
    // Nothing left behind: no half-written file, no temporary beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name),
              QStringList({QStringLiteral("folder"), QStringLiteral("in.md"), QStringLiteral("old.pdf")}));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
}
