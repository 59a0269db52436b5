#pragma once
#include <optional>
#include <string>

// What the progress window shows while the update downloads.

// The bar's percent: 100 / total × downloaded rounded up to a whole number, within 0..100;
// none while the total is not known yet (libcurl reports 0).
std::optional<int> download_percent(double total_bytes, double downloaded_bytes);

// "1.00MB of 3.00MB" (downloaded first, in MiB); while the total is not known, only the
// bytes so far ("1.00MB").
std::string download_status_text(double total_bytes, double downloaded_bytes);

// The window's second line, set again with every update.
inline constexpr const char* kDownloadWaitText = "Please wait while Kalvo downloads an important update...";
