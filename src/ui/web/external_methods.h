#pragma once
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The methods pages call on `window.external`: a table of fifteen rows looked up by name
// without regard to case, with each call's argument count and types checked before the
// host's member runs. Plain C++: the web host decodes a page's call and hands it here.

// One argument as the page passed it.
struct ExternalValue {
    enum class Kind { Undefined, Null, Boolean, Number, String, Object };
    Kind kind = Kind::Undefined;
    std::string text; // the script's own text form of a boolean, number or string
};

// What the program does for each method; the main window implements it.
class ExternalHost {
public:
    virtual ~ExternalHost() = default;
    virtual void ShowWizard() = 0;
    virtual void OpenTab() = 0;
    virtual void CloseTab() = 0;
    virtual void ShowProfile() = 0;
    virtual void ShowHistory() = 0;
    virtual void ShowRegister() = 0;
    virtual void Logout() = 0;
    virtual void SetUsername(const std::string& text) = 0;
    virtual void SetPassword(const std::string& text) = 0;
    virtual bool ShowConfirm(const std::string& text) = 0;
    virtual void SendToTab(const std::string& text) = 0;
    virtual void SendToMain(const std::string& text) = 0;
    virtual void SetTab(const std::string& text) = 0;
    virtual void StartDTMF(const std::string& text) = 0;
    virtual void EndDTMF(const std::string& text) = 0;
};

enum class ExternalError { None, UnknownName, BadParamCount, TypeMismatch };

struct ExternalResult {
    ExternalError error = ExternalError::None;
    std::optional<int> value; // ShowConfirm's 1 or 0
    std::string message; // for the page when the call failed
};

// The row's 1-based position for a name in any letter case; nothing for an unknown name.
std::optional<int> external_dispid(const std::string& name);

// Checks and runs one call.
ExternalResult invoke_external(
    ExternalHost& host, const std::string& name, const std::vector<ExternalValue>& args);

struct ExternalCall {
    std::string name;
    std::vector<ExternalValue> args;
};
// The page side sends a call as one text: fields separated by U+0001, the first the
// method name, each further one a kind letter (u, z, b, n, s, o) followed by the value
// percent-encoded. Nothing when the text is not in that form.
std::optional<ExternalCall> decode_external_call(const std::string& text);

// The text a confirm() dialog carries when it is ShowConfirm's call rather than the
// page's own confirm(): this marker, then the encoded call.
inline constexpr const char* kExternalConfirmMarker = "\x01kalvo-external\x01";

// The DTMF tone of a key text: the character's code for exactly one of 0-9, * and #.
std::optional<int> dtmf_tone(const std::string& text);
