#include "ui/web/external_methods.h"

#include <functional>
#include <glib.h>
#include <strings.h>

namespace {

enum class Parameter { None, Text };

struct Row {
    const char* name;
    Parameter parameter;
    std::function<std::optional<int>(ExternalHost&, const std::string&)> call;
};

template <void (ExternalHost::*Method)()>
std::optional<int> no_argument(ExternalHost& host, const std::string&)
{
    (host.*Method)();
    return std::nullopt;
}

template <void (ExternalHost::*Method)(const std::string&)>
std::optional<int> text_argument(ExternalHost& host, const std::string& text)
{
    (host.*Method)(text);
    return std::nullopt;
}

const std::vector<Row>& table()
{
    static const std::vector<Row> rows = {
        {"ShowWizard", Parameter::None, no_argument<&ExternalHost::ShowWizard>},
        {"OpenTab", Parameter::None, no_argument<&ExternalHost::OpenTab>},
        {"CloseTab", Parameter::None, no_argument<&ExternalHost::CloseTab>},
        {"ShowProfile", Parameter::None, no_argument<&ExternalHost::ShowProfile>},
        {"ShowHistory", Parameter::None, no_argument<&ExternalHost::ShowHistory>},
        {"ShowRegister", Parameter::None, no_argument<&ExternalHost::ShowRegister>},
        {"Logout", Parameter::None, no_argument<&ExternalHost::Logout>},
        {"SetUsername", Parameter::Text, text_argument<&ExternalHost::SetUsername>},
        {"SetPassword", Parameter::Text, text_argument<&ExternalHost::SetPassword>},
        {"ShowConfirm", Parameter::Text,
            [](ExternalHost& host, const std::string& text) -> std::optional<int> {
                return host.ShowConfirm(text) ? 1 : 0;
            }},
        {"SendToTab", Parameter::Text, text_argument<&ExternalHost::SendToTab>},
        {"SendToMain", Parameter::Text, text_argument<&ExternalHost::SendToMain>},
        {"SetTab", Parameter::Text, text_argument<&ExternalHost::SetTab>},
        {"StartDTMF", Parameter::Text, text_argument<&ExternalHost::StartDTMF>},
        {"EndDTMF", Parameter::Text, text_argument<&ExternalHost::EndDTMF>},
    };
    return rows;
}

// A value as text, the way a string parameter receives it; nothing when it has no text form.
std::optional<std::string> as_text(const ExternalValue& value)
{
    switch (value.kind) {
    case ExternalValue::Kind::Undefined:
        return std::string();
    case ExternalValue::Kind::Boolean:
    case ExternalValue::Kind::Number:
    case ExternalValue::Kind::String:
        return value.text;
    case ExternalValue::Kind::Null:
    case ExternalValue::Kind::Object:
        break;
    }
    return std::nullopt;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        fields.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

std::optional<std::string> unescape(const std::string& text)
{
    gchar* plain = g_uri_unescape_string(text.c_str(), nullptr);
    if (!plain)
        return std::nullopt;
    std::string result = plain;
    g_free(plain);
    return result;
}

} // namespace

std::optional<int> external_dispid(const std::string& name)
{
    const auto& rows = table();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (strcasecmp(rows[i].name, name.c_str()) == 0)
            return static_cast<int>(i + 1);
    }
    return std::nullopt;
}

ExternalResult invoke_external(
    ExternalHost& host, const std::string& name, const std::vector<ExternalValue>& args)
{
    ExternalResult result;
    std::optional<int> dispid = external_dispid(name);
    if (!dispid) {
        result.error = ExternalError::UnknownName;
        result.message = "window.external has no method " + name;
        return result;
    }
    const Row& row = table()[*dispid - 1];
    size_t wanted = row.parameter == Parameter::None ? 0 : 1;
    if (args.size() != wanted) {
        result.error = ExternalError::BadParamCount;
        result.message = std::string(row.name) + " takes " + std::to_string(wanted) + " argument(s), got " +
            std::to_string(args.size());
        return result;
    }
    std::string text;
    if (wanted == 1) {
        std::optional<std::string> converted = as_text(args[0]);
        if (!converted) {
            result.error = ExternalError::TypeMismatch;
            result.message = std::string(row.name) + " takes a text argument";
            return result;
        }
        text = *converted;
    }
    result.value = row.call(host, text);
    return result;
}

std::optional<ExternalCall> decode_external_call(const std::string& text)
{
    std::vector<std::string> fields = split(text, '\x01');
    if (fields[0].empty())
        return std::nullopt;
    ExternalCall call;
    call.name = fields[0];
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        if (field.empty())
            return std::nullopt;
        ExternalValue value;
        switch (field[0]) {
        case 'u':
            value.kind = ExternalValue::Kind::Undefined;
            break;
        case 'z':
            value.kind = ExternalValue::Kind::Null;
            break;
        case 'b':
            value.kind = ExternalValue::Kind::Boolean;
            break;
        case 'n':
            value.kind = ExternalValue::Kind::Number;
            break;
        case 's':
            value.kind = ExternalValue::Kind::String;
            break;
        case 'o':
            value.kind = ExternalValue::Kind::Object;
            break;
        default:
            return std::nullopt;
        }
        std::optional<std::string> plain = unescape(field.substr(1));
        if (!plain)
            return std::nullopt;
        value.text = *plain;
        call.args.push_back(std::move(value));
    }
    return call;
}

std::optional<int> dtmf_tone(const std::string& text)
{
    if (text.size() != 1)
        return std::nullopt;
    char key = text[0];
    if ((key >= '0' && key <= '9') || key == '*' || key == '#')
        return static_cast<int>(key);
    return std::nullopt;
}
