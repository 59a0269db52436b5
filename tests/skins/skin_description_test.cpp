// The shipped skin descriptions: what the loader needs to accept them, what the main
// window looks up in them, and that every image they name is there at the size they expect.
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "skin_folder.h"

using namespace skin_files;

namespace {

const char* const kDescriptions[] = {"skin.xml", "skin_pro.xml"};

// Every element the main window finds by name, and the tab strip's items in order.
const char* const kMainElements[] = {
    "content",
    "address",
    "dial",
    "hangup",
    "answer",
    "reject",
    "voicemail",
    "close",
    "settings",
    "account",
    "menu_file",
    "menu_view",
    "menu_help",
    "connection",
    "label_time",
    "label_voicemail",
    "label_username",
    "label_details",
    "volume",
    "gain",
};
const char* const kMainTabs[] = {
    "tab_main_dial",
    "tab_main_contacts",
    "tab_main_history",
    "tab_main_directory",
    "tab_main_pro",
};
const int kMainWidth = 300;
const int kMainHeight = 523;
// Signed out, the main window makes "content" this much taller than the skin declares.
const int kSignedOutExtra = 57;

class SkinDescription : public ::testing::TestWithParam<const char*> {
protected:
    Description description{GetParam()};
    const tinyxml2::XMLElement* main() const { return description.window("main"); }
};

std::map<std::string, const tinyxml2::XMLElement*> by_command(const tinyxml2::XMLElement* window)
{
    std::map<std::string, const tinyxml2::XMLElement*> found;
    for (auto* element : controls(window))
        found.emplace(text_attribute(element, "type"), element);
    return found;
}

// Every image file the description names, with where it is named.
std::vector<std::pair<std::string, std::string>> image_references(const tinyxml2::XMLDocument& document)
{
    std::vector<std::pair<std::string, std::string>> found;
    const char* const sprite_tags[] = {"base", "over", "down", "open", "close"};
    const char* const strip_images[] = {"background", "left", "mid", "right"};
    std::vector<const tinyxml2::XMLElement*> pending{document.RootElement()};
    while (!pending.empty()) {
        const tinyxml2::XMLElement* element = pending.back();
        pending.pop_back();
        std::string tag = element->Name();
        if (tag == "window" && element->Attribute("background"))
            found.emplace_back(element->Attribute("background"), "window background");
        if (tag == "tabs")
            for (const char* name : strip_images)
                if (element->Attribute(name))
                    found.emplace_back(element->Attribute(name), std::string("tabs ") + name);
        for (const char* sprite : sprite_tags)
            if (tag == sprite && element->Attribute("img"))
                found.emplace_back(element->Attribute("img"), tag + " sprite");
        for (auto* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
    return found;
}

// The rectangle a control takes: its own size, else its first base sprite's image size.
struct Rect {
    int x, y, width, height;
};

Rect control_rect(const tinyxml2::XMLElement* element)
{
    Rect rect{int_attribute(element, "x"), int_attribute(element, "y"), int_attribute(element, "width"),
        int_attribute(element, "height")};
    for (auto* state = element->FirstChildElement("image"); state;
         state = state->NextSiblingElement("image")) {
        const tinyxml2::XMLElement* base = state->FirstChildElement("base");
        if (!base)
            continue;
        Image image = load_image(text_attribute(base, "img"));
        if (rect.width == 0)
            rect.width = int_attribute(base, "width") ? int_attribute(base, "width") : image.width;
        if (rect.height == 0)
            rect.height = int_attribute(base, "height") ? int_attribute(base, "height") : image.height;
    }
    return rect;
}

std::pair<int, int> window_size(const tinyxml2::XMLElement* window)
{
    int width = int_attribute(window, "width");
    int height = int_attribute(window, "height");
    if (window->Attribute("background")) {
        Image background = load_image(window->Attribute("background"));
        width = width ? width : background.width;
        height = height ? height : background.height;
    }
    return {width, height};
}

} // namespace

TEST_P(SkinDescription, ParsesWithCompleteInformation)
{
    ASSERT_EQ(description.error, "");
    const tinyxml2::XMLElement* information =
        description.document.RootElement()->FirstChildElement("information");
    ASSERT_NE(information, nullptr);
    for (const char* field : {"name", "author", "description"}) {
        const tinyxml2::XMLElement* child = information->FirstChildElement(field);
        ASSERT_NE(child, nullptr) << field;
        EXPECT_NE(child->GetText(), nullptr) << field << " is empty";
    }
}

TEST_P(SkinDescription, MainWindowIsTheShapedPhoneWithEveryNamedElement)
{
    ASSERT_NE(main(), nullptr);
    EXPECT_EQ(text_attribute(main(), "mode"), "shaped");
    EXPECT_EQ(window_size(main()), std::make_pair(kMainWidth, kMainHeight));

    std::map<std::string, const tinyxml2::XMLElement*> elements = by_command(main());
    for (const char* name : kMainElements)
        EXPECT_TRUE(elements.count(name)) << "main window lacks " << name;

    EXPECT_EQ(std::string(elements["content"]->Name()), "web");
    EXPECT_EQ(std::string(elements["address"]->Name()), "input");
    EXPECT_EQ(std::string(elements["volume"]->Name()), "scrollbar");
    EXPECT_EQ(std::string(elements["gain"]->Name()), "scrollbar");
    for (const char* label : {"label_time", "label_voicemail", "label_username", "label_details"})
        EXPECT_EQ(std::string(elements[label]->Name()), "text") << label;

    bool has_disconnect = false;
    for (auto* state = elements["connection"]->FirstChildElement("image"); state;
         state = state->NextSiblingElement("image"))
        has_disconnect |= text_attribute(state, "state") == "disconnect";
    EXPECT_TRUE(has_disconnect) << "the connection button needs a \"disconnect\" image state";
}

TEST_P(SkinDescription, NoTwoControlsOfAWindowShareAName)
{
    // Elements are found by name, first match wins: a repeated name hides the second control.
    for (const char* name : {"main", "tab", "info"}) {
        const tinyxml2::XMLElement* window = description.window(name);
        ASSERT_NE(window, nullptr) << name;
        std::set<std::string> seen;
        for (auto* element : controls(window))
            EXPECT_TRUE(seen.insert(text_attribute(element, "type")).second)
                << name << " repeats " << text_attribute(element, "type");
    }
}

TEST_P(SkinDescription, MainTabStripIsStickyWithTheFiveSections)
{
    const tinyxml2::XMLElement* strip = main()->FirstChildElement("tabs");
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(text_attribute(strip, "type"), "tabs_main");
    EXPECT_EQ(int_attribute(strip, "sticky"), 1);
    std::vector<std::string> items;
    for (auto* item = strip->FirstChildElement(); item; item = item->NextSiblingElement()) {
        items.push_back(text_attribute(item, "type"));
        EXPECT_NE(text_attribute(item, "label"), "") << items.back();
    }
    EXPECT_EQ(items, std::vector<std::string>(std::begin(kMainTabs), std::end(kMainTabs)));

    // The caps are measured from the left image: the right one must match it.
    Image left = load_image(text_attribute(strip, "left"));
    Image right = load_image(text_attribute(strip, "right"));
    EXPECT_EQ(left.width, right.width);
    EXPECT_EQ(left.height, right.height);
    EXPECT_GE(load_image(text_attribute(strip, "mid")).height, left.height);
    EXPECT_GE(load_image(text_attribute(strip, "background")).height, left.height);
}

TEST_P(SkinDescription, ContentShrinksFromTheTopWhenSignedIn)
{
    const tinyxml2::XMLElement* content = by_command(main())["content"];
    int y = int_attribute(content, "y");
    int height = int_attribute(content, "height");
    int login_height = int_attribute(content, "loginheight");
    ASSERT_GT(login_height, 0);
    EXPECT_LT(login_height, height);
    EXPECT_LE(y + height + kSignedOutExtra, kMainHeight) << "signed out, the page would leave the window";

    // Signed in, the labels and the section tabs sit in the strip the page gives up.
    int signed_in_top = y + height - login_height;
    std::map<std::string, const tinyxml2::XMLElement*> elements = by_command(main());
    for (const char* label : {"label_username", "label_details", "label_voicemail", "voicemail"}) {
        Rect rect = control_rect(elements[label]);
        EXPECT_GE(rect.y, y) << label;
        EXPECT_LE(rect.y + rect.height, signed_in_top) << label << " would lie under the signed-in page";
    }
    const tinyxml2::XMLElement* strip = main()->FirstChildElement("tabs");
    int strip_bottom = int_attribute(strip, "y") + load_image(text_attribute(strip, "left")).height;
    EXPECT_LE(strip_bottom, signed_in_top);
}

TEST_P(SkinDescription, EveryNamedImageExistsWithAlpha)
{
    for (const auto& [file, use] : image_references(description.document)) {
        Image image = load_image(file);
        EXPECT_TRUE(image.loaded()) << file << " (" << use << ") does not load";
        EXPECT_TRUE(image.has_alpha) << file << " has no alpha channel";
    }
}

TEST_P(SkinDescription, ControlsLieInsideTheirWindows)
{
    for (const char* name : {"main", "tab", "info"}) {
        const tinyxml2::XMLElement* window = description.window(name);
        auto [width, height] = window_size(window);
        ASSERT_GT(width, 0) << name;
        for (auto* element : controls(window)) {
            Rect rect = control_rect(element);
            std::string what = std::string(name) + "/" + text_attribute(element, "type");
            EXPECT_GT(rect.width, 0) << what;
            EXPECT_GT(rect.height, 0) << what;
            EXPECT_GE(rect.x, 0) << what;
            EXPECT_GE(rect.y, 0) << what;
            EXPECT_LE(rect.x + rect.width, width) << what;
            EXPECT_LE(rect.y + rect.height, height) << what;
        }
    }
}

TEST_P(SkinDescription, ButtonStatesHaveMatchingBaseAndDownImages)
{
    for (const char* name : {"main", "info"}) {
        for (auto* element : controls(description.window(name))) {
            for (auto* state = element->FirstChildElement("image"); state;
                 state = state->NextSiblingElement("image")) {
                const tinyxml2::XMLElement* base = state->FirstChildElement("base");
                const tinyxml2::XMLElement* down = state->FirstChildElement("down");
                std::string what = text_attribute(element, "type");
                ASSERT_NE(base, nullptr) << what;
                ASSERT_NE(down, nullptr) << what << " has no pressed look";
                Image base_image = load_image(text_attribute(base, "img"));
                Image down_image = load_image(text_attribute(down, "img"));
                EXPECT_EQ(base_image.width, down_image.width) << what;
                EXPECT_EQ(base_image.height, down_image.height) << what;
                EXPECT_NE(base_image.rgba, down_image.rgba) << what << ": pressed looks like released";
            }
        }
    }
}

TEST_P(SkinDescription, TabWindowSlidesOutOfMainWithTheTabPage)
{
    const tinyxml2::XMLElement* window = description.window("tab");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(text_attribute(window, "mode"), "tab");

    // A tab's parent must come earlier in the file than the tab window.
    const tinyxml2::XMLElement* tab = window->FirstChildElement("tab");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(text_attribute(tab, "parent"), "main");
    bool parent_first = false;
    for (auto* w = description.document.RootElement()->FirstChildElement("window"); w != window;
         w = w->NextSiblingElement("window"))
        parent_first |= text_attribute(w, "name") == "main";
    EXPECT_TRUE(parent_first);
    EXPECT_TRUE(
        (std::set<std::string>{"left", "right", "up", "down"}).count(text_attribute(tab, "direction")));

    ASSERT_NE(tab->FirstChildElement("open"), nullptr);
    ASSERT_NE(tab->FirstChildElement("close"), nullptr);
    Image open = load_image(text_attribute(tab->FirstChildElement("open"), "img"));
    Image close = load_image(text_attribute(tab->FirstChildElement("close"), "img"));
    // The window has no background: its size must be given and match the sprites it shows.
    auto [width, height] = window_size(window);
    EXPECT_EQ(width, open.width);
    EXPECT_EQ(height, open.height);
    EXPECT_EQ(close.width, open.width);
    EXPECT_EQ(close.height, open.height);

    int grip = int_attribute(tab, "width");
    EXPECT_GT(grip, 0);
    EXPECT_LT(grip, width);
    EXPECT_GE(int_attribute(tab, "y"), 0);
    EXPECT_LE(int_attribute(tab, "y") + height, kMainHeight)
        << "the panel would stick out under the main window";

    EXPECT_EQ(std::string(by_command(window)["tab"]->Name()), "web");
}

TEST_P(SkinDescription, InfoWindowHasItsPageAndCloseButton)
{
    const tinyxml2::XMLElement* window = description.window("info");
    ASSERT_NE(window, nullptr);
    std::map<std::string, const tinyxml2::XMLElement*> elements = by_command(window);
    ASSERT_TRUE(elements.count("info"));
    EXPECT_EQ(std::string(elements["info"]->Name()), "web");
    ASSERT_TRUE(elements.count("info_close"));
    EXPECT_EQ(std::string(elements["info_close"]->Name()), "button");
}

INSTANTIATE_TEST_SUITE_P(ShippedSkin, SkinDescription, ::testing::ValuesIn(kDescriptions));

TEST(SkinDescriptions, ProSkinHasTheSameWindowsAndElements)
{
    Description plain("skin.xml");
    Description pro("skin_pro.xml");
    for (const char* name : {"main", "tab", "info"}) {
        std::vector<std::string> plain_names, pro_names;
        for (auto* element : controls(plain.window(name)))
            plain_names.push_back(text_attribute(element, "type"));
        for (auto* element : controls(pro.window(name)))
            pro_names.push_back(text_attribute(element, "type"));
        EXPECT_EQ(plain_names, pro_names) << name;
    }
}
