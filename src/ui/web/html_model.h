#pragma once
#include <optional>
#include <string>
#include <vector>

// The HTML subset small formatted labels use, parsed into a display-free model that an
// HtmlLabel turns into widgets: body background and margins; tables (width, border,
// cellpadding, cellspacing, align, column width); font colour and size, bold, line
// breaks, images and links inside text.
namespace html_model {

enum class Align { Default, Left, Center, Right };

// A length attribute: pixels, or a percentage of the space available.
struct Length {
    int value = 0;
    bool percent = false;
};

// One piece of a line: text (as Pango markup, links as <a href>) or an image.
struct Segment {
    enum class Kind { Markup, Image } kind = Kind::Markup;
    std::string markup; // Kind::Markup
    std::string source; // Kind::Image: the src attribute as written ("RES:answer.png")
    std::string link; // Kind::Image: the href of an enclosing link, unchanged; empty when none
};

// A line of segments; a <br> (or a block boundary) starts the next line.
struct Line {
    std::vector<Segment> segments;
};

struct Block;

struct Cell {
    Align align = Align::Default;
    std::optional<Length> width;
    std::vector<Block> blocks;
};

struct Row {
    std::vector<Cell> cells;
};

struct Table {
    std::optional<Length> width;
    int border = 0;
    int cellpadding = 0;
    int cellspacing = 0;
    Align align = Align::Default;
    std::vector<Row> rows;
};

// Content is a sequence of blocks: runs of text lines, and tables.
struct Block {
    enum class Kind { Lines, Table } kind = Kind::Lines;
    std::vector<Line> lines; // Kind::Lines
    Table table; // Kind::Table
};

struct Body {
    std::string background; // image address as written ("RES:toast.png"); empty when none
    std::string bgcolor; // "#rrggbb"; empty when none
    std::string alink; // active-link colour "#rrggbb"; empty when none
    int margin_top = 0;
    int margin_left = 0;
    int margin_right = 0;
    int margin_bottom = 0;
};

struct Document {
    Body body;
    std::vector<Block> blocks;
};

// Parses HTML text (UTF-8, or Latin-1 when the bytes are not valid UTF-8). Never fails:
// malformed markup gives what libxml2's recovering parser makes of it, unknown elements
// pass their content through, and unusable attribute values are ignored.
Document parse(const std::string& html);

// "#rrggbb" for an HTML colour ("#fff", "#0099ff", "0099ff", "white"); nullopt when unusable.
std::optional<std::string> parse_color(const std::string& text);

// Point size of a font size attribute ("9pt", "12px", "3", "+1", "-2"); nullopt when unusable.
std::optional<double> parse_font_size(const std::string& text);

// Pixels or percent ("100%", "250", "250px"); nullopt when unusable or negative.
std::optional<Length> parse_length(const std::string& text);

} // namespace html_model
