#include "ui/web/html_label.h"

#include <gdkmm/general.h>
#include <glibmm/main.h>
#include <gtkmm/frame.h>
#include <gtkmm/grid.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <map>

#include "log/log_dlg.h"
#include "ui/web/res_lookup.h"

using html_model::Align;

namespace {

// Embedded images never change: each is decoded once, kept by its resource path so the
// cache holds at most one copy of every embedded image (interface thread only).
Glib::RefPtr<Gdk::Pixbuf> load_image(const std::string& address)
{
    static std::map<std::string, Glib::RefPtr<Gdk::Pixbuf>> decoded;
    if (address.empty())
        return {};
    auto path = res_lookup::resource_path(address);
    if (!path) {
        LogDlg::instance().append("HtmlLabel: no image " + address);
        return {};
    }
    auto found = decoded.find(*path);
    if (found != decoded.end())
        return found->second;
    try {
        auto pixbuf = Gdk::Pixbuf::create_from_resource(*path);
        decoded.emplace(*path, pixbuf);
        return pixbuf;
    } catch (const Glib::Error& error) {
        LogDlg::instance().append("HtmlLabel: cannot decode image " + address + ": " + error.what());
        return {};
    }
}

Gtk::Align widget_align(Align align)
{
    switch (align) {
    case Align::Center:
        return Gtk::ALIGN_CENTER;
    case Align::Right:
        return Gtk::ALIGN_END;
    default:
        return Gtk::ALIGN_START;
    }
}

void set_hand_cursor(Gtk::Widget& widget)
{
    widget.signal_realize().connect([&widget] {
        auto window = widget.get_window();
        if (window)
            window->set_cursor(Gdk::Cursor::create(widget.get_display(), "pointer"));
    });
}

} // namespace

HtmlLabel::HtmlLabel()
{
    set_visible_window(false);
    set_text("");
}

HtmlLabel::~HtmlLabel() = default;

void HtmlLabel::set_text(const std::string& html)
{
    m_text = html;
    html_model::Document document = html_model::parse(html);

    if (m_content)
        remove();
    m_content = std::make_unique<Gtk::Box>(Gtk::ORIENTATION_VERTICAL);
    m_content->set_margin_top(document.body.margin_top);
    m_content->set_margin_start(document.body.margin_left);
    m_content->set_margin_end(document.body.margin_right);
    m_content->set_margin_bottom(document.body.margin_bottom);
    add_blocks(*m_content, document.blocks, Align::Default);

    m_background = load_image(document.body.background);
    m_background_color = document.body.bgcolor;
    if (m_link_style)
        get_style_context()->remove_provider(m_link_style);
    m_link_style.reset();
    if (!document.body.alink.empty()) {
        m_link_style = Gtk::CssProvider::create();
        m_link_style->load_from_data("label link:active { color: " + document.body.alink + "; }");
    }
    add(*m_content);
    show_all();
    queue_draw();
}

void HtmlLabel::add_blocks(Gtk::Box& box, const std::vector<html_model::Block>& blocks, Align align)
{
    for (const auto& block : blocks) {
        if (block.kind == html_model::Block::Kind::Table) {
            box.pack_start(*make_table(block.table), Gtk::PACK_SHRINK);
            continue;
        }
        for (const auto& line : block.lines)
            box.pack_start(*make_line(line, align), Gtk::PACK_SHRINK);
    }
}

Gtk::Widget* HtmlLabel::make_line(const html_model::Line& line, Align align)
{
    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
    row->set_halign(widget_align(align));
    if (line.segments.empty())
        row->pack_start(*Gtk::manage(new Gtk::Label(" ")), Gtk::PACK_SHRINK);
    for (const auto& segment : line.segments) {
        if (segment.kind == html_model::Segment::Kind::Image) {
            if (Gtk::Widget* image = make_image(segment))
                row->pack_start(*image, Gtk::PACK_SHRINK);
            continue;
        }
        auto* label = Gtk::manage(new Gtk::Label());
        label->set_markup(segment.markup);
        label->set_line_wrap(true);
        label->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
        label->set_justify(align == Align::Center ? Gtk::JUSTIFY_CENTER
                : align == Align::Right           ? Gtk::JUSTIFY_RIGHT
                                                  : Gtk::JUSTIFY_LEFT);
        label->set_track_visited_links(false);
        if (m_link_style)
            label->get_style_context()->add_provider(m_link_style, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        label->signal_activate_link().connect(sigc::mem_fun(*this, &HtmlLabel::on_link), false);
        row->pack_start(*label, Gtk::PACK_SHRINK);
    }
    return row;
}

Gtk::Widget* HtmlLabel::make_table(const html_model::Table& table)
{
    auto* grid = Gtk::manage(new Gtk::Grid());
    grid->set_row_spacing(table.cellspacing);
    grid->set_column_spacing(table.cellspacing);
    grid->set_border_width(table.cellspacing);
    grid->set_halign(table.width && table.width->percent ? Gtk::ALIGN_FILL : widget_align(table.align));
    if (table.width && table.width->percent)
        grid->set_hexpand(true);
    else if (table.width)
        grid->set_size_request(table.width->value, -1);
    int top = 0;
    for (const auto& row : table.rows) {
        int left = 0;
        for (const auto& cell : row.cells) {
            auto* box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL));
            box->set_border_width(table.cellpadding);
            add_blocks(*box, cell.blocks, cell.align);
            Gtk::Widget* widget = box;
            if (table.border > 0) {
                auto* frame = Gtk::manage(new Gtk::Frame());
                frame->set_shadow_type(Gtk::SHADOW_IN);
                frame->add(*box);
                widget = frame;
            }
            if (cell.width && !cell.width->percent)
                widget->set_size_request(cell.width->value, -1);
            else if (table.width && table.width->percent)
                widget->set_hexpand(true);
            grid->attach(*widget, left++, top);
        }
        ++top;
    }
    return grid;
}

Gtk::Widget* HtmlLabel::make_image(const html_model::Segment& segment)
{
    auto pixbuf = load_image(segment.source);
    if (!pixbuf)
        return nullptr;
    auto* image = Gtk::manage(new Gtk::Image(pixbuf));
    if (segment.link.empty())
        return image;
    auto* clickable = Gtk::manage(new Gtk::EventBox());
    clickable->add(*image);
    set_hand_cursor(*clickable);
    std::string link = segment.link;
    clickable->signal_button_release_event().connect([this, link](GdkEventButton* event) {
        if (event->button != 1)
            return false;
        on_link(link);
        return true;
    });
    return clickable;
}

bool HtmlLabel::on_link(const Glib::ustring& uri)
{
    // The owner hears of the click from the main loop: it may replace this label's
    // widgets, which must not happen inside their own signal emission.
    // High priority: a sliding toast's timers must not hold the click back.
    Glib::signal_idle().connect_once(
        sigc::bind(sigc::mem_fun(*this, &HtmlLabel::report_link), std::string(uri)), Glib::PRIORITY_HIGH);
    return true; // handled: the label never opens the link itself
}

void HtmlLabel::report_link(std::string link)
{
    if (m_link_handler)
        m_link_handler(link);
}

bool HtmlLabel::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    if (!m_background_color.empty()) {
        Gdk::RGBA color(m_background_color);
        Gdk::Cairo::set_source_rgba(cr, color);
        cr->paint();
    }
    if (m_background) {
        Gdk::Cairo::set_source_pixbuf(cr, m_background, 0, 0);
        Cairo::RefPtr<Cairo::SurfacePattern> pattern =
            Cairo::RefPtr<Cairo::SurfacePattern>::cast_dynamic(cr->get_source());
        if (pattern)
            pattern->set_extend(Cairo::EXTEND_REPEAT);
        cr->paint();
    }
    return Gtk::EventBox::on_draw(cr);
}
