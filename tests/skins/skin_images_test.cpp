// The shipped skin's pictures: window outlines the shape builder can cut exactly, a grip
// that is all that shows of the closed side panel, readable text bands on the start-up
// and About pictures, and every picture rendered from a kept source.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/wait.h>

#include "skin_folder.h"
#include "support/test_paths.h"

using namespace skin_files;

namespace {

bool same_rgb(const unsigned char* a, const unsigned char* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// The window shape removes every pixel whose colour equals the top-left pixel's, comparing
// colour only. Whether the engine reads the straight pixels or a premultiplied copy (where
// a clear pixel reads as black), inside and outside must stay apart: outside pixels are
// fully clear and all of the key colour, inside pixels fully opaque and never the key
// colour nor black.
void expect_clean_outline(const std::string& file)
{
    Image image = load_image(file);
    ASSERT_TRUE(image.loaded()) << file;
    const unsigned char* key = image.pixel(0, 0);
    const unsigned char black[3] = {0, 0, 0};
    EXPECT_EQ(key[3], 0) << file << ": the top-left pixel must be outside the window";
    int outside = 0;
    int faults = 0;
    for (int y = 0; y < image.height && faults < 5; ++y) {
        for (int x = 0; x < image.width && faults < 5; ++x) {
            const unsigned char* p = image.pixel(x, y);
            if (p[3] == 0 && same_rgb(p, key)) {
                ++outside;
            } else if (p[3] != 255 || same_rgb(p, key) || same_rgb(p, black)) {
                ++faults;
                ADD_FAILURE() << file << ": pixel (" << x << ", " << y << ") rgba " << int(p[0]) << ","
                              << int(p[1]) << "," << int(p[2]) << "," << int(p[3])
                              << " is neither cleanly outside nor cleanly inside";
            }
        }
    }
    EXPECT_GT(outside, 0) << file << " has no outside at all";
}

std::set<std::string> rendered_outputs()
{
    std::set<std::string> outputs;
    std::ifstream list(path("src/images.txt"));
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string output;
        if (fields >> output && output[0] != '#')
            outputs.insert(output);
    }
    return outputs;
}

} // namespace

TEST(SkinImages, ShapedWindowsHaveAnExactKeyColourOutside)
{
    for (const char* file : {"main.png", "main_pro.png", "tab_open.png", "tab_close.png"})
        expect_clean_outline(file);
}

TEST(SkinImages, SidePanelShapeIsTheSameOpenAndClosed)
{
    // The shape comes from the open sprite only; the close sprite must fill the same outline.
    Image open = load_image("tab_open.png");
    Image close = load_image("tab_close.png");
    ASSERT_EQ(open.width, close.width);
    ASSERT_EQ(open.height, close.height);
    int differing = 0;
    for (int y = 0; y < open.height; ++y)
        for (int x = 0; x < open.width; ++x)
            differing += (open.pixel(x, y)[3] == 0) != (close.pixel(x, y)[3] == 0);
    EXPECT_EQ(differing, 0);
}

TEST(SkinImages, ClosedSidePanelShowsOnlyItsClickableGrip)
{
    Description description("skin.xml");
    const tinyxml2::XMLElement* tab = description.window("tab")->FirstChildElement("tab");
    const int grip = int_attribute(tab, "width");
    // The grip answers clicks up to this row only.
    const int last_clickable_row = 482;
    Image open = load_image("tab_open.png");
    int grip_pixels = 0;
    for (int y = 0; y < open.height; ++y) {
        for (int x = 0; x < grip; ++x) {
            if (open.pixel(x, y)[3] == 0)
                continue;
            ++grip_pixels;
            EXPECT_LE(y, last_clickable_row) << "grip pixel (" << x << ", " << y << ") cannot be clicked";
        }
    }
    EXPECT_GT(grip_pixels, 0);
    // Outside the grip's rows the strip beside the main window is clear, so nothing but the
    // grip shows while the panel is closed.
    int grip_rows = 0;
    for (int y = 0; y < open.height; ++y)
        grip_rows += open.pixel(0, y)[3] != 0 || open.pixel(grip - 1, y)[3] != 0;
    EXPECT_LT(grip_rows, open.height / 2);
}

TEST(SkinImages, StartupAndAboutPicturesKeepTheStatusBandDark)
{
    // The program writes one line of white text at x 193 .. right edge, y 60 .. 80.
    for (const char* file : {"splash.png", "about.png"}) {
        Image image = load_image(file);
        ASSERT_TRUE(image.loaded()) << file;
        ASSERT_GE(image.width, 300) << file;
        ASSERT_GE(image.height, 80) << file;
        double brightest = 0;
        for (int y = 60; y < 80; ++y) {
            for (int x = 193; x < image.width; ++x) {
                const unsigned char* p = image.pixel(x, y);
                EXPECT_EQ(p[3], 255) << file << " is not opaque at (" << x << ", " << y << ")";
                brightest = std::max(brightest, 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]);
            }
        }
        EXPECT_LT(brightest, 90) << file << ": white text would not read on this band";
    }
}

TEST(SkinImages, EveryPictureHasASourceAndEverySourceAPicture)
{
    std::set<std::string> outputs = rendered_outputs();
    ASSERT_FALSE(outputs.empty());
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
        if (entry.path().extension() != ".png")
            continue;
        EXPECT_TRUE(outputs.count(entry.path().filename().string()))
            << entry.path().filename() << " is not rendered from src/";
    }
    for (const std::string& output : outputs)
        EXPECT_TRUE(load_image(output).loaded()) << output << " is listed but missing";
}

TEST(SkinImages, CommittedPicturesMatchTheirSources)
{
    // An edited drawing that was not rendered again, or a picture edited by hand, shows here.
    if (std::system("command -v rsvg-convert >/dev/null && command -v convert >/dev/null") != 0)
        GTEST_SKIP() << "rsvg-convert or convert is missing";
    test_support::TempDir rendered;
    std::string command = "bash " + std::string(KALVO_SOURCE_DIR) + "/scripts/render-skin.sh " + folder() +
        " " + rendered.path() + " >/dev/null";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    for (const std::string& output : rendered_outputs()) {
        Image committed = load_image(output);
        Image fresh = load_image_file(rendered.file(output));
        ASSERT_TRUE(fresh.loaded()) << output << " was not rendered";
        EXPECT_EQ(committed.width, fresh.width) << output;
        EXPECT_EQ(committed.height, fresh.height) << output;
        EXPECT_TRUE(committed.rgba == fresh.rgba) << output << " differs from what its source renders";
    }
}
