#include "ui/launch_splash/x11_splash.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include "ui/launch_splash/png_rgba.h"

namespace launch_splash {

namespace {

// The program's own windows carry the same name and class, so the desktop treats the
// splash as theirs.
constexpr const char kName[] = "Kalvo";
constexpr const char kClass[] = "kalvo\0Kalvo"; // instance and class, each NUL-ended

struct Connection {
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
};

std::optional<Connection> connect_display()
{
    if (!std::getenv("DISPLAY"))
        return std::nullopt;
    int screen_number = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen_number && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    return Connection { connection, screens.data };
}

std::vector<Monitor> monitors(xcb_connection_t* connection, xcb_window_t root)
{
    std::vector<Monitor> found;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection, &xcb_randr_id);
    if (!randr || !randr->present)
        return found;
    // Monitors arrived with RandR 1.5.
    auto* version = xcb_randr_query_version_reply(connection, xcb_randr_query_version(connection, 1, 5), nullptr);
    bool has_monitors = version && (version->major_version > 1 || version->minor_version >= 5);
    std::free(version);
    if (!has_monitors)
        return found;
    auto* reply = xcb_randr_get_monitors_reply(connection, xcb_randr_get_monitors(connection, root, 1), nullptr);
    if (!reply)
        return found;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem; xcb_randr_monitor_info_next(&it))
        found.push_back({ { it.data->x, it.data->y, it.data->width, it.data->height }, it.data->primary != 0 });
    std::free(reply);
    return found;
}

std::optional<PixelFormat> root_format(xcb_connection_t* connection, const xcb_screen_t* screen)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    bool thirty_two_bits = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        thirty_two_bits |= it.data->depth == screen->root_depth && it.data->bits_per_pixel == 32;
    if (!thirty_two_bits || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return std::nullopt;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t* visual = visuals.data;
            if (visual->visual_id == screen->root_visual && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return PixelFormat { visual->red_mask, visual->green_mask, visual->blue_mask };
        }
    }
    return std::nullopt;
}

// Puts the pixels into the pixmap in bands that each fit one request.
void put_pixels(xcb_connection_t* connection, xcb_pixmap_t pixmap, xcb_gcontext_t gc, uint8_t depth,
    const std::vector<uint32_t>& pixels, int width, int height)
{
    constexpr size_t kRequestHeader = 24;
    const size_t largest_request = static_cast<size_t>(xcb_get_maximum_request_length(connection)) * 4;
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    const int rows_per_band = static_cast<int>(std::max<size_t>(1, (largest_request - kRequestHeader) / row_bytes));
    for (int top = 0; top < height; top += rows_per_band) {
        const int rows = std::min(rows_per_band, height - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, rows, 0, top, 0, depth,
            static_cast<uint32_t>(row_bytes * rows), reinterpret_cast<const uint8_t*>(&pixels[top * width]));
    }
}

void describe_window(xcb_connection_t* connection, xcb_window_t window, const Rect& placement)
{
    const std::array<const char*, 5> names = { "_NET_WM_NAME", "UTF8_STRING", "_NET_WM_WINDOW_TYPE",
        "_NET_WM_WINDOW_TYPE_SPLASH", "_MOTIF_WM_HINTS" };
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies;
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, names.size()> atoms {};
    for (size_t i = 0; i < names.size(); ++i) {
        if (auto* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr)) {
            atoms[i] = reply->atom;
            std::free(reply);
        }
    }
    const auto [net_wm_name, utf8_string, window_type, splash_type, motif_hints] = atoms;

    auto set = [&](xcb_atom_t property, xcb_atom_t type, uint8_t format, uint32_t count, const void* data) {
        if (property != XCB_ATOM_NONE && type != XCB_ATOM_NONE)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, format, count, data);
    };
    set(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof kName - 1, kName);
    set(net_wm_name, utf8_string, 8, sizeof kName - 1, kName);
    set(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof kClass, kClass);
    set(window_type, XCB_ATOM_ATOM, 32, 1, &splash_type);
    // No frame: flags = decorations given, decorations = none.
    const std::array<uint32_t, 5> no_decorations = { 2, 0, 0, 0, 0 };
    set(motif_hints, motif_hints, 32, no_decorations.size(), no_decorations.data());
    // Where it stands and that its size is fixed: user position and size, minimum = maximum.
    std::array<uint32_t, 18> size_hints {};
    size_hints[0] = 1 | 2 | 4 | 8 | 16 | 32;
    size_hints[1] = static_cast<uint32_t>(placement.x);
    size_hints[2] = static_cast<uint32_t>(placement.y);
    size_hints[3] = size_hints[5] = size_hints[7] = static_cast<uint32_t>(placement.width);
    size_hints[4] = size_hints[6] = size_hints[8] = static_cast<uint32_t>(placement.height);
    set(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, size_hints.size(), size_hints.data());
}

} // namespace

std::unique_ptr<X11Splash> X11Splash::show(const std::string& image_path)
{
    std::optional<RgbaImage> image = read_png(image_path);
    if (!image)
        return nullptr;
    std::optional<Connection> display = connect_display();
    if (!display)
        return nullptr;
    xcb_connection_t* connection = display->connection;
    const xcb_screen_t* screen = display->screen;
    std::optional<PixelFormat> format = root_format(connection, screen);
    std::optional<std::vector<uint32_t>> pixels =
        format ? display_pixels(image->rgba, image->width, image->height, *format) : std::nullopt;
    if (!pixels) {
        xcb_disconnect(connection);
        return nullptr;
    }

    const Rect whole_screen { 0, 0, screen->width_in_pixels, screen->height_in_pixels };
    const Rect placement =
        centred(splash_monitor(monitors(connection, screen->root), whole_screen), image->width, image->height);

    xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, screen->root_depth, pixmap, screen->root,
        static_cast<uint16_t>(image->width), static_cast<uint16_t>(image->height));
    xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    put_pixels(connection, pixmap, gc, screen->root_depth, *pixels, image->width, image->height);
    xcb_free_gc(connection, gc);

    xcb_window_t window = xcb_generate_id(connection);
    const uint32_t background[] = { pixmap };
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<int16_t>(placement.x),
        static_cast<int16_t>(placement.y), static_cast<uint16_t>(placement.width),
        static_cast<uint16_t>(placement.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
        XCB_CW_BACK_PIXMAP, background);
    describe_window(connection, window, placement);
    xcb_map_window(connection, window);
    xcb_flush(connection);
    return std::unique_ptr<X11Splash>(new X11Splash(connection, window, pixmap, placement));
}

X11Splash::X11Splash(xcb_connection_t* connection, uint32_t window, uint32_t pixmap, Rect placement)
    : m_connection(connection), m_window(window), m_pixmap(pixmap), m_placement(placement)
{
}

X11Splash::~X11Splash()
{
    xcb_destroy_window(m_connection, m_window);
    xcb_free_pixmap(m_connection, m_pixmap);
    xcb_flush(m_connection);
    xcb_disconnect(m_connection);
}

} // namespace launch_splash
