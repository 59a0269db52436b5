#pragma once
#include <gtkmm.h>
#include <memory>
#include <string>

// A dialog built from its GtkBuilder template in the program's resources. The dialog is
// owned here; its widgets are looked up by their template ids.
class DialogTemplate {
public:
    DialogTemplate(const std::string& resource_path, const std::string& dialog_id);

    Gtk::Dialog& dialog() { return *m_dialog; }

    template <typename Widget> Widget& widget(const std::string& id)
    {
        Widget* found = nullptr;
        m_builder->get_widget(id, found);
        return *found;
    }

private:
    Glib::RefPtr<Gtk::Builder> m_builder;
    std::unique_ptr<Gtk::Dialog> m_dialog;
};
