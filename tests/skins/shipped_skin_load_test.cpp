// The shipped skin read by the program's own loader: it loads for both account tiers, every
// sprite finds its image, and the laid-out section tabs stay inside the main window's frame.
#include <gtest/gtest.h>
#include <set>

#include "settings/app_settings.h"
#include "skin/loader.h"
#include "support/test_paths.h"

namespace {

// The frame around the main window's page is this wide on each side.
const int kFrame = 8;

class ShippedSkin : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        AppSettings settings;
        settings.load();
        settings.splash_path = GetParam();
        settings.save();
        Skin::Loader::instance().set_message_sink(
            [this](const std::string& text, const std::string&) { m_messages.push_back(text); });
        m_skin = Skin::Loader::instance().LoadFrom(std::string(KALVO_SOURCE_DIR) + "/skins", "Kalvo");
    }

    void TearDown() override { Skin::Loader::instance().set_message_sink(nullptr); }

    test_support::IsolatedUser m_user;
    std::vector<std::string> m_messages;
    std::unique_ptr<Skin::Definition> m_skin;
};

std::vector<const Skin::Sprite*> sprites_of(const Skin::Element& element)
{
    std::vector<const Skin::Sprite*> sprites;
    for (const Skin::ImageState& state : element.images)
        for (const auto* sprite : {&state.base, &state.over, &state.down})
            if (*sprite)
                sprites.push_back(&**sprite);
    return sprites;
}

} // namespace

TEST_P(ShippedSkin, LoadsWithEveryImage)
{
    ASSERT_NE(m_skin, nullptr);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_NE(m_skin->FindWindow("main"), nullptr);
    ASSERT_NE(m_skin->FindWindow("tab"), nullptr);
    ASSERT_NE(m_skin->FindWindow("info"), nullptr);
    EXPECT_EQ(m_skin->FindWindow("main")->width, 300);
    EXPECT_EQ(m_skin->FindWindow("main")->height, 523);

    for (const auto& window : m_skin->windows) {
        if (!window->background.empty()) {
            EXPECT_NE(m_skin->FindImage(window->background), nullptr) << window->background;
        }
        for (const auto& element : window->elements) {
            for (const Skin::Sprite* sprite : sprites_of(*element)) {
                EXPECT_NE(m_skin->FindImage(sprite->file), nullptr)
                    << element->command << ": " << sprite->file;
                EXPECT_GT(sprite->width, 0) << sprite->file;
            }
        }
    }
    const Skin::TabInfo* tab = m_skin->FindWindow("tab")->tab.get();
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->parent, m_skin->FindWindow("main"));
}

TEST_P(ShippedSkin, SectionTabsFitInsideTheFrame)
{
    ASSERT_NE(m_skin, nullptr);
    const Skin::Window* main = m_skin->FindWindow("main");
    std::vector<const Skin::Element*> items;
    for (const auto& element : main->elements)
        if (element->kind == Skin::ElementType::TabItem)
            items.push_back(element.get());
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(items.front()->tab.selected) << "a sticky strip starts on its first item";
    for (const Skin::Element* item : items) {
        EXPECT_GE(item->x, kFrame) << item->command;
        EXPECT_LE(item->x + item->width, main->width - kFrame) << item->command << " runs into the frame";
        EXPECT_GT(item->tab.label_width, 4) << item->command << ": its label was not measured";
    }
}

INSTANTIATE_TEST_SUITE_P(BothTiers, ShippedSkin, ::testing::Values("splash.png", "splash_pro.png"));
