#include "tests/report/xlsx_reader.h"

#include <QString>
#include <QXmlStreamReader>

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <sstream>

namespace xlsx_test {

namespace {

std::uint32_t le(const std::string& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::optional<std::string> inflateRaw(const std::string& data, std::size_t size)
{
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || z.total_out != size) return std::nullopt;
    return out;
}

}  // namespace

std::map<std::string, std::string> unzip(const std::string& b)
{
    std::map<std::string, std::string> files;
    if (b.size() < 22) return files;
    std::size_t eocd = b.size() - 22;
    while (eocd > 0 && le(b, eocd, 4) != 0x06054b50) --eocd;
    if (le(b, eocd, 4) != 0x06054b50) return files;
    const std::uint32_t count = le(b, eocd + 10, 2);
    std::size_t at = le(b, eocd + 16, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (at + 46 > b.size() || le(b, at, 4) != 0x02014b50) return {};
        const std::uint32_t method = le(b, at + 10, 2);
        const std::uint32_t packed = le(b, at + 20, 4), size = le(b, at + 24, 4);
        const std::uint32_t nameLen = le(b, at + 28, 2), extra = le(b, at + 30, 2), comment = le(b, at + 32, 2);
        const std::size_t local = le(b, at + 42, 4);
        const std::string name = b.substr(at + 46, nameLen);
        if (local + 30 > b.size() || le(b, local, 4) != 0x04034b50) return {};
        const std::size_t data = local + 30 + le(b, local + 26, 2) + le(b, local + 28, 2);
        if (data + packed > b.size()) return {};
        const std::string raw = b.substr(data, packed);
        if (method == 0) {
            files[name] = raw;
        } else if (method == 8) {
            auto plain = inflateRaw(raw, size);
            if (!plain) return {};
            files[name] = *plain;
        } else {
            return {};
        }
        at += 46 + nameLen + extra + comment;
    }
    return files;
}

std::string Element::attr(const std::string& key) const
{
    const auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
}

const Element* Element::child(const std::string& n) const
{
    for (const Element& c : children)
        if (c.name == n) return &c;
    return nullptr;
}

std::vector<const Element*> Element::all(const std::string& n) const
{
    std::vector<const Element*> found;
    for (const Element& c : children) {
        if (c.name == n) found.push_back(&c);
        const auto deeper = c.all(n);
        found.insert(found.end(), deeper.begin(), deeper.end());
    }
    return found;
}

const Element* Element::first(const std::string& n) const
{
    for (const Element& c : children) {
        if (c.name == n) return &c;
        if (const Element* deeper = c.first(n)) return deeper;
    }
    return nullptr;
}

std::string Element::allText() const
{
    std::string t = text;
    for (const Element& c : children) t += c.allText();
    return t;
}

std::optional<Element> parseXml(const std::string& xml)
{
    QXmlStreamReader r(QByteArray::fromStdString(xml));
    Element root;
    std::vector<Element*> stack{&root};
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            Element e;
            e.name = r.qualifiedName().toString().toStdString();
            for (const auto& a : r.attributes()) e.attributes[a.qualifiedName().toString().toStdString()] = a.value().toString().toStdString();
            stack.back()->children.push_back(std::move(e));
            stack.push_back(&stack.back()->children.back());
        } else if (r.isEndElement()) {
            stack.pop_back();
        } else if (r.isCharacters()) {
            stack.back()->text += r.text().toString().toStdString();
        }
    }
    if (r.hasError() || root.children.size() != 1) return std::nullopt;
    return std::move(root.children.front());
}

std::string resolve(const std::string& from, const std::string& target)
{
    if (!target.empty() && target.front() == '/') return target.substr(1);
    std::string folder = from.substr(0, from.rfind('/') + 1);
    std::string t = target;
    while (t.rfind("../", 0) == 0) {
        t = t.substr(3);
        folder.pop_back();
        folder = folder.substr(0, folder.rfind('/') + 1);
    }
    return folder + t;
}

namespace {

std::string relsOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return path.substr(0, slash + 1) + "_rels/" + path.substr(slash + 1) + ".rels";
}

Font fontOf(const Element& f)
{
    Font font;
    if (const Element* n = f.child("name")) font.name = n->attr("val");
    if (const Element* n = f.child("rFont")) font.name = n->attr("val");
    if (const Element* s = f.child("sz")) font.size = std::stod(s->attr("val"));
    font.bold = f.child("b") != nullptr;
    if (const Element* v = f.child("vertAlign")) font.subscript = v->attr("val") == "subscript";
    if (const Element* c = f.child("color")) font.colour = c->attr("rgb");
    return font;
}

}  // namespace

Workbook::Workbook(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    files_ = unzip(ss.str());
    if (files_.empty()) return;
    const Element wb = part("xl/workbook.xml");
    const Element rels = part("xl/_rels/workbook.xml.rels");
    for (const Element* s : wb.all("sheet")) {
        sheetNames_.push_back(s->attr("name"));
        std::string target;
        for (const Element* rel : rels.all("Relationship"))
            if (rel->attr("Id") == s->attr("r:id")) target = rel->attr("Target");
        sheetPaths_.push_back(resolve("xl/workbook.xml", target));
    }
    ok_ = !sheetNames_.empty();
}

int Workbook::activeTab() const
{
    const Element wb = part("xl/workbook.xml");
    const Element* view = wb.first("workbookView");
    return view && !view->attr("activeTab").empty() ? std::stoi(view->attr("activeTab")) : 0;
}

std::string Workbook::file(const std::string& name) const
{
    const auto it = files_.find(name);
    return it == files_.end() ? std::string() : it->second;
}

Element Workbook::part(const std::string& name) const { return parseXml(file(name)).value_or(Element{}); }

std::string Workbook::sheetPath(const std::string& sheet) const
{
    for (std::size_t i = 0; i < sheetNames_.size(); ++i)
        if (sheetNames_[i] == sheet) return sheetPaths_[i];
    return {};
}

Element Workbook::sheetPart(const std::string& sheet) const { return part(sheetPath(sheet)); }

Style Workbook::style(int index) const
{
    Style s;
    const Element styles = part("xl/styles.xml");
    const Element* xfs = styles.first("cellXfs");
    if (!xfs || index < 0 || index >= static_cast<int>(xfs->children.size())) return s;
    const Element& xf = xfs->children[static_cast<std::size_t>(index)];
    auto nth = [&](const char* list, const std::string& id) -> const Element* {
        const Element* l = styles.first(list);
        const std::size_t i = id.empty() ? 0 : std::stoul(id);
        return l && i < l->children.size() ? &l->children[i] : nullptr;
    };
    if (const Element* f = nth("fonts", xf.attr("fontId"))) s.font = fontOf(*f);
    if (const Element* f = nth("fills", xf.attr("fillId")))
        if (const Element* p = f->child("patternFill"); p && p->attr("patternType") == "solid")
            if (const Element* c = p->child("fgColor")) s.fill = c->attr("rgb");
    if (const Element* b = nth("borders", xf.attr("borderId"))) {
        auto side = [&](const char* n) {
            const Element* e = b->child(n);
            return e ? e->attr("style") : std::string();
        };
        s.left = side("left");
        s.right = side("right");
        s.top = side("top");
        s.bottom = side("bottom");
    }
    if (const Element* a = xf.child("alignment")) {
        s.hAlign = a->attr("horizontal");
        s.vAlign = a->attr("vertical");
        s.wrap = a->attr("wrapText") == "1";
    }
    const std::string numFmt = xf.attr("numFmtId");
    if (!numFmt.empty() && numFmt != "0") {
        for (const Element* f : styles.all("numFmt"))
            if (f->attr("numFmtId") == numFmt) s.numberFormat = f->attr("formatCode");
        if (s.numberFormat.empty()) s.numberFormat = "builtin " + numFmt;
    }
    return s;
}

std::map<std::string, Cell> Workbook::cells(const std::string& sheet) const
{
    std::map<std::string, Cell> cells;
    const Element strings = part("xl/sharedStrings.xml");
    const Element ws = sheetPart(sheet);
    for (const Element* c : ws.all("c")) {
        Cell cell;
        cell.type = c->attr("t").empty() ? "n" : c->attr("t");
        if (const Element* v = c->child("v")) cell.value = v->text;
        if (const Element* f = c->child("f")) cell.formula = f->text;
        if (cell.type == "s" && !cell.value.empty()) {
            const std::size_t i = std::stoul(cell.value);
            if (i < strings.children.size()) {
                const Element& si = strings.children[i];
                cell.value = si.allText();
                for (const Element* run : si.all("r")) {
                    const Element* rPr = run->child("rPr");
                    const Element* t = run->child("t");
                    cell.runs.emplace_back(t ? t->text : std::string(), rPr ? fontOf(*rPr) : Font{});
                }
            }
        }
        cell.style = style(c->attr("s").empty() ? 0 : std::stoi(c->attr("s")));
        cells[c->attr("r")] = std::move(cell);
    }
    return cells;
}

std::vector<Anchor> Workbook::drawingAnchors(const std::string& sheet, bool wantCharts) const
{
    std::vector<Anchor> anchors;
    const std::string path = sheetPath(sheet);
    const Element ws = part(path);
    const Element* drawing = ws.first("drawing");
    if (!drawing) return anchors;
    auto target = [&](const std::string& from, const std::string& id) {
        const Element rels = part(relsOf(from));
        for (const Element* rel : rels.all("Relationship"))
            if (rel->attr("Id") == id) return resolve(from, rel->attr("Target"));
        return std::string();
    };
    const std::string drawingPath = target(path, drawing->attr("r:id"));
    const Element d = part(drawingPath);
    for (const Element* a : d.all("xdr:twoCellAnchor")) {
        const Element* chart = a->first("c:chart");
        const Element* blip = a->first("a:blip");
        if (wantCharts ? !chart : !blip) continue;
        Anchor an;
        auto num = [](const Element* e, const char* n) {
            const Element* c = e ? e->child(n) : nullptr;
            return c ? std::stol(c->text) : 0L;
        };
        const Element* from = a->child("xdr:from");
        const Element* to = a->child("xdr:to");
        an.col = static_cast<int>(num(from, "xdr:col"));
        an.row = static_cast<int>(num(from, "xdr:row"));
        an.colOffset = num(from, "xdr:colOff");
        an.rowOffset = num(from, "xdr:rowOff");
        an.toCol = static_cast<int>(num(to, "xdr:col"));
        an.toRow = static_cast<int>(num(to, "xdr:row"));
        an.toColOffset = num(to, "xdr:colOff");
        an.toRowOffset = num(to, "xdr:rowOff");
        if (const Element* ext = a->first(wantCharts ? "xdr:xfrm" : "a:xfrm"))
            if (const Element* e = ext->child("a:ext")) {
                an.width = std::stol(e->attr("cx"));
                an.height = std::stol(e->attr("cy"));
            }
        an.target = target(drawingPath, wantCharts ? chart->attr("r:id") : blip->attr("r:embed"));
        anchors.push_back(an);
    }
    return anchors;
}

std::vector<Anchor> Workbook::pictures(const std::string& sheet) const { return drawingAnchors(sheet, false); }
std::vector<Anchor> Workbook::charts(const std::string& sheet) const { return drawingAnchors(sheet, true); }

}  // namespace xlsx_test
