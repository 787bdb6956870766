// Renders the help text (Markdown) to readme.pdf: readme_pdf <source.md> <target.pdf>
//
// The text is laid out for the PDF writer itself, so its point sizes hold on paper. The laid-out
// text is one long column that is cut into pages here: a cut falls between two paragraphs or two
// table rows, never through one; a short table stays whole, a long one cut over two pages repeats
// its heading row, and a heading stays on the page of the text that follows it. A table's extent is
// what it draws, borders and shading included, so no piece of it is left at the foot of a page.
// Pages always go forward, whatever the input; a file that cannot be written is an error.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kResolution = 300;
constexpr qreal kBodyPt = 10.5;
constexpr qreal kFooterPt = 9;
const QColor kHeadingColour(0x1e, 0x3c, 0x78);

// A stretch of the column that a page cut must not go through. A row of a table after its first
// carries the extent of the table's first row, which a page that starts with it repeats on top.
struct Span {
    qreal top;
    qreal bottom;
    qreal headerTop = 0;
    qreal headerBottom = 0;
    bool hasHeader() const { return headerBottom > headerTop; }
    qreal height() const { return bottom - top; }
};

// One page: its stretch of the column and the table heading repeated above it, if any.
struct Page {
    qreal start;
    qreal end;
    Span header{0, 0};
};

void styleHeadings(QTextDocument& doc)
{
    // Sizes and the space around each level; margins are in the layout's 96-dpi units.
    struct Level {
        qreal pt;
        qreal above;
        qreal below;
    };
    static const Level levels[] = {{18, 0, 10}, {14, 16, 6}, {12, 12, 4}};
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level < 1) continue;
        const Level& l = levels[std::min(level, 3) - 1];
        QTextCursor c(b);
        QTextBlockFormat bf = b.blockFormat();
        bf.setTopMargin(l.above);
        bf.setBottomMargin(l.below);
        c.setBlockFormat(bf);
        // The importer sizes headings by a relative step, which would override a point size.
        for (QTextBlock::iterator f = b.begin(); !f.atEnd(); ++f) {
            const QTextFragment fragment = f.fragment();
            QTextCharFormat cf = fragment.charFormat();
            cf.clearProperty(QTextFormat::FontSizeAdjustment);
            cf.setFontPointSize(l.pt);
            cf.setFontWeight(QFont::Bold);
            cf.setForeground(kHeadingColour);
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(cf);
        }
    }
}

void styleTables(QTextFrame* frame)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat f = table->format();
            f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            f.setBorder(0.5);
            f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            f.setBorderBrush(QColor(0x80, 0x80, 0x80));
            f.setCellSpacing(0);
            f.setCellPadding(3);
            f.setTopMargin(4);
            f.setBottomMargin(8);
            table->setFormat(f);
            for (int col = 0; col < table->columns(); ++col) {
                QTextTableCell cell = table->cellAt(0, col);
                QTextCharFormat cf = cell.format();
                cf.setBackground(QColor(0xe6, 0xea, 0xf2));
                cell.setFormat(cf);
            }
        }
        styleTables(child);
    }
}

// Where a line may break: at a blank, and after a hyphen or a dash of the running text. Never inside
// a code span (a command, a package, a file name: `xdg-open`) nor at a slash or a middle dot between
// two characters that are not blanks (a unit such as N·s²/m², or "n/a"). Qt's line breaker offers
// those places too, so a word joiner goes there: it has no width, and text taken from the PDF does
// not hold it. It is set small and plain, so the font that draws it does not make its line taller
// and one such font serves them all.
bool joins(QChar c) { return c == QLatin1Char('/') || c == QChar(0x00B7); }

void keepTokensWhole(QTextDocument& doc)
{
    const QString joiner(QChar(0x2060));
    QTextCharFormat joinerFormat;
    joinerFormat.setFontPointSize(1);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        std::vector<bool> code(static_cast<size_t>(text.size()), false);
        for (QTextBlock::iterator f = b.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().fontFixedPitch())
                for (int i = 0; i < f.fragment().length(); ++i)
                    code[static_cast<size_t>(f.fragment().position() - b.position() + i)] = true;
        std::vector<int> places;
        QTextBoundaryFinder lines(QTextBoundaryFinder::Line, text);
        for (qsizetype p = lines.toNextBoundary(); p > 0 && p < text.size(); p = lines.toNextBoundary()) {
            const QChar before = text.at(p - 1);
            const QChar after = text.at(p);
            if (before.isSpace() || after.isSpace()) continue;
            if (joins(before) || joins(after) || (code[static_cast<size_t>(p) - 1] && code[static_cast<size_t>(p)]))
                places.push_back(static_cast<int>(p));
        }
        // One edit, or every insertion would lay the block out again for the cursor.
        QTextCursor c(b);
        c.beginEditBlock();
        for (auto p = places.rbegin(); p != places.rend(); ++p) {
            c.setPosition(b.position() + *p);
            c.insertText(joiner, joinerFormat);
        }
        c.endEditBlock();
    }
}

QRectF blockRect(const QTextDocument& doc, const QTextBlock& b) { return doc.documentLayout()->blockBoundingRect(b); }

// The lines of a block as spans.
std::vector<Span> lineSpans(const QTextDocument& doc, const QTextBlock& b)
{
    std::vector<Span> spans;
    const qreal top = blockRect(doc, b).top();
    const QTextLayout* layout = b.layout();
    for (int i = 0; layout && i < layout->lineCount(); ++i) {
        const QRectF line = layout->lineAt(i).rect();
        spans.push_back({top + line.top(), top + line.bottom()});
    }
    return spans;
}

// A block as one span, so a paragraph is never split over two pages (a text layout draws the
// line above its clip too, which would put the last line of one page again on the next). Only a
// block too tall for half a page gives its lines as spans.
std::vector<Span> blockSpans(const QTextDocument& doc, const QTextBlock& b, qreal pageHeight)
{
    std::vector<Span> lines = lineSpans(doc, b);
    if (lines.empty() || lines.back().bottom - lines.front().top > pageHeight / 2) return lines;
    return {{lines.front().top, lines.back().bottom}};
}

// What a table draws, from its top border to its bottom border. The layout's frame rectangle
// of a table lies lower than the table (it is moved by its first cell), so the table is drawn
// once into a picture and measured there.
Span tableInk(const QTextDocument& doc, qreal textTop, qreal textBottom)
{
    QPicture picture;
    QPainter painter(&picture);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, textTop, doc.textWidth(), textBottom - textTop);
    doc.documentLayout()->draw(&painter, context);
    painter.end();
    const QRect ink = picture.boundingRect();
    if (!ink.isValid()) return {textTop, textBottom};
    // A pixel more on each side: the picture rounds to whole pixels.
    return {std::min<qreal>(textTop, ink.top() - 1), std::max<qreal>(textBottom, ink.bottom() + 2)};
}

// The rows of a table, each from the middle of the border above it to the middle of the border
// below it (the first from the table's top border, the last to its bottom border): neighbouring
// rows touch, so a cut may fall between any two of them. A short table is one span. The first row
// is repeated on top of a page that continues the table, unless it is too tall for that; a row
// too tall for half a page gives the lines of its cells, so it is cut between lines.
std::vector<Span> tableSpans(const QTextDocument& doc, QTextTable* table, qreal pageHeight)
{
    struct Row {
        Span text{1e300, -1e300};
        std::vector<Span> lines;
    };
    std::vector<Row> rows;
    for (int r = 0; r < table->rows(); ++r) {
        Row row;
        for (int col = 0; col < table->columns(); ++col) {
            const QTextTableCell cell = table->cellAt(r, col);
            if (cell.row() != r || cell.column() != col) continue;  // the rest of a spanned cell
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                const QTextBlock b = it.currentBlock();
                if (!b.isValid()) continue;
                for (const Span& line : lineSpans(doc, b)) {
                    row.lines.push_back(line);
                    row.text.top = std::min(row.text.top, line.top);
                    row.text.bottom = std::max(row.text.bottom, line.bottom);
                }
            }
        }
        if (row.text.top <= row.text.bottom) rows.push_back(row);
    }
    if (rows.empty()) return {};

    const Span ink = tableInk(doc, rows.front().text.top, rows.back().text.bottom);
    std::vector<Span> bands;
    for (size_t i = 0; i < rows.size(); ++i) {
        const qreal top = i == 0 ? ink.top : (rows[i - 1].text.bottom + rows[i].text.top) / 2;
        const qreal bottom = i + 1 == rows.size() ? ink.bottom : (rows[i].text.bottom + rows[i + 1].text.top) / 2;
        bands.push_back({top, bottom});
    }
    if (ink.height() <= pageHeight / 3) return {ink};

    const Span heading = bands.front().height() <= pageHeight / 4 ? bands.front() : Span{0, 0};
    std::vector<Span> spans;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::vector<Span> pieces{bands[i]};
        if (bands[i].height() > pageHeight / 2) {
            pieces = rows[i].lines;
            std::sort(pieces.begin(), pieces.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
            // The row's top border goes with its first line, its bottom border with its last.
            pieces.front().top = bands[i].top;
            pieces.back().bottom = std::max(pieces.back().bottom, bands[i].bottom);
        }
        for (Span& s : pieces) {
            if (i > 0) {
                s.headerTop = heading.top;
                s.headerBottom = heading.bottom;
            }
            spans.push_back(s);
        }
    }
    return spans;
}

// Every span of the column in reading order. A heading is one span that reaches over the first
// line or row of what follows it, so it never ends a page.
std::vector<Span> unbreakableSpans(const QTextDocument& doc, qreal pageHeight)
{
    std::vector<Span> spans;
    int heading = -1;  // the index of a heading waiting for what follows it
    const auto add = [&](const std::vector<Span>& more, bool isHeading) {
        if (more.empty()) return;
        if (heading >= 0) spans[static_cast<size_t>(heading)].bottom = more.front().bottom;
        if (isHeading) {
            if (heading < 0) {
                spans.push_back({more.front().top, more.back().bottom});
                heading = static_cast<int>(spans.size()) - 1;
            }
            return;  // a heading under a heading joins it
        }
        heading = -1;
        spans.insert(spans.end(), more.begin(), more.end());
    };
    for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            add(tableSpans(doc, table, pageHeight), false);
        else if (const QTextBlock b = it.currentBlock(); b.isValid())
            add(blockSpans(doc, b, pageHeight), b.blockFormat().headingLevel() > 0);
    }
    return spans;
}

// The pages: each ends as low as it can without cutting through a span, and each ends below where
// it starts, so the pages always go forward. A span taller than the room on a page is cut where the
// page ends, and so is a stack of spans that would leave the page less than a quarter full.
std::vector<Page> paginate(std::vector<Span> spans, qreal total, qreal pageHeight)
{
    std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    const auto byTop = [](const Span& s, qreal y) { return s.top < y; };
    std::vector<Page> pages;
    Page page{0, 0};
    do {
        const qreal room = pageHeight - page.header.height();  // a repeated heading is at most a quarter page
        const qreal limit = page.start + room;
        qreal cut = std::min(limit, total);
        // Spans from the lowest top up: one that reaches over the cut moves it to its top.
        auto s = std::lower_bound(spans.begin(), spans.end(), cut, byTop);
        while (s != spans.begin() && (s - 1)->top > page.start) {
            --s;
            if (s->bottom > cut) cut = s->top;
        }
        if (cut < page.start + room / 4) cut = std::min(limit, total);
        page.end = cut;
        pages.push_back(page);

        Page next{cut, cut};
        const auto first = std::lower_bound(spans.begin(), spans.end(), cut - 0.5, byTop);
        if (first != spans.end() && first->top < cut + 0.5 && first->hasHeader())
            next.header = {first->headerTop, first->headerBottom};
        page = next;
    } while (total - page.start > 0.5);
    return pages;
}

// Paints the stretch [from, to) of the column at height `at` of the page.
void paintStretch(QPainter& painter, const QTextDocument& doc, qreal width, qreal from, qreal to, qreal at)
{
    painter.save();
    painter.setClipRect(QRectF(0, at, width, to - from));
    painter.translate(0, at - from);
    QAbstractTextDocumentLayout::PaintContext context;
    // Blocks and rows that only touch a cut belong to the other page; they are not drawn here at
    // all, so a text search finds each of them once.
    context.clip = QRectF(0, from + 1, width, to - from - 2);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

int fail(const char* what, const char* path, const QString& why)
{
    std::fprintf(stderr, "readme_pdf: cannot %s %s: %s\n", what, path, qPrintable(why));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: readme_pdf <source.md> <target.pdf>\n", stderr);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) return fail("read", argv[1], source.errorString());
    const QString text = QString::fromUtf8(source.readAll());

    // Written beside the target and put in its place only when whole: a failed run leaves the
    // document that was there.
    QSaveFile target(QString::fromLocal8Bit(argv[2]));
    if (!target.open(QIODevice::WriteOnly)) return fail("write", argv[2], target.errorString());
    QPdfWriter writer(&target);
    writer.setTitle(QStringLiteral("Tarnwell - Help"));
    writer.setCreator(QStringLiteral("Tarnwell"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 16, 20, 12), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    const QRectF paper = writer.pageLayout().paintRectPixels(kResolution).toRectF();
    const qreal width = paper.width();
    const qreal footer = 2.2 * kFooterPt * kResolution / 72.0;
    const qreal bodyHeight = paper.height() - footer;

    // The Markdown is read and styled in a document of its own and then copied into the one laid out
    // for the writer: with the layout there from the start, every insertion would lay the document
    // out again, and a table of a few hundred rows took seconds.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(kBodyPt);
    QTextDocument imported;
    imported.setDefaultFont(font);
    imported.setMarkdown(text);
    styleHeadings(imported);
    styleTables(imported.rootFrame());
    keepTokensWhole(imported);
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    QTextCursor(&doc).insertFragment(QTextDocumentFragment(&imported));
    doc.setTextWidth(width);

    const std::vector<Page> pages = paginate(unbreakableSpans(doc, bodyHeight), doc.size().height(), bodyHeight);

    QPainter painter;
    if (!painter.begin(&writer)) return fail("write", argv[2], QStringLiteral("the PDF writer did not start"));
    QFont footerFont(QStringLiteral("Liberation Sans"));
    footerFont.setPointSizeF(kFooterPt);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !writer.newPage()) return fail("write", argv[2], QStringLiteral("the PDF writer could not start a page"));
        const Page& p = pages[i];
        const qreal headerHeight = p.header.height();
        if (headerHeight > 0) paintStretch(painter, doc, width, p.header.top, p.header.bottom, 0);
        paintStretch(painter, doc, width, p.start, p.end, headerHeight);
        painter.setFont(footerFont);
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, paper.height() - footer, width, footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size()));
    }
    if (!painter.end()) return fail("write", argv[2], QStringLiteral("the PDF writer did not finish"));
    if (!target.commit()) return fail("write", argv[2], target.errorString());
    return 0;
}
