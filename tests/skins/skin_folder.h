#pragma once
// Reading the shipped skin's files the way the loader sees them, for the skin file tests.
#include <memory>
#include <string>
#include <tinyxml2.h>
#include <vector>

namespace skin_files {

// The source tree's skins/Kalvo folder.
std::string folder();
std::string path(const std::string& name);

// One description file, parsed; error() is empty when it parsed.
struct Description {
    explicit Description(const std::string& file_name);
    tinyxml2::XMLDocument document;
    std::string error;
    const tinyxml2::XMLElement* window(const std::string& name) const;
};

// Control elements of a window as the loader walks them: group members in place, tab-strip
// items excluded (they are laid out separately), the tab description excluded.
std::vector<const tinyxml2::XMLElement*> controls(const tinyxml2::XMLElement* window);

int int_attribute(const tinyxml2::XMLElement* element, const char* name, int fallback = 0);
std::string text_attribute(const tinyxml2::XMLElement* element, const char* name);

// An image decoded as the program decodes it (GdkPixbuf, straight alpha, 4 channels).
struct Image {
    int width = 0;
    int height = 0;
    bool has_alpha = false;
    std::vector<unsigned char> rgba; // width * height * 4, no row padding
    bool loaded() const { return width > 0; }
    const unsigned char* pixel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};
// A picture of the skin folder by name, or any picture by full path.
Image load_image(const std::string& file);
Image load_image_file(const std::string& full_path);

} // namespace skin_files
