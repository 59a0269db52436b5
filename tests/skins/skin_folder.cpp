#include "skin_folder.h"

#include <algorithm>
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace skin_files {

std::string folder()
{
    return std::string(KALVO_SOURCE_DIR) + "/skins/Kalvo";
}

std::string path(const std::string& name)
{
    return folder() + "/" + name;
}

Description::Description(const std::string& file_name)
{
    if (document.LoadFile(path(file_name).c_str()) != tinyxml2::XML_SUCCESS)
        error = document.ErrorStr() ? document.ErrorStr() : "cannot read " + file_name;
}

const tinyxml2::XMLElement* Description::window(const std::string& name) const
{
    const tinyxml2::XMLElement* root = document.RootElement();
    for (auto* w = root ? root->FirstChildElement("window") : nullptr; w; w = w->NextSiblingElement("window"))
        if (text_attribute(w, "name") == name)
            return w;
    return nullptr;
}

std::vector<const tinyxml2::XMLElement*> controls(const tinyxml2::XMLElement* window)
{
    std::vector<const tinyxml2::XMLElement*> found;
    for (auto* child = window->FirstChildElement(); child; child = child->NextSiblingElement()) {
        std::string tag = child->Name();
        if (tag == "group") {
            for (auto* member = child->FirstChildElement(); member; member = member->NextSiblingElement())
                found.push_back(member);
        } else if (tag != "tabs" && tag != "tab") {
            found.push_back(child);
        }
    }
    return found;
}

int int_attribute(const tinyxml2::XMLElement* element, const char* name, int fallback)
{
    return element->IntAttribute(name, fallback);
}

std::string text_attribute(const tinyxml2::XMLElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

Image load_image(const std::string& file)
{
    return load_image_file(path(file));
}

Image load_image_file(const std::string& full_path)
{
    Image image;
    GError* error = nullptr;
    GdkPixbuf* loaded = gdk_pixbuf_new_from_file(full_path.c_str(), &error);
    if (!loaded) {
        g_clear_error(&error);
        return image;
    }
    image.has_alpha = gdk_pixbuf_get_has_alpha(loaded);
    GdkPixbuf* rgba = image.has_alpha ? g_object_ref(loaded) : gdk_pixbuf_add_alpha(loaded, FALSE, 0, 0, 0);
    image.width = gdk_pixbuf_get_width(rgba);
    image.height = gdk_pixbuf_get_height(rgba);
    const int stride = gdk_pixbuf_get_rowstride(rgba);
    const guchar* pixels = gdk_pixbuf_read_pixels(rgba);
    image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(pixels + static_cast<size_t>(y) * stride, static_cast<size_t>(image.width) * 4,
            image.rgba.begin() + static_cast<std::ptrdiff_t>(y) * image.width * 4);
    g_object_unref(rgba);
    g_object_unref(loaded);
    return image;
}

} // namespace skin_files
