// Time to load the shipped skin (parse the description, decode every image, measure the
// tab labels) and to build the main window's shape from its background.
#include <algorithm>
#include <cairo.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "skin/contour_bitmap.h"
#include "skin/loader.h"

namespace {

struct Timing {
    double median_ms;
    double min_ms;
};

Timing time_runs(int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

} // namespace

int main()
{
    // A throw-away settings store: loading reads the settings record.
    char home[] = "/tmp/kalvo-bench-XXXXXX";
    if (!::mkdtemp(home))
        return 1;
    ::setenv("HOME", home, 1);
    ::setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (std::string(home) + "/.local/share").c_str(), 1);

    const std::string skins = std::string(KALVO_SOURCE_DIR) + "/skins";
    Skin::Loader& loader = Skin::Loader::instance();
    auto skin = loader.LoadFrom(skins, "Kalvo");
    if (!skin) {
        std::fprintf(stderr, "the shipped skin did not load from %s\n", skins.c_str());
        return 1;
    }
    std::size_t pixels = 0;
    for (const auto& [name, image] : skin->images)
        pixels += std::size_t(image->width()) * image->height();

    Timing load = time_runs(30, [&] { loader.LoadFrom(skins, "Kalvo"); });
    std::printf("skin load (parse + decode %zu images, %.2f Mpixel): median %.2f ms, min %.2f ms\n",
        skin->images.size(), pixels / 1e6, load.median_ms, load.min_ms);

    const Skin::Window* main = skin->FindWindow("main");
    const Skin::Bitmap* background = main ? skin->FindImage(main->background) : nullptr;
    if (!background) {
        std::fprintf(stderr, "the shipped skin has no main background\n");
        return 1;
    }
    int rectangles = 0;
    Timing region = time_runs(200, [&] {
        CContourBitmap contour(background);
        cairo_region_t* shape = contour.GetRegion(Skin::kTopLeftColour);
        rectangles = cairo_region_num_rectangles(shape);
        cairo_region_destroy(shape);
    });
    std::printf("main window region (%dx%d, %d rectangles): median %.3f ms, min %.3f ms\n",
        background->width(), background->height(), rectangles, region.median_ms, region.min_ms);

    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return 0;
}
