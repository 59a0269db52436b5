#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/main/main_view.h"
#include "ui/web/web_host.h"

namespace Skin {
class Definition;
class Dialog;
struct Element;
class TabDlg;
} // namespace Skin
class TrayIcon;

// The main window's screen over its skin: the elements, the web hosts of its pages, the side
// panel (tab dialog) and the tray icon. Interface thread only.
class MainScreen : public MainView {
public:
    explicit MainScreen(Skin::Dialog& dialog);
    ~MainScreen() override;

    // The loaded skin; it outlives the screen's use of it.
    void SetSkin(Skin::Definition* skin) { m_skin = skin; }
    // The tray icon (shown when `show`), its menu's commands and its double click; the
    // logged-out form until the line registers. RemoveTray takes it away (Exit).
    void CreateTray(bool show, std::function<void(unsigned id)> command, std::function<void()> double_click);
    void RemoveTray();
    // One web host for each web element of the skin, reporting kalvo: links to `hook`.
    void AttachWebHosts(const WebHost::HookHandler& hook);

    Skin::Element* FindElement(const std::string& name) const;
    WebHost* FindWebHost(const std::string& name) const;
    Skin::TabDlg* TabDialog() const;
    // The side panel's opening and closing slide.
    void OpenTab();
    void CloseTab();
    void ReloadTab();
    // Selects a button of the main tab strip ("dial", "contacts", ...).
    void SelectMainTab(const std::string& name);
    // Shows the main window (and the side panel) and brings it forward.
    void ShowAndRaise();

    // MainView
    void ShowElement(const std::string& name, bool visible) override;
    void SetLabel(const std::string& name, const std::string& text) override;
    std::optional<std::string> InputText(const std::string& name) const override;
    void SetElementImage(const std::string& name, const std::string& image) override;
    void ShowMainTabs(bool visible) override;
    void SetContentLayout(ContentLayout layout) override;
    void ShowTabDialog(bool visible) override;
    void Redraw() override;
    bool OnScreen() const override;
    bool HasPage(const std::string& page) const override;
    void RunScript(const std::string& page, const std::string& script) override;
    void AskPage(
        const std::string& page, const std::string& script, std::function<void(bool)> answer) override;
    void Navigate(const std::string& page, const std::string& address) override;
    void GrantNavigation(const std::string& page) override;
    void SetTrayLoggedIn(bool logged_in) override;
    void SetTrayOffline(bool offline) override;
    void ShowInfoNotice(const std::string& info_version, bool show_info) override;

private:
    void PlaceElement(Skin::Element& element, int x, int y, int width, int height);

    Skin::Dialog& m_dialog;
    Skin::Definition* m_skin = nullptr;
    std::unique_ptr<TrayIcon> m_tray;
    std::vector<std::unique_ptr<WebHost>> m_hosts;
};
