#include "support/skin_files.h"

#include <filesystem>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "support/test_paths.h"

namespace test_support {

const char* const TestSkin::kInformation = "<information><name>Test</name><author>Tests</"
                                           "author><description>A skin for tests</description></information>";

void write_png(
    const std::string& path, int width, int height, const std::function<std::uint32_t(int x, int y)>& pixel)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    guchar* data = gdk_pixbuf_get_pixels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixel(x, y);
            guchar* out = data + y * stride + x * 4;
            out[0] = guchar(p >> 16);
            out[1] = guchar(p >> 8);
            out[2] = guchar(p);
            out[3] = guchar(p >> 24);
        }
    }
    gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(pixbuf);
}

void write_png(const std::string& path, int width, int height, std::uint32_t argb)
{
    write_png(path, width, height, [argb](int, int) { return argb; });
}

TestSkin::TestSkin()
{
    m_skins = m_dir.path() + "/Skins";
    std::filesystem::create_directories(folder());
    Skin::Loader::instance().set_message_sink([this](const std::string& text, const std::string& caption) {
        messages += caption + "|" + text + "\n";
    });
    Skin::Loader::instance().set_label_measure([](const std::string& label, int) {
        return Skin::LabelSize{int(label.size()) * 7, 12};
    });
}

TestSkin::~TestSkin()
{
    Skin::Loader::instance().set_message_sink(nullptr);
    Skin::Loader::instance().set_label_measure(nullptr);
}

void TestSkin::write_description(const std::string& body, const std::string& file) const
{
    write_file(folder() + "/" + file, "<?xml version=\"1.0\"?>\n<skin>" + body + "</skin>\n");
}

void TestSkin::write_image(const std::string& name, int width, int height, std::uint32_t argb) const
{
    write_png(folder() + "/" + name, width, height, argb);
}

std::unique_ptr<Skin::Definition> TestSkin::load() const
{
    return Skin::Loader::instance().LoadFrom(m_skins, "Kalvo");
}

} // namespace test_support
