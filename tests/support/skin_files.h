#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "skin/loader.h"
#include "support/test_paths.h"

namespace test_support {

// Writes a PNG with alpha; `pixel(x, y)` gives 0xAARRGGBB.
void write_png(
    const std::string& path, int width, int height, const std::function<std::uint32_t(int x, int y)>& pixel);
// A PNG of one colour.
void write_png(const std::string& path, int width, int height, std::uint32_t argb);

// A skin folder "<skins>/Kalvo" under a temporary folder, with the messages the loader
// shows captured, and labels measured as 7 pixels per character and 12 high.
class TestSkin {
public:
    TestSkin();
    ~TestSkin();

    const std::string& skins_folder() const { return m_skins; }
    std::string folder() const { return m_skins + "/Kalvo"; }

    // Writes skin.xml (or another description file) with the given root content.
    void write_description(const std::string& body, const std::string& file = "skin.xml") const;
    // Writes an image into the skin folder.
    void write_image(const std::string& name, int width, int height, std::uint32_t argb = 0xFF336699) const;

    std::unique_ptr<Skin::Definition> load() const;

    // The messages shown during loads: "caption|text" each.
    std::string messages;

    // The information element every valid description starts with.
    static const char* const kInformation;

private:
    TempDir m_dir;
    std::string m_skins;
};

} // namespace test_support
