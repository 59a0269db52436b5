#pragma once
#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/base_element.h"
#include "skin/bitmap.h"
#include "skin/colour.h"

typedef struct _cairo_region cairo_region_t;

namespace Skin {

class Definition;
class Dialog;
struct Window;

// Kind of a control element, from its tag name.
enum class ElementType : std::int32_t {
    Text = 0,
    Input = 1,
    Button = 2,
    TabItem = 3,
    ScrollBar = 5,
    Web = 6,
};

// The kind of a tag; a tag not seen before is entered as Text.
ElementType element_type_of(const std::string& tag);

struct Font {
    std::string name;
    std::string style;
    std::int32_t size = 0;
    Colour colour = 0;
    std::int32_t align = 0; // 0 left, 1 centre, 2 right
};

struct Sprite {
    std::string file;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct ImageState {
    std::string name;
    std::optional<Sprite> base;
    std::optional<Sprite> over;
    std::optional<Sprite> down;
};

// The part of an element that only tab-strip items use.
struct TabItem {
    std::string strip_name;
    std::string background;
    std::string left;
    std::string mid;
    std::string right;
    std::string label;
    std::int32_t left_width = 0;
    std::int32_t right_width = 0;
    std::int32_t font_size = 10;
    std::int32_t label_width = 0;
    std::int32_t label_height = 0;
    std::string strip_type;
    bool selected = false;
    bool sticky = false;
    Colour plain_colour = 0;
    Colour highlight_colour = rgb(255, 255, 255);
};

struct Element {
    Window* window = nullptr;
    ElementType kind = ElementType::Text;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t loginheight = 0;
    std::string command;
    std::unique_ptr<Font> font;
    std::int32_t state = 0;
    std::vector<ImageState> images;
    TabItem tab;
    BaseElement* control = nullptr;
};

struct Group {
    std::string name;
    std::vector<Element*> elements;
};

enum class TabDirection : std::int32_t { Left = 0, Right = 1, Up = 2, Down = 3 };

struct TabInfo {
    Window* parent = nullptr;
    TabDirection direction = TabDirection::Left;
    Sprite open;
    Sprite close;
    const Sprite* current = nullptr; // the open sprite while closed, the close sprite while open
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
};

struct Window {
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    Definition* skin = nullptr;
    std::string name;
    std::string mode;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t offsetx = 0;
    std::int32_t offsety = 0;
    std::string background;
    std::vector<std::unique_ptr<Element>> elements;
    std::map<std::string, Group> groups;
    cairo_region_t* region = nullptr; // owned
    Dialog* dialog = nullptr;
    std::unique_ptr<TabInfo> tab;
    std::unique_ptr<Dialog> tab_dialog; // the tab dialog the parser made for a "tab" window

    bool shaped() const { return mode == "shaped" || mode == "tab"; }
};

// One loaded skin: its windows, image cache, created controls and command table.
class Definition {
public:
    using CommandSignal = boost::signals2::signal<void(const std::string& command, bool pressed)>;
    using CommandHandler = CommandSignal::slot_type;

    Definition() = default;
    ~Definition();
    Definition(const Definition&) = delete;
    Definition& operator=(const Definition&) = delete;

    // Binds a dialog to the first window of that name; nothing happens when none has it.
    void ApplyWindow(Dialog& dialog, const std::string& window_name);

    boost::signals2::connection ConnectCommand(const std::string& command, const CommandHandler& handler);
    // Calls the command's handlers with a copy of the name; a name without one is ignored.
    void FireCommand(const std::string& command, bool pressed);

    // Creates the controls of every bound window, then raises `built` (needs a display).
    void CreateControls();

    // The element of the first created control whose command is the name.
    Element* FindElement(const std::string& name) const;
    // Deselects every item of a strip type, then selects the one firing the command.
    void SelectTab(const std::string& strip_type, const std::string& command);
    // A sticky item being pressed: the other selected items of its strip type are
    // deselected and redrawn, and this one becomes selected.
    void SelectPressedItem(Element& item);

    Window* FindWindow(const std::string& name) const;
    // The cached image of a file name, loaded from the skin folder on first use;
    // nothing, with the reason in `error`, when it cannot be loaded.
    const Bitmap* LoadImage(const std::string& file, std::string* error = nullptr);
    const Bitmap* FindImage(const std::string& file) const;

    // Appends a created control (CreateControls does this; tests add their own).
    void AddControl(std::unique_ptr<BaseElement> control);

    std::map<std::string, std::unique_ptr<CommandSignal>> commands;
    boost::signals2::signal<void()> built;
    std::string folder;
    std::string name;
    std::string author;
    std::string description;
    std::vector<std::unique_ptr<Window>> windows;
    std::map<std::string, std::unique_ptr<Bitmap>> images;
    std::vector<std::unique_ptr<BaseElement>> controls;
};

} // namespace Skin
