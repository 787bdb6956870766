#pragma once
// The non-empty lines of an imported text file, held as one text and the places of its lines:
// a string per line would take more memory than the line itself in a file of short rows.
// Copies share the text until one of them rewrites a line (the decimal comma), so the preview
// keeps the lines as read. Standard library only.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace importer {

class ImportLines {
public:
    ImportLines() = default;
    ImportLines(std::initializer_list<std::string_view> lines);  // every line as given
    ImportLines(const std::vector<std::string>& lines);          // every line as given

    std::size_t size() const { return spans_ ? spans_->size() : 0; }
    bool empty() const { return size() == 0; }
    std::string_view operator[](std::size_t i) const
    {
        const Span& s = (*spans_)[i];
        return std::string_view(text_->data() + s.begin, s.size);
    }
    // Replaces every `from` in line i by `to`, in this copy only.
    void replace(std::size_t i, char from, char to);

    // The line number of line i in the file it was read from, as an editor counts them (the
    // empty lines dropped included); i + 1 for lines made from a list.
    std::size_t fileLine(std::size_t i) const;

    std::vector<std::string> strings() const;
    bool operator==(const ImportLines& other) const;

    // The lines of a (decoded) text that are not exactly empty, by the line rule of the text
    // files (CR LF or LF ends a line; a last line without a line end counts).
    static ImportLines nonEmpty(std::string text);

private:
    struct Span {
        std::size_t begin;
        std::size_t size;
    };
    std::shared_ptr<std::string> text_;
    std::shared_ptr<const std::vector<Span>> spans_;
    bool fromText_ = false;  // made by nonEmpty: the text still holds the line ends
};

}  // namespace importer
