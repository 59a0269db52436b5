#pragma once
#include <functional>
#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/eventbox.h>
#include <memory>
#include <string>

#include "ui/web/html_model.h"

// A small formatted-text label: the HTML subset of html_model shown as GTK widgets (a
// Gtk::Grid per table, Gtk::Label with Pango markup for text, Gtk::Image for images) over
// the body's background, tiled. The whole text is replaced at once (set_text); a clicked
// link is reported to the owner with the link text exactly as written and is never
// followed. "RES:" images come from the embedded resources (res_lookup); an image that
// cannot be found is logged and left out.
class HtmlLabel : public Gtk::EventBox {
public:
    // Called on the interface thread, from the main loop after the click (never from
    // inside the label's own event handling, so the owner may hide the label or replace
    // its text).
    using LinkHandler = std::function<void(const std::string& link)>;

    HtmlLabel();
    ~HtmlLabel() override;

    void set_text(const std::string& html);
    const std::string& text() const { return m_text; }

    void set_link_handler(LinkHandler handler) { m_link_handler = std::move(handler); }

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    void add_blocks(Gtk::Box& box, const std::vector<html_model::Block>& blocks, html_model::Align align);
    Gtk::Widget* make_line(const html_model::Line& line, html_model::Align align);
    Gtk::Widget* make_table(const html_model::Table& table);
    Gtk::Widget* make_image(const html_model::Segment& segment);
    bool on_link(const Glib::ustring& uri);
    void report_link(std::string link);

    std::string m_text;
    LinkHandler m_link_handler;
    std::unique_ptr<Gtk::Box> m_content;
    Glib::RefPtr<Gdk::Pixbuf> m_background;
    std::string m_background_color;
    Glib::RefPtr<Gtk::CssProvider> m_link_style;
};
