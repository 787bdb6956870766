#include "import/core/import_lines.h"

#include "platform/textfile.h"

#include <algorithm>

namespace importer {

ImportLines::ImportLines(std::initializer_list<std::string_view> lines)
{
    auto text = std::make_shared<std::string>();
    auto spans = std::make_shared<std::vector<Span>>();
    for (const std::string_view line : lines) {
        spans->push_back({text->size(), line.size()});
        text->append(line);
    }
    text_ = std::move(text);
    spans_ = std::move(spans);
}

ImportLines::ImportLines(const std::vector<std::string>& lines)
{
    auto text = std::make_shared<std::string>();
    auto spans = std::make_shared<std::vector<Span>>();
    spans->reserve(lines.size());
    for (const std::string& line : lines) {
        spans->push_back({text->size(), line.size()});
        text->append(line);
    }
    text_ = std::move(text);
    spans_ = std::move(spans);
}

ImportLines ImportLines::nonEmpty(std::string text)
{
    ImportLines out;
    auto spans = std::make_shared<std::vector<Span>>();
    // Counted first: a growing table would take up to twice its room on the way.
    spans->reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::string_view line = platform::takeLine(rest);
        if (!line.empty()) spans->push_back({static_cast<std::size_t>(line.data() - text.data()), line.size()});
    }
    out.text_ = std::make_shared<std::string>(std::move(text));
    out.spans_ = std::move(spans);
    out.fromText_ = true;
    return out;
}

std::size_t ImportLines::fileLine(std::size_t i) const
{
    if (!fromText_) return i + 1;
    const std::size_t begin = (*spans_)[i].begin;
    return static_cast<std::size_t>(std::count(text_->begin(), text_->begin() + static_cast<std::ptrdiff_t>(begin), '\n')) + 1;
}

void ImportLines::replace(std::size_t i, char from, char to)
{
    const Span& s = (*spans_)[i];
    char* first = text_->data() + s.begin;
    char* last = first + s.size;
    if (std::find(first, last, from) == last) return;
    if (text_.use_count() > 1) {  // shared with a copy (the preview): write into a text of our own
        text_ = std::make_shared<std::string>(*text_);
        first = text_->data() + s.begin;
        last = first + s.size;
    }
    std::replace(first, last, from, to);
}

std::vector<std::string> ImportLines::strings() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

bool ImportLines::operator==(const ImportLines& other) const
{
    if (size() != other.size()) return false;
    for (std::size_t i = 0; i < size(); ++i)
        if ((*this)[i] != other[i]) return false;
    return true;
}

}  // namespace importer
