#include "net/download_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kBytesPerMB = 1024.0 * 1024.0;

} // namespace

std::optional<int> download_percent(double total_bytes, double downloaded_bytes)
{
    if (!(total_bytes > 0))
        return std::nullopt;
    // Multiplying first keeps whole ratios exact (3 MB of 3 MB is 100, not 100.000001 → 101).
    double percent = std::ceil(100.0 * downloaded_bytes / total_bytes);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

std::string download_status_text(double total_bytes, double downloaded_bytes)
{
    char text[64];
    if (total_bytes > 0)
        std::snprintf(text, sizeof text, "%0.2fMB of %0.2fMB", downloaded_bytes / kBytesPerMB,
            total_bytes / kBytesPerMB);
    else
        std::snprintf(text, sizeof text, "%0.2fMB", downloaded_bytes / kBytesPerMB);
    return text;
}
