// The markup of HTML labels (toasts, the About window).
#include "fuzz_support.h"
#include "ui/web/html_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text = fuzz_support::text(data, size);
    html_model::parse(text);
    html_model::parse_color(text);
    html_model::parse_font_size(text);
    html_model::parse_length(text);
    return 0;
}
