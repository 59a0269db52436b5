#pragma once
#include <functional>
#include <string>
#include <vector>

#include "skin/definition.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace Skin {

struct LabelSize {
    int width = 0;
    int height = 0;
};

// Measures a tab label drawn in "Verdana" at a height of `font_size` pixels.
using LabelMeasure = std::function<LabelSize(const std::string& label, int font_size)>;

// The measure the strips use: Pango with the "Verdana" face (fontconfig substitutes a
// face when Verdana is missing), the same font the painter draws with.
LabelSize measure_tab_label(const std::string& label, int font_size);

// A new description of the tab labels' font; the caller frees it.
PangoFontDescription* tab_label_font(int font_size);

// Where a strip starts and how its items are spaced.
struct TabStripLayout {
    int x = 0;
    int y = 0;
    int padding = 3;
    int cap_width = 0; // the `left` image's width, used for both caps
    int item_height = 0; // the `left` image's height
};

// Places the items left to right from the strip's origin: each is as wide as its two
// caps plus its label (measured width + 4), and neighbours are twice the padding apart.
void lay_out_tab_items(
    const std::vector<Element*>& items, const TabStripLayout& layout, const LabelMeasure& measure);

} // namespace Skin
