#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "skin/loader.h"
#include "support/skin_files.h"
#include "support/test_paths.h"

namespace {

using test_support::IsolatedUser;
using test_support::TestSkin;

struct SkinLoad : ::testing::Test {
    IsolatedUser user;
    TestSkin skin;

    // A description made of the information element and the given windows.
    void describe(const std::string& windows)
    {
        skin.write_description(std::string(TestSkin::kInformation) + windows);
    }
};

TEST_F(SkinLoad, ReadsInformationAndWindowsInFileOrder)
{
    skin.write_image("bg.png", 40, 30);
    describe(R"(<window name="main" mode="shaped" background="bg.png" offsetx="3" offsety="4"/>
                <window name="info" width="50" height="60"/>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "Test");
    EXPECT_EQ(loaded->author, "Tests");
    EXPECT_EQ(loaded->description, "A skin for tests");
    EXPECT_EQ(loaded->folder, skin.folder());
    ASSERT_EQ(loaded->windows.size(), 2u);
    const Skin::Window& main = *loaded->windows[0];
    EXPECT_EQ(main.name, "main");
    EXPECT_TRUE(main.shaped());
    EXPECT_EQ(main.width, 40); // from the background
    EXPECT_EQ(main.height, 30);
    EXPECT_EQ(main.offsetx, 3);
    EXPECT_EQ(main.offsety, 4);
    EXPECT_EQ(main.skin, loaded.get());
    EXPECT_EQ(loaded->windows[1]->width, 50);
    EXPECT_FALSE(loaded->windows[1]->shaped());
    EXPECT_EQ(skin.messages, "");
}

TEST_F(SkinLoad, MissingInformationChildShowsItsMessageAndLoadsNothing)
{
    struct Case {
        const char* information;
        const char* message;
    } cases[] = {
        {"<information><author>a</author><description>d</description></information>",
            "Error|No name was defined in the skin.\n"},
        {"<information><name>n</name><description>d</description></information>",
            "Error|No author was defined in the skin.\n"},
        {"<information><name>n</name><author>a</author></information>",
            "Error|No description was defined in the skin.\n"},
        // Tested in order: only the first missing one is reported.
        {"<information/>", "Error|No name was defined in the skin.\n"},
    };
    for (const Case& c : cases) {
        skin.messages.clear();
        skin.write_description(std::string(c.information) + "<window name=\"main\"/>");
        EXPECT_FALSE(skin.load()) << c.information;
        EXPECT_EQ(skin.messages, c.message);
    }
}

TEST_F(SkinLoad, UnreadableFilesFailSilently)
{
    EXPECT_FALSE(skin.load()); // no file at all
    test_support::write_file(skin.folder() + "/skin.xml", "<skin><information>");
    EXPECT_FALSE(skin.load());
    skin.write_description("<window name=\"main\"/>"); // no information element
    EXPECT_FALSE(skin.load());
    EXPECT_EQ(skin.messages, "");
}

TEST_F(SkinLoad, EmptyInformationTextsAreKeptEmpty)
{
    skin.write_description("<information><name/><author>a</author><description/></information>");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "");
    EXPECT_EQ(loaded->description, "");
}

TEST_F(SkinLoad, UnloadableBackgroundFailsTheLoad)
{
    describe(R"(<window name="main" background="missing.png"/>)");
    EXPECT_FALSE(skin.load());
    test_support::write_file(skin.folder() + "/broken.png", "not an image");
    describe(R"(<window name="main" background="broken.png"/>)");
    EXPECT_FALSE(skin.load());
}

TEST_F(SkinLoad, HugeImagesAndFilesThatAreNoImagesAreRefusedWithTheirFault)
{
    skin.write_image("wide.png", 40000, 1);
    describe(R"(<window name="main" background="wide.png"/>)");
    EXPECT_FALSE(skin.load());
    EXPECT_EQ(Skin::Loader::instance().Fault(),
        skin.folder() +
            "/skin.xml: the background \"wide.png\" of window \"main\" could not be loaded: "
            "the image is 40000x1 pixels, more than 8192 a side");

    ASSERT_EQ(::mkfifo((skin.folder() + "/fifo.png").c_str(), 0600), 0);
    describe(R"(<window name="main" background="fifo.png"/>)");
    EXPECT_FALSE(skin.load()); // does not block on the FIFO
    EXPECT_NE(Skin::Loader::instance().Fault().find("not a regular file"), std::string::npos);

    skin.write_image("edge.png", 8192, 2);
    describe(R"(<window name="main" background="edge.png"/>)");
    ASSERT_TRUE(skin.load());
    EXPECT_EQ(Skin::Loader::instance().Fault(), "");
}

TEST_F(SkinLoad, ElementKindsComeFromTagsAndUnknownTagsBecomeText)
{
    describe(R"(<window name="main">
        <text type="t"/><input type="i"/><button type="b"/><scrollbar type="s"/>
        <web type="w"/><content type="c"/><label type="l"/><whatever type="x"/>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const auto& elements = loaded->windows[0]->elements;
    ASSERT_EQ(elements.size(), 8u);
    using K = Skin::ElementType;
    const K expected[] = {K::Text, K::Input, K::Button, K::ScrollBar, K::Web, K::Web, K::Text, K::Text};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(elements[i]->kind, expected[i]) << elements[i]->command;
        EXPECT_EQ(elements[i]->window, loaded->windows[0].get());
    }
}

TEST_F(SkinLoad, ControlAttributesAndFont)
{
    describe(R"(<window name="main">
        <text type="a" x="1" y="2" width="30" height="40" loginheight="55">
          <font name="Verdana" style="bold" size="9" r="1" g="2" b="3" align="center"/>
        </text>
        <text type="b" x="oops"><font align="right"/></text>
        <text type="c"><font align="middle"/></text>
        <text type="d"/>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const auto& e = loaded->windows[0]->elements;
    EXPECT_EQ(e[0]->x, 1);
    EXPECT_EQ(e[0]->y, 2);
    EXPECT_EQ(e[0]->width, 30);
    EXPECT_EQ(e[0]->height, 40);
    EXPECT_EQ(e[0]->loginheight, 55);
    ASSERT_TRUE(e[0]->font);
    EXPECT_EQ(e[0]->font->name, "Verdana");
    EXPECT_EQ(e[0]->font->style, "bold");
    EXPECT_EQ(e[0]->font->size, 9);
    EXPECT_EQ(e[0]->font->colour, 0x030201u); // red in the low byte
    EXPECT_EQ(e[0]->font->align, 1);
    EXPECT_EQ(e[1]->x, 0); // unreadable integers keep their default
    EXPECT_EQ(e[1]->font->align, 2);
    EXPECT_EQ(e[2]->font->align, 0);
    EXPECT_FALSE(e[3]->font);
}

TEST_F(SkinLoad, SizesComeFromTheFirstBaseSprite)
{
    skin.write_image("up.png", 24, 18);
    skin.write_image("strip.png", 100, 20);
    describe(R"(<window name="main">
        <button type="sized_by_image"><image><over img="up.png"/></image><image><base img="up.png"/></image></button>
        <button type="keeps_width" width="50"><image><base img="up.png"/></image></button>
        <button type="part" ><image><base img="strip.png" x="10" width="30"/></image></button>
        <button type="no_image"><image><base img="nothing.png"/></image></button>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const auto& e = loaded->windows[0]->elements;
    EXPECT_EQ(e[0]->width, 24);
    EXPECT_EQ(e[0]->height, 18);
    EXPECT_FALSE(e[0]->images[0].base);
    EXPECT_TRUE(e[0]->images[0].over);
    EXPECT_EQ(e[1]->width, 50);
    EXPECT_EQ(e[1]->height, 18);
    ASSERT_TRUE(e[2]->images[0].base);
    EXPECT_EQ(e[2]->images[0].base->x, 10);
    EXPECT_EQ(e[2]->width, 30);
    EXPECT_EQ(e[2]->height, 20);
    // A sprite whose image cannot be loaded is dropped, and the load goes on.
    ASSERT_EQ(e[3]->images.size(), 1u);
    EXPECT_FALSE(e[3]->images[0].base);
    EXPECT_EQ(e[3]->width, 0);
}

TEST_F(SkinLoad, TwoSpritesOfOneFileShareOneCachedImage)
{
    skin.write_image("shared.png", 10, 10);
    skin.write_image("sub/other.png", 5, 5);
    describe(R"(<window name="main" background="shared.png">
        <button type="a"><image><base img="shared.png"/><down img="sub/other.png"/></image></button>
        <button type="b"><image><base img="shared.png"/></image></button>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->images.size(), 2u);
    ASSERT_TRUE(loaded->FindImage("shared.png"));
    EXPECT_EQ(loaded->FindImage("shared.png"), loaded->LoadImage("shared.png"));
    EXPECT_TRUE(loaded->FindImage("sub/other.png"));
}

TEST_F(SkinLoad, GroupMembersStayInTheWindowInFileOrder)
{
    describe(R"(<window name="main">
        <text type="before"/>
        <group name="calls"><button type="dial"/><button type="hangup"/></group>
        <text type="after"/>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const Skin::Window& window = *loaded->windows[0];
    ASSERT_EQ(window.elements.size(), 4u);
    EXPECT_EQ(window.elements[1]->command, "dial");
    EXPECT_EQ(window.elements[3]->command, "after");
    ASSERT_TRUE(window.groups.contains("calls"));
    const auto& members = window.groups.at("calls").elements;
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0], window.elements[1].get());
    EXPECT_EQ(members[1], window.elements[2].get());
}

TEST_F(SkinLoad, ProTierReadsTheProDescription)
{
    describe(R"(<window name="plain"/>)");
    skin.write_description(std::string(TestSkin::kInformation) + "<window name=\"pro\"/>", "skin_pro.xml");
    auto plain = skin.load();
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->windows[0]->name, "plain");

    AppSettings settings;
    settings.load();
    settings.splash_path = "splash_pro.png";
    settings.save();
    auto pro = skin.load();
    ASSERT_TRUE(pro);
    EXPECT_EQ(pro->windows[0]->name, "pro");
    EXPECT_EQ(Skin::Loader::DescriptionFile("splash.png"), "skin.xml");
}

TEST_F(SkinLoad, SkinsFolderSettingIsWrittenBackWhenMissing)
{
    registry_string setting(settings_path("Skins Directory"));
    ::setenv("KALVO_SKINS_DIR", skin.skins_folder().c_str(), 1);
    describe(R"(<window name="main"/>)");
    EXPECT_FALSE(setting.exists());
    auto loaded = Skin::Loader::instance().Load("Kalvo");
    ::unsetenv("KALVO_SKINS_DIR");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(setting.get(), skin.skins_folder());

    // An existing value is used as it is.
    setting.set("/nowhere");
    EXPECT_EQ(Skin::Loader::SkinsFolder(), "/nowhere");
    EXPECT_FALSE(Skin::Loader::instance().Load("Kalvo"));
}

TEST_F(SkinLoad, NumbersBeyondAMillionAreBoundedWhereTheyAreRead)
{
    describe(R"(<window name="main"><text type="t" x="2147483647" y="-2147483648" width="7"/></window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const Skin::Element& text = *loaded->windows[0]->elements.at(0);
    EXPECT_EQ(text.x, 1000000);
    EXPECT_EQ(text.y, -1000000);
    EXPECT_EQ(text.width, 7);
}

TEST_F(SkinLoad, TabStripItemsAreLaidOutFromTheirLabels)
{
    skin.write_image("left.png", 6, 22);
    describe(R"(<window name="main">
        <tabs name="strip" type="tabs_main" x="10" y="100" padding="2" fontsize="11" left="left.png"
              mid="mid.png" right="right.png" background="bg.png" r="1" g="2" b="3" or="4" ob="5" og="6" sticky="1">
          <item type="tab_a" label="Dial"/>
          <other type="tab_b" label="Contacts"/>
        </tabs>
        <tabs type="plain"><item type="tab_c" label="x"/></tabs>
    </window>)");
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const auto& e = loaded->windows[0]->elements;
    ASSERT_EQ(e.size(), 3u);
    const Skin::Element& a = *e[0];
    const Skin::Element& b = *e[1];
    EXPECT_EQ(a.kind, Skin::ElementType::TabItem);
    EXPECT_EQ(a.command, "tab_a");
    EXPECT_EQ(a.tab.label, "Dial");
    EXPECT_EQ(a.tab.strip_name, "strip");
    EXPECT_EQ(a.tab.strip_type, "tabs_main");
    EXPECT_EQ(a.tab.font_size, 11);
    // Both caps are as wide as the left image; the label is measured (7 px a character) + 4.
    EXPECT_EQ(a.tab.left_width, 6);
    EXPECT_EQ(a.tab.right_width, 6);
    EXPECT_EQ(a.tab.label_width, 4 * 7 + 4);
    EXPECT_EQ(a.tab.label_height, 12);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 100);
    EXPECT_EQ(a.width, 6 + 6 + 32);
    EXPECT_EQ(a.height, 22);
    EXPECT_EQ(b.x, 10 + 44 + 2 * 2);
    EXPECT_EQ(b.width, 6 + 6 + 8 * 7 + 4);
    // Plain colour r, g, b; highlight `or` red, `ob` green, `og` blue.
    EXPECT_EQ(a.tab.plain_colour, Skin::rgb(1, 2, 3));
    EXPECT_EQ(a.tab.highlight_colour, Skin::rgb(4, 5, 6));
    // A sticky strip starts with its first item selected.
    EXPECT_TRUE(a.tab.sticky);
    EXPECT_TRUE(a.tab.selected);
    EXPECT_FALSE(b.tab.selected);
    // Defaults: padding 3, font size 10, white highlight, not sticky, no height without a left image.
    const Skin::Element& c = *e[2];
    EXPECT_EQ(c.tab.font_size, 10);
    EXPECT_EQ(c.tab.highlight_colour, Skin::rgb(255, 255, 255));
    EXPECT_FALSE(c.tab.sticky);
    EXPECT_FALSE(c.tab.selected);
    EXPECT_EQ(c.height, 0);
}

TEST(TabStripLayout, PaddingSeparatesNeighboursTwice)
{
    Skin::Element first;
    Skin::Element second;
    Skin::Element third;
    first.tab.label = "ab";
    second.tab.label = "";
    third.tab.label = "abc";
    Skin::TabStripLayout layout{5, 7, 3, 4, 20};
    Skin::lay_out_tab_items({&first, &second, &third}, layout, [](const std::string& label, int) {
        return Skin::LabelSize{int(label.size()) * 10, 9};
    });
    EXPECT_EQ(first.x, 5);
    EXPECT_EQ(first.width, 4 + 4 + 24);
    EXPECT_EQ(second.x, 5 + 32 + 6);
    EXPECT_EQ(second.width, 4 + 4 + 4);
    EXPECT_EQ(third.x, 5 + 32 + 6 + 12 + 6);
    EXPECT_EQ(third.y, 7);
    EXPECT_EQ(third.height, 20);

    // A skin's huge padding saturates the positions instead of overflowing them.
    Skin::TabStripLayout huge{5, 7, std::numeric_limits<int>::max(), 4, 20};
    Skin::lay_out_tab_items({&first, &second}, huge, [](const std::string&, int) { return Skin::LabelSize{10, 9}; });
    EXPECT_EQ(first.x, 5);
    EXPECT_EQ(second.x, std::numeric_limits<int>::max());
}

TEST(TabStripLayout, PangoMeasuresWiderLabelsWider)
{
    Skin::LabelSize short_label = Skin::measure_tab_label("Dial", 11);
    Skin::LabelSize long_label = Skin::measure_tab_label("Directory", 11);
    Skin::LabelSize bigger = Skin::measure_tab_label("Dial", 22);
    EXPECT_GT(short_label.width, 0);
    EXPECT_GT(long_label.width, short_label.width);
    EXPECT_GT(bigger.height, short_label.height);
}

struct TabWindowLoad : SkinLoad {
    void SetUp() override
    {
        skin.write_image("main.png", 100, 200);
        skin.write_image("open.png", 80, 150);
        skin.write_image("close.png", 80, 150);
    }
    std::string tab_window(
        const std::string& tab_attributes, const std::string& children, const std::string& mode = "tab")
    {
        return "<window name=\"side\" mode=\"" + mode + "\"><tab " + tab_attributes + ">" + children +
            "</tab></window>";
    }
    const std::string sprites = R"(<open img="open.png"/><close img="close.png"/>)";
    const std::string main_window = R"(<window name="main" mode="shaped" background="main.png"/>)";
};

TEST_F(TabWindowLoad, ValidTabDescribesTheSlide)
{
    describe(main_window + tab_window(R"(parent="main" x="3" y="60" width="24" direction="right")", sprites));
    auto loaded = skin.load();
    ASSERT_TRUE(loaded);
    const Skin::Window& side = *loaded->windows[1];
    ASSERT_TRUE(side.tab);
    EXPECT_EQ(side.tab->parent, loaded->windows[0].get());
    EXPECT_EQ(side.tab->direction, Skin::TabDirection::Right);
    EXPECT_EQ(side.tab->x, 3);
    EXPECT_EQ(side.tab->y, 60);
    EXPECT_EQ(side.tab->width, 24);
    EXPECT_EQ(side.tab->open.file, "open.png");
    EXPECT_EQ(side.tab->open.width, 80);
    EXPECT_EQ(side.tab->close.file, "close.png");
    EXPECT_EQ(side.tab->current, &side.tab->open); // starts closed
    // The parser made the tab dialog and bound it.
    ASSERT_TRUE(side.dialog);
    EXPECT_EQ(side.dialog, side.tab_dialog.get());
}

TEST_F(TabWindowLoad, EveryDirectionWordIsAccepted)
{
    const std::pair<const char*, Skin::TabDirection> words[] = {{"left", Skin::TabDirection::Left},
        {"right", Skin::TabDirection::Right}, {"up", Skin::TabDirection::Up},
        {"down", Skin::TabDirection::Down}};
    for (const auto& [word, direction] : words) {
        describe(
            main_window + tab_window(std::string("parent=\"main\" direction=\"") + word + "\"", sprites));
        auto loaded = skin.load();
        ASSERT_TRUE(loaded) << word;
        EXPECT_EQ(loaded->windows[1]->tab->direction, direction);
    }
}

TEST_F(TabWindowLoad, InvalidTabDescriptionsFailTheLoad)
{
    const std::string later_parent =
        tab_window(R"(parent="main" direction="left")", sprites) + main_window; // parent defined later
    const std::string cases[] = {
        main_window + tab_window(R"(parent="main" direction="left")", sprites, "shaped"), // not a tab window
        main_window + tab_window(R"(parent="main" direction="left")", sprites, ""),
        later_parent,
        main_window + tab_window(R"(parent="nobody" direction="left")", sprites),
        main_window + tab_window(R"(direction="left")", sprites), // no parent
        main_window + tab_window(R"(parent="main" direction="sideways")", sprites),
        main_window + tab_window(R"(parent="main" direction="Left")", sprites),
        main_window + tab_window(R"(parent="main")", sprites), // no direction
        main_window + tab_window(R"(parent="main" direction="left")", R"(<close img="close.png"/>)"),
        main_window + tab_window(R"(parent="main" direction="left")", R"(<open img="open.png"/>)"),
        main_window +
            tab_window(
                R"(parent="main" direction="left")", R"(<open img="gone.png"/><close img="close.png"/>)"),
    };
    for (const std::string& windows : cases) {
        describe(windows);
        EXPECT_FALSE(skin.load()) << windows;
    }
    EXPECT_EQ(skin.messages, "");
}

TEST(ShippedSkin, LoadsWithTheWindowsTheProgramBinds)
{
    IsolatedUser user;
    auto loaded = Skin::Loader::instance().LoadFrom(std::string(KALVO_SOURCE_DIR) + "/skins", "Kalvo");
    ASSERT_TRUE(loaded);
    Skin::Window* main = loaded->FindWindow("main");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->mode, "shaped");
    EXPECT_EQ(main->width, 300);
    EXPECT_EQ(main->height, 523);
    ASSERT_TRUE(loaded->FindWindow("info"));
    Skin::Window* tab = loaded->FindWindow("tab");
    ASSERT_TRUE(tab);
    ASSERT_TRUE(tab->tab);
    EXPECT_EQ(tab->tab->parent, main);
}

} // namespace
