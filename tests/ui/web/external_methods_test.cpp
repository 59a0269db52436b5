#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ui/web/external_methods.h"

namespace {

class RecordingHost : public ExternalHost {
public:
    std::vector<std::string> calls;
    bool confirm_answer = true;

    void ShowWizard() override { calls.push_back("ShowWizard"); }
    void OpenTab() override { calls.push_back("OpenTab"); }
    void CloseTab() override { calls.push_back("CloseTab"); }
    void ShowProfile() override { calls.push_back("ShowProfile"); }
    void ShowHistory() override { calls.push_back("ShowHistory"); }
    void ShowRegister() override { calls.push_back("ShowRegister"); }
    void Logout() override { calls.push_back("Logout"); }
    void SetUsername(const std::string& t) override { calls.push_back("SetUsername " + t); }
    void SetPassword(const std::string& t) override { calls.push_back("SetPassword " + t); }
    bool ShowConfirm(const std::string& t) override
    {
        calls.push_back("ShowConfirm " + t);
        return confirm_answer;
    }
    void SendToTab(const std::string& t) override { calls.push_back("SendToTab " + t); }
    void SendToMain(const std::string& t) override { calls.push_back("SendToMain " + t); }
    void SetTab(const std::string& t) override { calls.push_back("SetTab " + t); }
    void StartDTMF(const std::string& t) override { calls.push_back("StartDTMF " + t); }
    void EndDTMF(const std::string& t) override { calls.push_back("EndDTMF " + t); }
};

ExternalValue text(const std::string& value)
{
    return {ExternalValue::Kind::String, value};
}

TEST(ExternalMethods, NamesAreFoundInAnyCaseAtTheirTablePosition)
{
    EXPECT_EQ(external_dispid("ShowWizard"), 1);
    EXPECT_EQ(external_dispid("showconfirm"), 10);
    EXPECT_EQ(external_dispid("ENDDTMF"), 15);
    EXPECT_FALSE(external_dispid("Show"));
    EXPECT_FALSE(external_dispid(""));
}

TEST(ExternalMethods, EveryMethodReachesItsMember)
{
    RecordingHost host;
    for (const char* name :
        {"ShowWizard", "OpenTab", "CloseTab", "ShowProfile", "ShowHistory", "ShowRegister", "Logout"})
        EXPECT_EQ(invoke_external(host, name, {}).error, ExternalError::None);
    for (const char* name :
        {"SetUsername", "SetPassword", "SendToTab", "SendToMain", "SetTab", "StartDTMF", "EndDTMF"})
        EXPECT_EQ(invoke_external(host, name, {text("x")}).error, ExternalError::None);
    EXPECT_EQ(host.calls,
        (std::vector<std::string>{"ShowWizard", "OpenTab", "CloseTab", "ShowProfile", "ShowHistory",
            "ShowRegister", "Logout", "SetUsername x", "SetPassword x", "SendToTab x", "SendToMain x",
            "SetTab x", "StartDTMF x", "EndDTMF x"}));
}

TEST(ExternalMethods, ShowConfirmAnswersOneOrZero)
{
    RecordingHost host;
    EXPECT_EQ(invoke_external(host, "showconfirm", {text("Delete?")}).value, 1);
    host.confirm_answer = false;
    EXPECT_EQ(invoke_external(host, "ShowConfirm", {text("Delete?")}).value, 0);
    EXPECT_FALSE(invoke_external(host, "Logout", {}).value);
}

TEST(ExternalMethods, BadCallsAreRefusedBeforeTheMemberRuns)
{
    RecordingHost host;
    EXPECT_EQ(invoke_external(host, "SetUsername", {}).error, ExternalError::BadParamCount);
    EXPECT_EQ(invoke_external(host, "Logout", {text("now")}).error, ExternalError::BadParamCount);
    EXPECT_EQ(invoke_external(host, "SetTab", {text("a"), text("b")}).error, ExternalError::BadParamCount);
    EXPECT_EQ(invoke_external(host, "SetTab", {{ExternalValue::Kind::Null, ""}}).error,
        ExternalError::TypeMismatch);
    EXPECT_EQ(invoke_external(host, "SetTab", {{ExternalValue::Kind::Object, "[object]"}}).error,
        ExternalError::TypeMismatch);
    ExternalResult unknown = invoke_external(host, "Dial", {text("1")});
    EXPECT_EQ(unknown.error, ExternalError::UnknownName);
    EXPECT_NE(unknown.message.find("Dial"), std::string::npos);
    EXPECT_TRUE(host.calls.empty());
}

TEST(ExternalMethods, NumbersAndUndefinedBecomeText)
{
    RecordingHost host;
    invoke_external(host, "StartDTMF", {{ExternalValue::Kind::Number, "5"}});
    invoke_external(host, "SetTab", {{ExternalValue::Kind::Undefined, ""}});
    EXPECT_EQ(host.calls, (std::vector<std::string>{"StartDTMF 5", "SetTab "}));
}

TEST(ExternalMethods, DecodesThePageSideCallText)
{
    auto call = decode_external_call("SetUsername\x01s%C3%A9%26x\x01n12\x01u\x01z\x01o%5Bobject%5D\x01"
                                     "bfalse");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "SetUsername");
    ASSERT_EQ(call->args.size(), 6u);
    EXPECT_EQ(call->args[0].text, "\xC3\xA9&x");
    EXPECT_EQ(call->args[0].kind, ExternalValue::Kind::String);
    EXPECT_EQ(call->args[1].kind, ExternalValue::Kind::Number);
    EXPECT_EQ(call->args[2].kind, ExternalValue::Kind::Undefined);
    EXPECT_EQ(call->args[3].kind, ExternalValue::Kind::Null);
    EXPECT_EQ(call->args[4].text, "[object]");
    EXPECT_EQ(call->args[5].text, "false");
    EXPECT_TRUE(decode_external_call("Logout")->args.empty());
    EXPECT_FALSE(decode_external_call(""));
    EXPECT_FALSE(decode_external_call("SetTab\x01xabc"));
    EXPECT_FALSE(decode_external_call("SetTab\x01"));
}

TEST(ExternalMethods, DtmfTonesAreSingleKeys)
{
    EXPECT_EQ(dtmf_tone("0"), 48);
    EXPECT_EQ(dtmf_tone("9"), 57);
    EXPECT_EQ(dtmf_tone("*"), 42);
    EXPECT_EQ(dtmf_tone("#"), 35);
    EXPECT_FALSE(dtmf_tone("12"));
    EXPECT_FALSE(dtmf_tone("A"));
    EXPECT_FALSE(dtmf_tone(""));
}

} // namespace
