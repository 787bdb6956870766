// Renders the help text (Markdown) to readme.pdf: readme_pdf <source.md> <target.pdf>
//
// The text is laid out for the PDF writer itself, so its point sizes hold on paper. The laid-out
// text is one long column that is cut into pages here: a cut falls between two paragraphs or two
// table rows, never through one; a short table stays whole, a long one cut over two pages repeats
// its heading row, and a heading stays on the page of the text that follows it.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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

QRectF blockRect(const QTextDocument& doc, const QTextBlock& b) { return doc.documentLayout()->blockBoundingRect(b); }

// A block as one span, so a paragraph is never split over two pages (a text layout draws the
// line above its clip too, which would put the last line of one page again on the next). Only a
// block too tall for a page gives its lines as spans.
std::vector<Span> blockSpans(const QTextDocument& doc, const QTextBlock& b, qreal pageHeight)
{
    std::vector<Span> spans;
    const QRectF r = blockRect(doc, b);
    const QTextLayout* layout = b.layout();
    if (!layout || layout->lineCount() == 0) return spans;
    const qreal top = r.top() + layout->lineAt(0).rect().top();
    const qreal bottom = r.top() + layout->lineAt(layout->lineCount() - 1).rect().bottom();
    if (bottom - top <= pageHeight / 2) return {{top, bottom}};
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QRectF line = layout->lineAt(i).rect();
        spans.push_back({r.top() + line.top(), r.top() + line.bottom()});
    }
    return spans;
}

// The rows of a table, each from the middle of the border above it to the middle of the border
// below it: neighbouring rows touch, so a cut may fall between any two of them.
std::vector<Span> tableRows(const QTextDocument& doc, QTextTable* table)
{
    std::vector<Span> text;  // the extent of each row's text
    for (int row = 0; row < table->rows(); ++row) {
        Span s{1e300, -1e300};
        for (int col = 0; col < table->columns(); ++col) {
            const QTextTableCell cell = table->cellAt(row, col);
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                const QTextBlock b = it.currentBlock();
                if (!b.isValid()) continue;
                const QRectF r = blockRect(doc, b);
                s.top = std::min(s.top, r.top());
                s.bottom = std::max(s.bottom, r.bottom());
            }
        }
        if (s.top <= s.bottom) text.push_back(s);
    }
    std::vector<Span> rows;
    const QRectF frame = doc.documentLayout()->frameBoundingRect(table);
    for (size_t i = 0; i < text.size(); ++i) {
        const qreal top = i == 0 ? frame.top() : (text[i - 1].bottom + text[i].top) / 2;
        const qreal bottom = i + 1 == text.size() ? frame.bottom() : (text[i].bottom + text[i + 1].top) / 2;
        rows.push_back({top, bottom});
        if (i > 0) {
            rows.back().headerTop = rows.front().top;
            rows.back().headerBottom = rows.front().bottom;
        }
    }
    return rows;
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
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            std::vector<Span> rows = tableRows(doc, table);
            // A short table stays whole; a long one may continue on the next page.
            if (!rows.empty() && rows.back().bottom - rows.front().top <= pageHeight / 3)
                rows = {{rows.front().top, rows.back().bottom}};
            add(rows, false);
        }
        else if (const QTextBlock b = it.currentBlock(); b.isValid())
            add(blockSpans(doc, b, pageHeight), b.blockFormat().headingLevel() > 0);
    }
    return spans;
}

// The pages: each ends as low as it can without cutting through a span.
std::vector<Page> paginate(const std::vector<Span>& spans, qreal total, qreal pageHeight)
{
    std::vector<Page> pages;
    Page page{0, 0};
    while (total - page.start > 0.5) {
        const qreal limit = page.start + pageHeight - (page.header.bottom - page.header.top);
        qreal cut = std::min(limit, total);
        for (bool moved = true; moved;) {
            moved = false;
            for (const Span& s : spans)
                if (s.top > page.start && s.top < cut && s.bottom > cut) {
                    cut = s.top;
                    moved = true;
                }
        }
        if (cut <= page.start) cut = limit;  // a span taller than a page is cut where the page ends
        page.end = cut;
        pages.push_back(page);
        Page next{cut, 0};
        for (const Span& s : spans)
            if (s.top >= cut - 0.5) {
                if (s.hasHeader() && s.top < cut + 0.5) next.header = {s.headerTop, s.headerBottom};
                break;
            }
        page = next;
    }
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

}  // namespace

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
    writer.setPageMargins(QMarginsF(20, 16, 20, 12), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    const QRectF paper = writer.pageLayout().paintRectPixels(kResolution).toRectF();
    const qreal width = paper.width();
    const qreal footer = 2.2 * kFooterPt * kResolution / 72.0;
    const qreal bodyHeight = paper.height() - footer;

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(kBodyPt);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setMarkdown(text);
    styleHeadings(doc);
    styleTables(doc.rootFrame());
    doc.setTextWidth(width);

    const std::vector<Page> pages = paginate(unbreakableSpans(doc, bodyHeight), doc.size().height(), bodyHeight);

    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "readme_pdf: cannot write %s\n", argv[2]);
        return 1;
    }
    QFont footerFont(QStringLiteral("Liberation Sans"));
    footerFont.setPointSizeF(kFooterPt);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        const Page& p = pages[i];
        const qreal headerHeight = p.header.bottom - p.header.top;
        if (headerHeight > 0) paintStretch(painter, doc, width, p.header.top, p.header.bottom, 0);
        paintStretch(painter, doc, width, p.start, p.end, headerHeight);
        painter.setFont(footerFont);
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, paper.height() - footer, width, footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size()));
    }
    painter.end();
    return 0;
}
