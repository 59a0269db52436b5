#include "ui/web/html_model.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <glib.h>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <utility>

namespace html_model {
namespace {

// Attribute numbers beyond any sensible label layout are clamped so a hostile text cannot
// ask for gigantic widgets.
constexpr int kLargestPixels = 4096;

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<int> parse_int(const std::string& text)
{
    std::string digits = trim(text);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end == digits.data())
        return std::nullopt;
    return value;
}

int pixels(const std::optional<int>& value, int fallback)
{
    if (!value || *value < 0)
        return fallback;
    return std::min(*value, kLargestPixels);
}

std::string name_of(const xmlNode* node)
{
    return node->name ? lower(reinterpret_cast<const char*>(node->name)) : std::string();
}

std::optional<std::string> attribute(const xmlNode* node, const char* name)
{
    for (const xmlAttr* attr = node->properties; attr; attr = attr->next) {
        if (!attr->name || lower(reinterpret_cast<const char*>(attr->name)) != name)
            continue;
        xmlChar* value = xmlNodeListGetString(node->doc, attr->children, 1);
        std::string text = value ? reinterpret_cast<const char*>(value) : "";
        xmlFree(value);
        return text;
    }
    return std::nullopt;
}

std::string attribute_or_empty(const xmlNode* node, const char* name)
{
    return attribute(node, name).value_or(std::string());
}

Align parse_align(const std::optional<std::string>& text)
{
    if (!text)
        return Align::Default;
    std::string value = lower(trim(*text));
    if (value == "left")
        return Align::Left;
    if (value == "center" || value == "middle")
        return Align::Center;
    if (value == "right")
        return Align::Right;
    return Align::Default;
}

std::string escape_markup(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The formatting in force at a point of the text.
struct Style {
    bool bold = false;
    bool italic = false;
    std::string color; // "#rrggbb" or empty
    std::optional<double> size; // points
    std::optional<std::string> link;
};

std::string styled_markup(const std::string& text, const Style& style)
{
    std::string markup = escape_markup(text);
    if (style.bold)
        markup = "<b>" + markup + "</b>";
    if (style.italic)
        markup = "<i>" + markup + "</i>";
    std::string span;
    if (!style.color.empty())
        span += " foreground=\"" + style.color + "\"";
    if (style.size)
        span += " size=\"" + std::to_string(std::lround(*style.size * 1024)) + "\"";
    if (!span.empty())
        markup = "<span" + span + ">" + markup + "</span>";
    if (style.link)
        markup = "<a href=\"" + escape_markup(*style.link) + "\">" + markup + "</a>";
    return markup;
}

// Builds the blocks of one content area (the body or a table cell).
class BlockBuilder {
public:
    explicit BlockBuilder(std::vector<Block>& out) : m_out(out) { }
    ~BlockBuilder() { finish_lines(); }

    void children(const xmlNode* parent, Style style)
    {
        for (const xmlNode* node = parent->children; node; node = node->next)
            element_or_text(node, style);
    }

private:
    void element_or_text(const xmlNode* node, const Style& style)
    {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (node->content)
                text(reinterpret_cast<const char*>(node->content), style);
            return;
        }
        if (node->type != XML_ELEMENT_NODE)
            return;
        std::string name = name_of(node);
        if (name == "script" || name == "style" || name == "head" || name == "title")
            return;
        if (name == "br") {
            line_break();
            return;
        }
        if (name == "img") {
            image(node, style);
            return;
        }
        if (name == "table") {
            table(node, style);
            return;
        }
        bool block_level = name == "p" || name == "div" || name == "center" || name == "tr";
        if (block_level)
            end_line_if_used();
        children(node, nested_style(node, name, style));
        if (block_level)
            end_line_if_used();
    }

    static Style nested_style(const xmlNode* node, const std::string& name, Style style)
    {
        if (name == "b" || name == "strong" || name == "th")
            style.bold = true;
        else if (name == "i" || name == "em")
            style.italic = true;
        else if (name == "font") {
            if (auto color = parse_color(attribute_or_empty(node, "color")))
                style.color = *color;
            if (auto size = parse_font_size(attribute_or_empty(node, "size")))
                style.size = *size;
        } else if (name == "a") {
            if (auto href = attribute(node, "href"))
                style.link = *href;
        }
        return style;
    }

    // HTML whitespace rules: runs collapse to one blank, and a blank shows only between
    // two pieces of content on the same line.
    void text(const std::string& raw, const Style& style)
    {
        std::string run;
        bool blank = false;
        for (char c : raw) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                blank = true;
                continue;
            }
            if (blank) {
                if (!run.empty())
                    run += ' ';
                else if (m_lines && !m_lines->lines.back().segments.empty())
                    m_pending_blank = true;
            }
            blank = false;
            run += c;
        }
        if (!run.empty())
            append_markup(styled_markup(run, style));
        if (blank && m_lines && !m_lines->lines.back().segments.empty())
            m_pending_blank = true;
    }

    void append_markup(const std::string& markup)
    {
        Line& line = current_line();
        if (line.segments.empty() || line.segments.back().kind != Segment::Kind::Markup)
            line.segments.push_back(Segment{});
        if (m_pending_blank)
            line.segments.back().markup += ' ';
        m_pending_blank = false;
        line.segments.back().markup += markup;
    }

    void image(const xmlNode* node, const Style& style)
    {
        Segment segment;
        segment.kind = Segment::Kind::Image;
        segment.source = trim(attribute_or_empty(node, "src"));
        segment.link = style.link.value_or(std::string());
        if (m_pending_blank)
            append_markup("");
        current_line().segments.push_back(std::move(segment));
    }

    void line_break()
    {
        current_line();
        m_lines->lines.push_back(Line{});
        m_pending_blank = false;
    }

    void end_line_if_used()
    {
        if (m_lines && !m_lines->lines.back().segments.empty())
            line_break();
    }

    void table(const xmlNode* node, const Style& style)
    {
        finish_lines();
        Block block;
        block.kind = Block::Kind::Table;
        Table& table = block.table;
        table.width = parse_length(attribute_or_empty(node, "width"));
        if (auto border = attribute(node, "border"))
            table.border = pixels(trim(*border).empty() ? std::optional<int>(1) : parse_int(*border), 0);
        table.cellpadding = pixels(parse_int(attribute_or_empty(node, "cellpadding")), 0);
        table.cellspacing = pixels(parse_int(attribute_or_empty(node, "cellspacing")), 0);
        table.align = parse_align(attribute(node, "align"));
        rows(node, style, table);
        m_out.push_back(std::move(block));
    }

    // Rows may sit directly in the table or in its thead / tbody / tfoot sections.
    static void rows(const xmlNode* parent, const Style& style, Table& table)
    {
        for (const xmlNode* node = parent->children; node; node = node->next) {
            if (node->type != XML_ELEMENT_NODE)
                continue;
            std::string name = name_of(node);
            if (name == "thead" || name == "tbody" || name == "tfoot") {
                rows(node, style, table);
                continue;
            }
            if (name != "tr")
                continue;
            Row row;
            Align row_align = parse_align(attribute(node, "align"));
            for (const xmlNode* cell_node = node->children; cell_node; cell_node = cell_node->next) {
                if (cell_node->type != XML_ELEMENT_NODE)
                    continue;
                std::string cell_name = name_of(cell_node);
                if (cell_name != "td" && cell_name != "th")
                    continue;
                Cell cell;
                cell.align = parse_align(attribute(cell_node, "align"));
                if (cell.align == Align::Default)
                    cell.align = cell_name == "th" ? Align::Center : row_align;
                cell.width = parse_length(attribute_or_empty(cell_node, "width"));
                {
                    BlockBuilder builder(cell.blocks);
                    builder.children(cell_node, nested_style(cell_node, cell_name, style));
                }
                row.cells.push_back(std::move(cell));
            }
            table.rows.push_back(std::move(row));
        }
    }

    Line& current_line()
    {
        if (!m_lines) {
            m_out.push_back(Block{});
            m_lines = &m_out.back();
            m_lines->lines.push_back(Line{});
        }
        return m_lines->lines.back();
    }

    void finish_lines()
    {
        // A break at the very end of a run of lines shows no empty line after it.
        if (m_lines && m_lines->lines.size() > 1 && m_lines->lines.back().segments.empty())
            m_lines->lines.pop_back();
        m_lines = nullptr;
        m_pending_blank = false;
    }

    std::vector<Block>& m_out;
    Block* m_lines = nullptr; // the run of lines being filled, the last block of m_out
    bool m_pending_blank = false;
};

const xmlNode* find_element(const xmlNode* node, const char* name)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && name_of(node) == name)
            return node;
        if (const xmlNode* inner = find_element(node->children, name))
            return inner;
    }
    return nullptr;
}

int margin(const xmlNode* body, const char* name, const char* other_name)
{
    auto value = attribute(body, name);
    if (!value)
        value = attribute(body, other_name);
    return value ? pixels(parse_int(*value), 0) : 0;
}

Body parse_body(const xmlNode* body)
{
    Body result;
    result.background = trim(attribute_or_empty(body, "background"));
    result.bgcolor = parse_color(attribute_or_empty(body, "bgcolor")).value_or(std::string());
    result.alink = parse_color(attribute_or_empty(body, "alink")).value_or(std::string());
    result.margin_top = margin(body, "margintop", "topmargin");
    result.margin_left = margin(body, "marginleft", "leftmargin");
    result.margin_right = margin(body, "marginright", "rightmargin");
    result.margin_bottom = margin(body, "marginbottom", "bottommargin");
    return result;
}

} // namespace

Document parse(const std::string& html)
{
    Document document;
    if (html.empty())
        return document;
    // Labels are handed 8-bit texts: read them as UTF-8 when they are, else as Latin-1.
    const char* encoding =
        g_utf8_validate(html.data(), static_cast<gssize>(html.size()), nullptr) ? "UTF-8" : "ISO-8859-1";
    htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(std::min<size_t>(html.size(), INT32_MAX)),
        nullptr, encoding, HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (!doc)
        return document;
    const xmlNode* root = xmlDocGetRootElement(doc);
    const xmlNode* body = find_element(root, "body");
    if (body)
        document.body = parse_body(body);
    const xmlNode* content = body ? body : root;
    if (content) {
        BlockBuilder builder(document.blocks);
        builder.children(content, Style{});
    }
    xmlFreeDoc(doc);
    return document;
}

std::optional<std::string> parse_color(const std::string& text)
{
    static constexpr std::array<std::pair<const char*, const char*>, 17> kNamed{{
        {"black", "#000000"},
        {"silver", "#c0c0c0"},
        {"gray", "#808080"},
        {"grey", "#808080"},
        {"white", "#ffffff"},
        {"maroon", "#800000"},
        {"red", "#ff0000"},
        {"purple", "#800080"},
        {"fuchsia", "#ff00ff"},
        {"green", "#008000"},
        {"lime", "#00ff00"},
        {"olive", "#808000"},
        {"yellow", "#ffff00"},
        {"navy", "#000080"},
        {"blue", "#0000ff"},
        {"teal", "#008080"},
        {"aqua", "#00ffff"},
    }};
    std::string value = lower(trim(text));
    for (const auto& [name, hex] : kNamed) {
        if (value == name)
            return std::string(hex);
    }
    std::string digits = value.starts_with('#') ? value.substr(1) : value;
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    if (digits.size() == 3)
        return std::string{'#', digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
    if (digits.size() == 6)
        return "#" + digits;
    return std::nullopt;
}

std::optional<double> parse_font_size(const std::string& text)
{
    // The seven HTML font sizes, in points.
    static constexpr std::array<double, 7> kHtmlSizes{8, 10, 12, 14, 18, 24, 36};
    std::string value = lower(trim(text));
    if (value.empty())
        return std::nullopt;
    double number = 0;
    const char* begin = value.data() + (value[0] == '+' ? 1 : 0);
    auto [end, error] = std::from_chars(begin, value.data() + value.size(), number);
    if (error != std::errc() || end == begin || !std::isfinite(number))
        return std::nullopt;
    std::string unit(end);
    double points = 0;
    if (unit == "pt")
        points = number;
    else if (unit == "px")
        points = number * 0.75;
    else if (unit.empty()) {
        bool relative = value[0] == '+' || value[0] == '-';
        long size = std::lround(relative ? 3 + number : number);
        points = kHtmlSizes[static_cast<size_t>(std::clamp(size, 1L, 7L) - 1)];
    } else
        return std::nullopt;
    if (points <= 0 || points > 200)
        return std::nullopt;
    return points;
}

std::optional<Length> parse_length(const std::string& text)
{
    std::string value = lower(trim(text));
    bool percent = value.ends_with('%');
    if (percent)
        value.pop_back();
    else if (value.ends_with("px"))
        value.resize(value.size() - 2);
    auto number = parse_int(value);
    if (!number || *number < 0 || trim(value) != std::to_string(*number))
        return std::nullopt;
    return Length{percent ? std::min(*number, 100) : std::min(*number, kLargestPixels), percent};
}

} // namespace html_model
