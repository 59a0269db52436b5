#include <gtest/gtest.h>

#include "skin/definition.h"
#include "skin/dialog.h"
#include "skin/element_painter.h"
#include "skin/tab_painter.h"

namespace {

using Skin::Element;
using Skin::ElementType;

// A control without a window: counts how often it is asked to redraw.
class CountingControl : public Skin::BaseElement {
public:
    using BaseElement::BaseElement;
    void Redraw() override { ++redraws; }
    void Show() override { }
    void Hide() override { }
    int redraws = 0;
};

class PlainDialog : public Skin::Dialog {
public:
    Gtk::Window* GetWindow() override { return nullptr; }
};

struct SkinTree : ::testing::Test {
    Skin::Definition skin;
    Skin::Window* window = nullptr;

    void SetUp() override
    {
        skin.windows.push_back(std::make_unique<Skin::Window>());
        window = skin.windows.back().get();
        window->name = "main";
        window->skin = &skin;
    }

    // A tab item with a created control.
    CountingControl& item(const std::string& command, const std::string& strip_type, bool sticky = true)
    {
        auto element = std::make_unique<Element>();
        element->kind = ElementType::TabItem;
        element->command = command;
        element->tab.strip_type = strip_type;
        element->tab.sticky = sticky;
        element->window = window;
        auto control = std::make_unique<CountingControl>(*element);
        CountingControl& made = *control;
        window->elements.push_back(std::move(element));
        skin.AddControl(std::move(control));
        return made;
    }
    static bool selected(const CountingControl& control) { return control.element().tab.selected; }
};

TEST_F(SkinTree, FireCommandCallsTheConnectedHandlersOnly)
{
    std::vector<std::pair<std::string, bool>> fired;
    skin.ConnectCommand(
        "dial", [&](const std::string& name, bool pressed) { fired.emplace_back(name, pressed); });
    skin.ConnectCommand(
        "dial", [&](const std::string& name, bool) { fired.emplace_back(name + "2", false); });
    skin.FireCommand("dial", true);
    skin.FireCommand("hangup", true); // no handler: ignored
    skin.FireCommand("dial", false);
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_EQ(fired[0], std::make_pair(std::string("dial"), true));
    EXPECT_EQ(fired[1], std::make_pair(std::string("dial2"), false));
    EXPECT_EQ(fired[2], std::make_pair(std::string("dial"), false));
}

TEST_F(SkinTree, HandlersGetACopyOfTheName)
{
    std::string command = "close";
    std::string seen;
    skin.ConnectCommand("close", [&](const std::string& name, bool) {
        command = "changed by the handler";
        seen = name;
    });
    skin.FireCommand(command, false);
    EXPECT_EQ(seen, "close");
}

TEST_F(SkinTree, ApplyWindowBindsTheFirstWindowOfThatName)
{
    skin.windows.push_back(std::make_unique<Skin::Window>());
    skin.windows.back()->name = "main";
    PlainDialog dialog;
    skin.ApplyWindow(dialog, "main");
    EXPECT_EQ(dialog.skin(), &skin);
    EXPECT_EQ(dialog.window(), window);
    EXPECT_EQ(window->dialog, &dialog);
    EXPECT_EQ(skin.windows[1]->dialog, nullptr);

    PlainDialog unbound;
    skin.ApplyWindow(unbound, "nowhere");
    EXPECT_EQ(unbound.skin(), nullptr);
    EXPECT_EQ(unbound.window(), nullptr);
}

TEST_F(SkinTree, FindElementWalksCreatedControlsInOrder)
{
    CountingControl& first = item("content", "");
    item("content", "");
    EXPECT_EQ(skin.FindElement("content"), &first.element());
    EXPECT_EQ(first.element().control, &first);
    EXPECT_EQ(skin.FindElement("missing"), nullptr);
    // Elements without a created control are not found.
    window->elements.push_back(std::make_unique<Element>());
    window->elements.back()->command = "uncreated";
    EXPECT_EQ(skin.FindElement("uncreated"), nullptr);
}

TEST_F(SkinTree, SelectTabSelectsOneItemOfItsStrip)
{
    CountingControl& dial = item("tab_main_dial", "tabs_main");
    CountingControl& contacts = item("tab_main_contacts", "tabs_main");
    CountingControl& other = item("tab_other", "tabs_other");
    dial.element().tab.selected = true;
    other.element().tab.selected = true;
    skin.SelectTab("tabs_main", "tab_main_contacts");
    EXPECT_FALSE(selected(dial));
    EXPECT_TRUE(selected(contacts));
    EXPECT_TRUE(selected(other)); // another strip keeps its selection
    EXPECT_EQ(dial.redraws, 1);
    EXPECT_EQ(contacts.redraws, 2);
    EXPECT_EQ(other.redraws, 0);
}

TEST_F(SkinTree, SelectTabWorksOnNonStickyStrips)
{
    CountingControl& a = item("a", "plain", false);
    CountingControl& b = item("b", "plain", false);
    skin.SelectTab("plain", "b");
    EXPECT_FALSE(selected(a));
    EXPECT_TRUE(selected(b));
}

TEST_F(SkinTree, PressingAStickyItemMovesTheSelection)
{
    CountingControl& first = item("one", "strip");
    CountingControl& second = item("two", "strip");
    CountingControl& elsewhere = item("three", "other");
    first.element().tab.selected = true;
    elsewhere.element().tab.selected = true;
    skin.SelectPressedItem(second.element());
    EXPECT_FALSE(selected(first));
    EXPECT_TRUE(selected(second));
    EXPECT_TRUE(selected(elsewhere));
    EXPECT_EQ(first.redraws, 1);
    EXPECT_EQ(elsewhere.redraws, 0);
}

TEST(ElementLooks, SpritePickedByDrawStateAndCurrentImageState)
{
    Element button;
    Skin::ImageState connected;
    connected.base = Skin::Sprite{"up.png"};
    connected.down = Skin::Sprite{"down.png"};
    Skin::ImageState disconnected;
    disconnected.base = Skin::Sprite{"off.png"}; // no down sprite
    button.images = {connected, disconnected};

    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Plain)->file, "up.png");
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Pressed)->file, "down.png");
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Hover), nullptr); // no over sprite
    button.state = 1;
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Plain)->file, "off.png");
    // Without a down sprite a pressed button draws nothing.
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Pressed), nullptr);
    // A state index past the list draws nothing rather than reading past it.
    button.state = 2;
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Plain), nullptr);
    button.state = -1;
    EXPECT_EQ(Skin::sprite_for(button, Skin::DrawState::Plain), nullptr);
    Element bare;
    EXPECT_EQ(Skin::sprite_for(bare, Skin::DrawState::Plain), nullptr);
}

TEST(ElementLooks, SelectedTabItemsAlwaysLookHighlighted)
{
    Element tab;
    EXPECT_EQ(Skin::tab_item_look(tab, Skin::DrawState::Plain), Skin::DrawState::Plain);
    EXPECT_EQ(Skin::tab_item_look(tab, Skin::DrawState::Pressed), Skin::DrawState::Pressed);
    tab.tab.selected = true;
    EXPECT_EQ(Skin::tab_item_look(tab, Skin::DrawState::Plain), Skin::DrawState::Hover);
    EXPECT_EQ(Skin::tab_item_look(tab, Skin::DrawState::Pressed), Skin::DrawState::Hover);
}

} // namespace
