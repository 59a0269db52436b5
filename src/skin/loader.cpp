#include "skin/loader.h"

#include <algorithm>
#include <filesystem>
#include <gtk/gtk.h>
#include <tinyxml2.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "skin/tab_dlg.h"

namespace Skin {
namespace {

using tinyxml2::XMLElement;

std::string text_attribute(const XMLElement* node, const char* name)
{
    const char* value = node->Attribute(name);
    return value ? value : "";
}

// No position, size or padding of a real skin comes near a million pixels; bounding every
// number where it is read keeps the geometry built from them (sums of several, screen
// origins added) from overflowing.
constexpr std::int32_t kSkinNumberLimit = 1000000;

void int_attribute(const XMLElement* node, const char* name, std::int32_t& value)
{
    std::int32_t read = 0;
    if (node->QueryIntAttribute(name, &read) == tinyxml2::XML_SUCCESS) // else the default stays
        value = std::clamp(read, -kSkinNumberLimit, kSkinNumberLimit);
}

int int_attribute_or(const XMLElement* node, const char* name, int fallback)
{
    int_attribute(node, name, fallback);
    return fallback;
}

void show_message_box(const std::string& text, const std::string& caption)
{
    log_file::write_line("SKIN - " + text);
    if (!gdk_display_get_default())
        return;
    GtkWidget* box = gtk_message_dialog_new(
        nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

void read_font(Element& element, const XMLElement* node)
{
    auto font = std::make_unique<Font>();
    font->name = text_attribute(node, "name");
    font->style = text_attribute(node, "style");
    int_attribute(node, "size", font->size);
    font->colour =
        rgb(int_attribute_or(node, "r", 0), int_attribute_or(node, "g", 0), int_attribute_or(node, "b", 0));
    std::string align = text_attribute(node, "align");
    font->align = align == "center" ? 1 : align == "right" ? 2 : 0;
    element.font = std::move(font);
}

// A sprite child (`base`, `over`, `down`, `open`, `close`); nothing when the child is
// absent or its image cannot be loaded.
std::optional<Sprite> read_sprite(Definition& skin, const XMLElement* parent, const char* tag)
{
    const XMLElement* node = parent->FirstChildElement(tag);
    if (!node)
        return std::nullopt;
    Sprite sprite;
    sprite.file = text_attribute(node, "img");
    int_attribute(node, "x", sprite.x);
    int_attribute(node, "y", sprite.y);
    int_attribute(node, "width", sprite.width);
    int_attribute(node, "height", sprite.height);
    std::string error;
    const Bitmap* bitmap = skin.LoadImage(sprite.file, &error);
    if (!bitmap) {
        log_file::write_line("SKIN - image \"" + sprite.file + "\" could not be loaded (" + error +
            "); its sprite is left out");
        return std::nullopt;
    }
    if (sprite.width == 0)
        sprite.width = bitmap->width();
    if (sprite.height == 0)
        sprite.height = bitmap->height();
    return sprite;
}

std::optional<TabDirection> direction_of(const std::string& word)
{
    if (word == "left")
        return TabDirection::Left;
    if (word == "right")
        return TabDirection::Right;
    if (word == "up")
        return TabDirection::Up;
    if (word == "down")
        return TabDirection::Down;
    return std::nullopt;
}

} // namespace

Loader& Loader::instance()
{
    static Loader loader;
    return loader;
}

Loader::Loader() : m_message_sink(show_message_box), m_label_measure(measure_tab_label) { }

void Loader::set_message_sink(MessageSink sink)
{
    m_message_sink = sink ? std::move(sink) : MessageSink(show_message_box);
}

void Loader::set_label_measure(LabelMeasure measure)
{
    m_label_measure = measure ? std::move(measure) : LabelMeasure(measure_tab_label);
}

std::string Loader::SkinsFolder()
{
    registry_string setting(settings_path("Skins Directory"));
    if (!setting.exists()) {
        std::string folder = paths::packaged_skins_dir();
        setting.set(folder);
        return folder;
    }
    return setting.get();
}

std::string Loader::DescriptionFile(const std::string& splash_path)
{
    return splash_path == "splash_pro.png" ? "skin_pro.xml" : "skin.xml";
}

std::unique_ptr<Definition> Loader::Load(const std::string& skin_name)
{
    return LoadFrom(SkinsFolder(), skin_name);
}

bool Loader::Fail(const std::string& fault)
{
    log_file::write_line("SKIN - " + fault);
    m_fault = m_file + ": " + fault;
    return false;
}

std::unique_ptr<Definition> Loader::LoadFrom(const std::string& skins_folder, const std::string& skin_name)
{
    m_fault.clear();
    AppSettings settings;
    settings.load();
    auto skin = std::make_unique<Definition>();
    // Absolute, so the file addresses of local pages work from any current folder.
    std::error_code ignored;
    skin->folder =
        std::filesystem::absolute(paths::join(skins_folder, skin_name), ignored).lexically_normal().string();
    std::string file = paths::join(skin->folder, DescriptionFile(settings.splash_path));
    m_file = file;

    tinyxml2::XMLDocument document;
    if (document.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS || !document.RootElement()) {
        Fail(std::string("the skin file could not be read: ") + document.ErrorStr());
        return nullptr;
    }
    XMLElement* root = document.RootElement();
    if (!ReadInformation(*skin, root))
        return nullptr;
    for (XMLElement* node = root->FirstChildElement("window"); node;
         node = node->NextSiblingElement("window")) {
        if (!ReadWindow(*skin, node))
            return nullptr;
    }
    return skin;
}

bool Loader::ReadInformation(Definition& skin, XMLElement* root)
{
    XMLElement* information = root->FirstChildElement("information");
    if (!information) {
        return Fail("the skin file has no information element");
    }
    struct Field {
        const char* tag;
        std::string* value;
        const char* missing;
    };
    const Field fields[] = {
        {"name", &skin.name, "No name was defined in the skin."},
        {"author", &skin.author, "No author was defined in the skin."},
        {"description", &skin.description, "No description was defined in the skin."},
    };
    for (const Field& field : fields) {
        XMLElement* node = information->FirstChildElement(field.tag);
        if (!node) {
            m_message_sink(field.missing, "Error");
            m_fault = m_file + ": " + field.missing;
            return false;
        }
        *field.value = node->GetText() ? node->GetText() : "";
    }
    return true;
}

bool Loader::ReadWindow(Definition& skin, XMLElement* node)
{
    auto window = std::make_unique<Window>();
    window->skin = &skin;
    window->name = text_attribute(node, "name");
    window->mode = text_attribute(node, "mode");
    window->background = text_attribute(node, "background");
    int_attribute(node, "width", window->width);
    int_attribute(node, "height", window->height);
    int_attribute(node, "offsetx", window->offsetx);
    int_attribute(node, "offsety", window->offsety);

    if (!window->background.empty()) {
        std::string error;
        const Bitmap* background = skin.LoadImage(window->background, &error);
        if (!background)
            return Fail("the background \"" + window->background + "\" of window \"" + window->name +
                "\" could not be loaded: " + error);
        if (window->width == 0)
            window->width = background->width();
        if (window->height == 0)
            window->height = background->height();
    }

    for (XMLElement* child = node->FirstChildElement(); child; child = child->NextSiblingElement()) {
        std::string tag = child->Name();
        if (tag == "group") {
            Group group;
            group.name = text_attribute(child, "name");
            for (XMLElement* member = child->FirstChildElement(); member;
                 member = member->NextSiblingElement()) {
                if (!ReadControl(*window, &group, member))
                    return false;
            }
            window->groups[group.name] = std::move(group);
        } else if (tag == "tabs") {
            LogDlg::instance().append("********** Adding tabs element");
            ReadTabs(*window, child);
        } else if (tag == "tab") {
            if (!ReadTab(*window, child))
                return false;
        } else if (!ReadControl(*window, nullptr, child)) {
            return false;
        }
    }
    skin.windows.push_back(std::move(window));
    return true;
}

bool Loader::ReadControl(Window& window, Group* group, XMLElement* node)
{
    auto element = std::make_unique<Element>();
    element->window = &window;
    element->kind = element_type_of(node->Name());
    int_attribute(node, "x", element->x);
    int_attribute(node, "y", element->y);
    int_attribute(node, "width", element->width);
    int_attribute(node, "height", element->height);
    int_attribute(node, "loginheight", element->loginheight);
    element->command = text_attribute(node, "type");
    if (const XMLElement* font = node->FirstChildElement("font"))
        read_font(*element, font);
    for (const XMLElement* image = node->FirstChildElement("image"); image;
         image = image->NextSiblingElement("image")) {
        ImageState state;
        state.name = text_attribute(image, "state");
        state.base = read_sprite(*window.skin, image, "base");
        state.over = read_sprite(*window.skin, image, "over");
        state.down = read_sprite(*window.skin, image, "down");
        if (state.base) {
            if (element->width == 0)
                element->width = state.base->width;
            if (element->height == 0)
                element->height = state.base->height;
        }
        element->images.push_back(std::move(state));
    }
    if (group)
        group->elements.push_back(element.get());
    window.elements.push_back(std::move(element));
    return true;
}

void Loader::ReadTabs(Window& window, XMLElement* node)
{
    TabItem common;
    common.strip_name = text_attribute(node, "name");
    common.background = text_attribute(node, "background");
    common.left = text_attribute(node, "left");
    common.mid = text_attribute(node, "mid");
    common.right = text_attribute(node, "right");
    common.strip_type = text_attribute(node, "type");
    common.font_size = int_attribute_or(node, "fontsize", 10);
    common.plain_colour =
        rgb(int_attribute_or(node, "r", 0), int_attribute_or(node, "g", 0), int_attribute_or(node, "b", 0));
    common.highlight_colour = rgb(int_attribute_or(node, "or", 255), int_attribute_or(node, "ob", 255),
        int_attribute_or(node, "og", 255));
    common.sticky = int_attribute_or(node, "sticky", 0) == 1;

    TabStripLayout layout;
    layout.x = int_attribute_or(node, "x", 0);
    layout.y = int_attribute_or(node, "y", 0);
    layout.padding = int_attribute_or(node, "padding", 3);
    std::string error;
    if (const Bitmap* left = window.skin->LoadImage(common.left, &error)) {
        layout.cap_width = left->width();
        layout.item_height = left->height();
    } else {
        log_file::write_line("SKIN - the tab image \"" + common.left + "\" could not be loaded (" + error +
            "); the strip has no height");
    }
    // The painter draws from the cache; loading here keeps each file decoded once.
    for (const std::string* file : {&common.background, &common.mid, &common.right}) {
        if (!file->empty())
            window.skin->LoadImage(*file);
    }

    std::vector<Element*> items;
    for (XMLElement* child = node->FirstChildElement(); child; child = child->NextSiblingElement()) {
        auto item = std::make_unique<Element>();
        item->window = &window;
        item->kind = ElementType::TabItem;
        item->command = text_attribute(child, "type");
        item->tab = common;
        item->tab.label = text_attribute(child, "label");
        items.push_back(item.get());
        window.elements.push_back(std::move(item));
    }
    lay_out_tab_items(items, layout, m_label_measure);
    if (common.sticky && !items.empty())
        items.front()->tab.selected = true;
}

bool Loader::ReadTab(Window& window, XMLElement* node)
{
    if (window.mode != "tab") {
        return Fail(
            "a tab element is only allowed in a window of mode \"tab\" (window \"" + window.name + "\")");
    }
    auto tab = std::make_unique<TabInfo>();
    std::string parent = text_attribute(node, "parent");
    tab->parent = window.skin->FindWindow(parent);
    if (!tab->parent) {
        return Fail(
            "the tab window \"" + window.name + "\" names no earlier parent window \"" + parent + "\"");
    }
    auto direction = direction_of(text_attribute(node, "direction"));
    if (!direction) {
        return Fail("the tab window \"" + window.name + "\" has no valid direction");
    }
    tab->direction = *direction;
    auto open = read_sprite(*window.skin, node, "open");
    auto close = read_sprite(*window.skin, node, "close");
    if (!open || !close) {
        return Fail("the tab window \"" + window.name + "\" needs both an open and a close image");
    }
    tab->open = *open;
    tab->close = *close;
    tab->current = &tab->open;
    int_attribute(node, "x", tab->x);
    int_attribute(node, "y", tab->y);
    int_attribute(node, "width", tab->width);
    window.tab = std::move(tab);
    window.tab_dialog = std::make_unique<TabDlg>(window);
    window.dialog = window.tab_dialog.get();
    return true;
}

} // namespace Skin
