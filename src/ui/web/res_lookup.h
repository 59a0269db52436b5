#pragma once
#include <optional>
#include <string>

// "RES:" image addresses: "RES:" followed by the name of an image embedded under the
// resource folder /kalvo/res/, the name compared without regard to case
// ("RES:toast.png" and "RES:TOAST.PNG" both name /kalvo/res/toast.png).
namespace res_lookup {

inline constexpr const char* kFolder = "/kalvo/res/";

// True when the address starts with "RES:" (in any case).
bool is_res_address(const std::string& address);

// The resource path an address names; nullopt when it is not a "RES:" address or no
// embedded file has that name.
std::optional<std::string> resource_path(const std::string& address);

} // namespace res_lookup
