// A skin description (skin.xml) beside a few images, loaded by the skin loader.
#include <filesystem>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "fuzz_support.h"
#include "skin/loader.h"

namespace {

// A skins folder holding the skin "Fuzz" with three small images, made once.
const std::string& skins_folder()
{
    static const std::string folder = [] {
        std::string skins = fuzz_support::private_home() + "/skins";
        std::filesystem::create_directories(skins + "/Fuzz");
        GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 4, 3);
        gdk_pixbuf_fill(pixbuf, 0x336699ff);
        for (const char* name : {"bg.png", "a.png", "b.png"})
            gdk_pixbuf_save(pixbuf, (skins + "/Fuzz/" + name).c_str(), "png", nullptr, nullptr);
        g_object_unref(pixbuf);
        Skin::Loader::instance().set_message_sink([](const std::string&, const std::string&) {});
        Skin::Loader::instance().set_label_measure([](const std::string& label, int) {
            return Skin::LabelSize{int(label.size()) * 7, 12};
        });
        return skins;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& skins = skins_folder();
    fuzz_support::write_file(skins + "/Fuzz/skin.xml", fuzz_support::text(data, size));
    auto skin = Skin::Loader::instance().LoadFrom(skins, "Fuzz");
    fuzz_support::check(
        skin || !Skin::Loader::instance().Fault().empty(), "a skin that is not loaded says why");
    return 0;
}
