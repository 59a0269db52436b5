#pragma once
#include "ui/web/external_methods.h"

namespace test_support {

// A window.external host that does nothing and confirms everything; fakes override the
// methods they watch.
class NullExternalHost : public ExternalHost {
public:
    void ShowWizard() override { }
    void OpenTab() override { }
    void CloseTab() override { }
    void ShowProfile() override { }
    void ShowHistory() override { }
    void ShowRegister() override { }
    void Logout() override { }
    void SetUsername(const std::string&) override { }
    void SetPassword(const std::string&) override { }
    bool ShowConfirm(const std::string&) override { return true; }
    void SendToTab(const std::string&) override { }
    void SendToMain(const std::string&) override { }
    void SetTab(const std::string&) override { }
    void StartDTMF(const std::string&) override { }
    void EndDTMF(const std::string&) override { }
};

} // namespace test_support
