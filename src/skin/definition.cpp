#include "skin/definition.h"

#include <algorithm>
#include <cairo.h>
#include <mutex>

#include "skin/dialog.h"

namespace Skin {

ElementType element_type_of(const std::string& tag)
{
    static std::mutex mutex;
    static std::map<std::string, ElementType> table = {
        {"text", ElementType::Text},
        {"input", ElementType::Input},
        {"button", ElementType::Button},
        {"scrollbar", ElementType::ScrollBar},
        {"web", ElementType::Web},
        {"content", ElementType::Web},
    };
    std::lock_guard lock(mutex);
    return table.try_emplace(tag, ElementType::Text).first->second;
}

BaseElement::BaseElement(Element& element) : m_element(element)
{
    element.control = this;
}

BaseElement::~BaseElement()
{
    if (m_element.control == this)
        m_element.control = nullptr;
}

Window::~Window()
{
    if (region)
        cairo_region_destroy(region);
}

Definition::~Definition()
{
    // Controls first (they live in the dialogs and point at elements), then the images
    // they draw from, then the windows with their elements.
    while (!controls.empty())
        controls.pop_back();
    images.clear();
    windows.clear();
}

void Definition::ApplyWindow(Dialog& dialog, const std::string& window_name)
{
    Window* window = FindWindow(window_name);
    if (!window)
        return;
    window->dialog = &dialog;
    dialog.Bind(this, window);
}

boost::signals2::connection Definition::ConnectCommand(
    const std::string& command, const CommandHandler& handler)
{
    auto& signal = commands[command];
    if (!signal)
        signal = std::make_unique<CommandSignal>();
    return signal->connect(handler);
}

void Definition::FireCommand(const std::string& command, bool pressed)
{
    auto found = commands.find(command);
    if (found == commands.end() || !found->second)
        return;
    std::string name = command; // a handler may change what the caller's reference names
    (*found->second)(name, pressed);
}

Element* Definition::FindElement(const std::string& name) const
{
    for (const auto& control : controls) {
        if (control->element().command == name)
            return &control->element();
    }
    return nullptr;
}

void Definition::SelectTab(const std::string& strip_type, const std::string& command)
{
    for (const auto& control : controls) {
        Element& element = control->element();
        if (element.kind != ElementType::TabItem)
            continue;
        if (element.tab.strip_type == strip_type) {
            element.tab.selected = false;
            control->Redraw();
        }
        if (element.command == command) {
            element.tab.selected = true;
            control->Redraw();
        }
    }
}

void Definition::SelectPressedItem(Element& item)
{
    for (const auto& control : controls) {
        Element& other = control->element();
        if (&other == &item || other.kind != ElementType::TabItem)
            continue;
        if (other.tab.strip_type == item.tab.strip_type && other.tab.selected) {
            other.tab.selected = false;
            control->Redraw();
        }
    }
    item.tab.selected = true;
}

Window* Definition::FindWindow(const std::string& window_name) const
{
    for (const auto& window : windows) {
        if (window->name == window_name)
            return window.get();
    }
    return nullptr;
}

const Bitmap* Definition::FindImage(const std::string& file) const
{
    auto found = images.find(file);
    return found == images.end() ? nullptr : found->second.get();
}

const Bitmap* Definition::LoadImage(const std::string& file, std::string* error)
{
    if (const Bitmap* cached = FindImage(file))
        return cached;
    std::string relative = file; // names written with Windows separators still find their file
    std::replace(relative.begin(), relative.end(), '\\', '/');
    auto bitmap = Bitmap::load(folder + "/" + relative, error);
    if (!bitmap)
        return nullptr;
    return (images[file] = std::move(bitmap)).get();
}

void Definition::AddControl(std::unique_ptr<BaseElement> control)
{
    controls.push_back(std::move(control));
}

} // namespace Skin
