#pragma once
// The recurring formatting blocks of the report's sheets (frames, boxes, alignment and font
// blocks, palette colours), addressed as the sheets are laid out: "C4:F12", rows from 1.
// Internal to the report core.
#include "platform/workbook.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace report::blocks {

using platform::CellRange;
using platform::Edge;
using platform::LineStyle;
using platform::Worksheet;

inline constexpr int kAutomatic = -4105;

// The range of an address built by the report ("B4", "C4:F12").
inline CellRange at(std::string_view a1) { return platform::parseRange(a1).value_or(CellRange{}); }
inline std::string row(const char* col, int r) { return col + std::to_string(r); }
inline std::string range(const char* col1, int r1, const char* col2, int r2) { return row(col1, r1) + ":" + row(col2, r2); }

// A palette colour index as the report sends it: -4105 is automatic; an index outside the
// palette is refused, so the setting keeps what the cell had.
inline std::optional<platform::Colour> colourIndex(int index)
{
    if (index == kAutomatic) return platform::Colour::automaticColour();
    return platform::paletteColour(index);
}

inline void edges(Worksheet& ws, std::string_view a1, std::initializer_list<Edge> list, LineStyle style)
{
    for (Edge e : list) ws.setBorder(at(a1), e, {style, platform::Colour::automaticColour()});
}

inline constexpr std::initializer_list<Edge> kOuterEdges = {Edge::Left, Edge::Top, Edge::Bottom, Edge::Right};

// Medium edges, no inside vertical lines.
inline void mediumBox(Worksheet& ws, std::string_view a1)
{
    edges(ws, a1, kOuterEdges, LineStyle::Medium);
    edges(ws, a1, {Edge::InsideVertical}, LineStyle::None);
}

// Thin edges, no inside lines.
inline void thinBox(Worksheet& ws, std::string_view a1)
{
    edges(ws, a1, kOuterEdges, LineStyle::Thin);
    edges(ws, a1, {Edge::InsideVertical, Edge::InsideHorizontal}, LineStyle::None);
}

// Thin edges and thin inside lines.
inline void thinGrid(Worksheet& ws, std::string_view a1)
{
    edges(ws, a1, kOuterEdges, LineStyle::Thin);
    edges(ws, a1, {Edge::InsideVertical, Edge::InsideHorizontal}, LineStyle::Thin);
}

inline void alignment(Worksheet& ws, std::string_view a1, platform::HAlign h, platform::VAlign v, bool wrap = false)
{
    ws.setAlignment(at(a1), h, v, wrap);
}

// Interior colour index with a solid pattern; an index the palette refuses leaves the
// default solid interior, white.
inline void interior(Worksheet& ws, std::string_view a1, int index)
{
    ws.setFill(at(a1), colourIndex(index).value_or(platform::Colour::of(0xFFFFFF)));
}

inline void fontColour(Worksheet& ws, std::string_view a1, int index)
{
    if (const auto c = colourIndex(index)) {
        platform::FontChange change;
        change.colour = *c;
        ws.setFont(at(a1), change);
    }
}

inline void bold(Worksheet& ws, std::string_view a1)
{
    platform::FontChange change;
    change.bold = true;
    ws.setFont(at(a1), change);
}

// A font block: the name and the style where given ("Fett" is bold, "Light" the regular
// weight), the size, strikethrough, superscript and underline off, subscript as given, the
// colour index where given.
inline platform::FontChange fontBlock(std::string name, std::string_view style, double size, std::optional<int> colour,
                                      bool subscript = false)
{
    platform::FontChange f;
    if (!name.empty()) f.name = std::move(name);
    if (style == "Fett") f.bold = true;
    if (style == "Light") f.bold = false;
    f.size = size;
    f.strikethrough = false;
    f.superscript = false;
    f.subscript = subscript;
    f.underline = false;
    if (colour) {
        if (const auto c = colourIndex(*colour)) f.colour = *c;
    }
    return f;
}

}  // namespace report::blocks
