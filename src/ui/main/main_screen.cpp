#include "ui/main/main_screen.h"

#include <algorithm>
#include <gtkmm.h>

#include "skin/definition.h"
#include "skin/dialog.h"
#include "skin/skin_input.h"
#include "skin/skin_text.h"
#include "skin/skin_web.h"
#include "skin/tab_dlg.h"
#include "ui/info/info_dlg.h"
#include "ui/main/tray_icon.h"

namespace {

// The extra height "content" has before sign-in, over the hidden voice-mail row.
constexpr int kStartExtraHeight = 57;

} // namespace

MainScreen::MainScreen(Skin::Dialog& dialog) : m_dialog(dialog) { }

MainScreen::~MainScreen() = default;

bool MainScreen::OnScreen() const
{
    Gtk::Window* window = m_dialog.GetWindow();
    if (!window || !window->get_mapped())
        return false;
    GdkWindow* shown = gtk_widget_get_window(GTK_WIDGET(window->gobj()));
    return shown &&
        !(gdk_window_get_state(shown) & (GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_WITHDRAWN));
}

void MainScreen::CreateTray(
    bool show, std::function<void(unsigned id)> command, std::function<void()> double_click)
{
    m_tray = std::make_unique<TrayIcon>();
    m_tray->set_command_handler(std::move(command));
    m_tray->set_double_click_handler(std::move(double_click));
    if (show)
        m_tray->add();
    m_tray->enable_logout(false);
}

void MainScreen::RemoveTray()
{
    m_tray.reset();
}

void MainScreen::AttachWebHosts(const WebHost::HookHandler& hook)
{
    for (const auto& control : m_skin->controls) {
        auto* web = dynamic_cast<Skin::SkinWeb*>(control.get());
        if (!web)
            continue;
        if (web->element().command == "content")
            web->SetOwnerWindow(m_dialog.GetWindow());
        m_hosts.push_back(std::make_unique<WebHost>(*web, hook));
    }
}

Skin::Element* MainScreen::FindElement(const std::string& name) const
{
    return m_skin ? m_skin->FindElement(name) : nullptr;
}

WebHost* MainScreen::FindWebHost(const std::string& name) const
{
    for (const auto& host : m_hosts) {
        if (host->name() == name)
            return host.get();
    }
    return nullptr;
}

Skin::TabDlg* MainScreen::TabDialog() const
{
    if (!m_skin)
        return nullptr;
    for (const auto& window : m_skin->windows) {
        if (auto* tab = dynamic_cast<Skin::TabDlg*>(window->tab_dialog.get()))
            return tab;
    }
    return nullptr;
}

void MainScreen::OpenTab()
{
    if (Skin::TabDlg* tab = TabDialog())
        tab->Open();
}

void MainScreen::CloseTab()
{
    if (Skin::TabDlg* tab = TabDialog())
        tab->Close();
}

void MainScreen::ReloadTab()
{
    if (WebHost* host = FindWebHost("tab"))
        host->Navigate(host->CurrentAddress());
}

void MainScreen::SelectMainTab(const std::string& name)
{
    if (m_skin)
        m_skin->SelectTab("tabs_main", "tab_main_" + name);
}

void MainScreen::ShowAndRaise()
{
    if (Gtk::Window* window = m_dialog.GetWindow()) {
        window->show();
        window->present();
    }
    ShowTabDialog(true);
}

void MainScreen::ShowElement(const std::string& name, bool visible)
{
    Skin::Element* element = FindElement(name);
    if (!element || !element->control)
        return;
    if (visible)
        element->control->Show();
    else
        element->control->Hide();
}

void MainScreen::SetLabel(const std::string& name, const std::string& text)
{
    Skin::Element* element = FindElement(name);
    if (auto* label = element ? dynamic_cast<Skin::SkinText*>(element->control) : nullptr)
        label->SetText(text);
}

std::optional<std::string> MainScreen::InputText(const std::string& name) const
{
    Skin::Element* element = FindElement(name);
    auto* input = element ? dynamic_cast<Skin::SkinInput*>(element->control) : nullptr;
    if (!input)
        return std::nullopt;
    return input->GetText();
}

void MainScreen::SetElementImage(const std::string& name, const std::string& image)
{
    Skin::Element* element = FindElement(name);
    if (!element)
        return;
    for (size_t i = 0; i < element->images.size(); ++i) {
        if (element->images[i].name == image)
            element->state = static_cast<int>(i);
    }
    if (element->control)
        element->control->Redraw();
}

void MainScreen::ShowMainTabs(bool visible)
{
    Skin::Window* window = m_dialog.window();
    if (!window)
        return;
    for (const auto& element : window->elements) {
        if (!element->control || (element->command != "tabs_main" && element->tab.strip_name != "tabs_main"))
            continue;
        if (visible)
            element->control->Show();
        else
            element->control->Hide();
    }
}

void MainScreen::SetContentLayout(ContentLayout layout)
{
    Skin::Element* content = FindElement("content");
    if (!content)
        return;
    switch (layout) {
    case ContentLayout::Start:
        PlaceElement(*content, content->x, content->y, content->width, content->height + kStartExtraHeight);
        break;
    case ContentLayout::SignedIn:
        if (content->loginheight > 0) {
            int bottom = content->y + content->height;
            PlaceElement(
                *content, content->x, bottom - content->loginheight, content->width, content->loginheight);
        }
        break;
    case ContentLayout::SignedOut:
        PlaceElement(*content, content->x, content->y, content->width, content->height);
        break;
    }
}

void MainScreen::PlaceElement(Skin::Element& element, int x, int y, int width, int height)
{
    auto* control = dynamic_cast<Skin::SkinControl*>(element.control);
    if (!control || element.window != m_dialog.window())
        return;
    Gtk::Widget& widget = control->widget();
    widget.set_size_request(std::max(0, width), std::max(0, height));
    // A web view keeps asking for the size it had; it is given the new one as well.
    if (auto* web = dynamic_cast<Skin::SkinWeb*>(control))
        gtk_widget_set_size_request(GTK_WIDGET(web->view()), std::max(0, width), std::max(0, height));
    m_dialog.ControlLayer().move(widget, x, y);
}

void MainScreen::ShowTabDialog(bool visible)
{
    Skin::TabDlg* tab = TabDialog();
    Gtk::Window* window = tab ? tab->GetWindow() : nullptr;
    if (!window)
        return;
    if (visible) {
        tab->Reposition();
        window->show();
    } else {
        window->hide();
    }
}

void MainScreen::Redraw()
{
    m_dialog.Redraw();
}

bool MainScreen::HasPage(const std::string& page) const
{
    return FindWebHost(page) != nullptr;
}

void MainScreen::RunScript(const std::string& page, const std::string& script)
{
    if (WebHost* host = FindWebHost(page))
        host->RunScript(script);
}

void MainScreen::AskPage(const std::string& page, const std::string& script, std::function<void(bool)> answer)
{
    if (WebHost* host = FindWebHost(page))
        host->AskScript(script, std::move(answer));
    else
        answer(false);
}

void MainScreen::Navigate(const std::string& page, const std::string& address)
{
    if (WebHost* host = FindWebHost(page))
        host->Navigate(address);
}

void MainScreen::GrantNavigation(const std::string& page)
{
    if (WebHost* host = FindWebHost(page))
        host->GrantPermission();
}

void MainScreen::SetTrayLoggedIn(bool logged_in)
{
    if (!m_tray)
        return;
    m_tray->set_logged_in(logged_in);
    m_tray->enable_logout(logged_in);
}

void MainScreen::SetTrayOffline(bool offline)
{
    if (m_tray)
        m_tray->set_offline(offline);
}

void MainScreen::ShowInfoNotice(const std::string& info_version, bool show_info)
{
    InfoDlg::instance().OnLoginInfoVersion(info_version, show_info);
}
