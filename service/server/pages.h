#pragma once
#include <map>
#include <optional>
#include <string>

// The service's page templates (service/pages/NAME.html), read at each request so
// pages can be edited while the service runs. "{{KEY}}" is replaced with the
// value of KEY, HTML-escaped; pages read values from data attributes.
class Pages {
public:
    explicit Pages(std::string folder);

    // The page, or nothing when the template cannot be read.
    std::optional<std::string> render(
        const std::string& name, const std::map<std::string, std::string>& values) const;

private:
    std::string m_folder;
};

std::string html_escape(const std::string& text);
