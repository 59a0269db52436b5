#include "ui/dialogs/dialog_template.h"

DialogTemplate::DialogTemplate(const std::string& resource_path, const std::string& dialog_id)
    : m_builder(Gtk::Builder::create_from_resource(resource_path))
{
    Gtk::Dialog* dialog = nullptr;
    m_builder->get_widget(dialog_id, dialog);
    m_dialog.reset(dialog); // a builder's top-level window belongs to whoever takes it
}
