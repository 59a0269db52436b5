#pragma once
#include <string>

// The HTML texts the toast shows around the text a page hands it.
namespace toast_text {

// What the toast label holds before its first text.
inline constexpr const char* kInitialPage = "<html><body topmargin='0' leftmargin='0' rightmargin='0' "
                                            "leftmargin='0' background='RES:toast.png'></body></html>";

// The page's text centred in white: what the main window hands the toast.
std::string wrap(const std::string& text);

// The toast's whole page: a "Close" link at the top right, then the text.
std::string page(const std::string& text);

} // namespace toast_text
