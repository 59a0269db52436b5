#include <gtest/gtest.h>

#include "ui/toast/toast_text.h"
#include "ui/web/html_model.h"
#include "ui/web/res_lookup.h"

extern "C" void kalvo_register_resource(void);

namespace {

using namespace html_model;

// The text of every markup segment of a run of lines, one string per line.
std::vector<std::string> line_markup(const Block& block)
{
    std::vector<std::string> lines;
    for (const auto& line : block.lines) {
        std::string text;
        for (const auto& segment : line.segments)
            text += segment.kind == Segment::Kind::Markup ? segment.markup : "[img " + segment.source + "]";
        lines.push_back(text);
    }
    return lines;
}

TEST(HtmlModel, ToastPageGivesBodyCloseLinkAndCentredText)
{
    Document doc = parse(toast_text::page(toast_text::wrap("Call from <b>Anna</b>")));
    EXPECT_EQ(doc.body.background, "RES:toast.png");
    EXPECT_EQ(doc.body.alink, "#ffffff");
    EXPECT_EQ(doc.body.margin_top, 0);
    ASSERT_EQ(doc.blocks.size(), 2u);

    const Table& close = doc.blocks[0].table;
    ASSERT_EQ(doc.blocks[0].kind, Block::Kind::Table);
    EXPECT_EQ(close.cellpadding, 8);
    EXPECT_EQ(close.cellspacing, 0); // written without "=": ignored
    ASSERT_TRUE(close.width);
    EXPECT_TRUE(close.width->percent);
    EXPECT_EQ(close.width->value, 100);
    ASSERT_EQ(close.rows.size(), 1u);
    ASSERT_EQ(close.rows[0].cells.size(), 1u);
    const Cell& close_cell = close.rows[0].cells[0];
    EXPECT_EQ(close_cell.align, Align::Right);
    ASSERT_EQ(close_cell.blocks.size(), 1u);
    EXPECT_EQ(line_markup(close_cell.blocks[0]),
        std::vector<std::string>{"<a href=\"kalvo://hide_toast?true\"><span foreground=\"#0099ff\" "
                                 "size=\"9216\">Close</span></a>"});

    const Cell& text_cell = doc.blocks[1].table.rows.at(0).cells.at(0);
    EXPECT_EQ(text_cell.align, Align::Center);
    EXPECT_EQ(line_markup(text_cell.blocks.at(0)),
        std::vector<std::string>{
            "<span foreground=\"#ffffff\">Call from</span> <span foreground=\"#ffffff\"><b>Anna</b></span>"});
}

TEST(HtmlModel, LineBreaksAndWhitespace)
{
    EXPECT_EQ(line_markup(parse("a<br>b<br>").blocks.at(0)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(line_markup(parse("a<br><br>b").blocks.at(0)), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(line_markup(parse("<br>a").blocks.at(0)), (std::vector<std::string>{"", "a"}));
    EXPECT_EQ(line_markup(parse("  hello \n\t <b>big</b>  world  ").blocks.at(0)),
        std::vector<std::string>{"hello <b>big</b> world"});
    EXPECT_EQ(
        line_markup(parse("<p>one</p><p>two</p>").blocks.at(0)), (std::vector<std::string>{"one", "two"}));
    // Whitespace between table tags makes no empty lines around the table.
    Document doc = parse("\n<table>\n <tr>\n  <td>x</td>\n </tr>\n</table>\n");
    ASSERT_EQ(doc.blocks.size(), 1u);
    EXPECT_EQ(doc.blocks[0].kind, Block::Kind::Table);
}

TEST(HtmlModel, TextIsEscapedForMarkupAndLinksKeepTheirText)
{
    EXPECT_EQ(line_markup(parse("a &amp; b <i>&lt;x&gt;</i> \"q\"").blocks.at(0)),
        std::vector<std::string>{"a &amp; b <i>&lt;x&gt;</i> &quot;q&quot;"});
    Document doc = parse("<a href=\"kalvo://call/?a=1&amp;b=<2>\">dial</a><a name='x'>plain</a>");
    EXPECT_EQ(line_markup(doc.blocks.at(0)),
        std::vector<std::string>{"<a href=\"kalvo://call/?a=1&amp;b=&lt;2&gt;\">dial</a>plain"});
}

TEST(HtmlModel, ImagesAndLinkedImages)
{
    Document doc =
        parse("<a href='kalvo://answer/?1'><img src='RES:answer.png'></a> <img src=\"RES:reject.png\">");
    ASSERT_EQ(doc.blocks.size(), 1u);
    const auto& segments = doc.blocks[0].lines.at(0).segments;
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].kind, Segment::Kind::Image);
    EXPECT_EQ(segments[0].source, "RES:answer.png");
    EXPECT_EQ(segments[0].link, "kalvo://answer/?1");
    EXPECT_EQ(segments[1].markup, " ");
    EXPECT_EQ(segments[2].source, "RES:reject.png");
    EXPECT_EQ(segments[2].link, "");
}

TEST(HtmlModel, TableAttributesCellsAndNesting)
{
    Document doc = parse("<body topmargin='4' marginleft=6 rightmargin='x' bgcolor='navy'>"
                         "<table width='200' border cellspacing='2' align='center'><tbody>"
                         "<tr align='right'><th>Head</th><td width='50'>a</td><td width='25%' align='left'>"
                         "<table><tr><td>inner</td></tr></table></td></tr></tbody></table></body>");
    EXPECT_EQ(doc.body.margin_top, 4);
    EXPECT_EQ(doc.body.margin_left, 6);
    EXPECT_EQ(doc.body.margin_right, 0);
    EXPECT_EQ(doc.body.bgcolor, "#000080");
    const Table& table = doc.blocks.at(0).table;
    EXPECT_EQ(table.width->value, 200);
    EXPECT_FALSE(table.width->percent);
    EXPECT_EQ(table.border, 1);
    EXPECT_EQ(table.cellspacing, 2);
    EXPECT_EQ(table.align, Align::Center);
    const auto& cells = table.rows.at(0).cells;
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].align, Align::Center);
    EXPECT_EQ(line_markup(cells[0].blocks.at(0)), std::vector<std::string>{"<b>Head</b>"});
    EXPECT_EQ(cells[1].align, Align::Right); // from the row
    EXPECT_EQ(cells[1].width->value, 50);
    EXPECT_TRUE(cells[2].width->percent);
    EXPECT_EQ(cells[2].align, Align::Left);
    EXPECT_EQ(
        cells[2].blocks.at(0).table.rows.at(0).cells.at(0).blocks.at(0).lines.at(0).segments.at(0).markup,
        "inner");
}

TEST(HtmlModel, AttributeValues)
{
    EXPECT_EQ(parse_color("#FFF"), "#ffffff");
    EXPECT_EQ(parse_color(" 0099ff "), "#0099ff");
    EXPECT_EQ(parse_color("White"), "#ffffff");
    EXPECT_FALSE(parse_color("#12345"));
    EXPECT_FALSE(parse_color("#ggg"));
    EXPECT_FALSE(parse_color("\" onload=\""));

    EXPECT_EQ(parse_font_size("9pt"), 9.0);
    EXPECT_EQ(parse_font_size("12px"), 9.0);
    EXPECT_EQ(parse_font_size("3"), 12.0);
    EXPECT_EQ(parse_font_size("+1"), 14.0);
    EXPECT_EQ(parse_font_size("-2"), 8.0);
    EXPECT_EQ(parse_font_size("99"), 36.0);
    EXPECT_FALSE(parse_font_size("9em"));
    EXPECT_FALSE(parse_font_size("0pt"));
    EXPECT_FALSE(parse_font_size("1e300pt"));
    EXPECT_FALSE(parse_font_size(""));

    EXPECT_EQ(parse_length("100%")->value, 100);
    EXPECT_EQ(parse_length("250px")->value, 250);
    EXPECT_EQ(parse_length("99999")->value, 4096);
    EXPECT_FALSE(parse_length("-5"));
    EXPECT_FALSE(parse_length("12abc"));
    EXPECT_FALSE(parse_length(""));
}

TEST(HtmlModel, UnusualInputIsReadNotRejected)
{
    // Latin-1 bytes become UTF-8 text.
    EXPECT_EQ(line_markup(parse("caf\xe9").blocks.at(0)), std::vector<std::string>{"caf\xc3\xa9"});
    EXPECT_EQ(line_markup(parse("caf\xc3\xa9").blocks.at(0)), std::vector<std::string>{"caf\xc3\xa9"});
    EXPECT_TRUE(parse("").blocks.empty());
    EXPECT_TRUE(parse("<script>alert(1)</script><style>p{}</style>").blocks.empty());
    // Malformed and deeply nested markup parses without harm.
    std::string deep;
    for (int i = 0; i < 3000; ++i)
        deep += "<table><tr><td><font color='red'><b>";
    EXPECT_NO_FATAL_FAILURE(parse(deep + "x"));
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 37) % 256);
    EXPECT_NO_FATAL_FAILURE(parse(noise));
    EXPECT_EQ(parse("<font size='7' color='junk'>x</font>").blocks.at(0).lines.at(0).segments.at(0).markup,
        "<span size=\"36864\">x</span>");
}

TEST(ResLookup, NamesAreComparedWithoutCase)
{
    kalvo_register_resource();
    EXPECT_EQ(res_lookup::resource_path("RES:toast.png"), "/kalvo/res/toast.png");
    EXPECT_EQ(res_lookup::resource_path("res:TOAST.PNG"), "/kalvo/res/toast.png");
    EXPECT_EQ(res_lookup::resource_path("RES:Answer.Png"), "/kalvo/res/answer.png");
    EXPECT_FALSE(res_lookup::resource_path("RES:missing.png"));
    EXPECT_FALSE(res_lookup::resource_path("RES:../icons/207.png"));
    EXPECT_FALSE(res_lookup::resource_path("RES:"));
    EXPECT_FALSE(res_lookup::resource_path("toast.png"));
    EXPECT_FALSE(res_lookup::resource_path("/kalvo/res/toast.png"));
}

} // namespace
