#include "ui/handset/handset.h"

#include "base/messages.h"
#include "ui/handset/handset_keys.h"
#include "ui/handset/yealink_driver.h"

Handset::Handset(ui_thread::MessageTarget& window, HandsetHost& host, Opener opener)
    : m_window(window), m_host(host), m_opener(std::move(opener))
{
}

bool Handset::OpenDriver(ui_thread::MessageTarget* window)
{
    return YL_DeviceIoControl(YL_OPEN, handset_callback, window, 0, 0, 0) != 0;
}

void Handset::OnOpenTimer()
{
    if (m_handset_open)
        return;
    if (!m_opener(&m_window))
        return;
    m_host.AppendLog("********** Opened Yealink device");
    m_handset_open = true;
}

ui_thread::Result Handset::OnYealink(ui_thread::WParam wparam, ui_thread::LParam lparam)
{
    m_host.AppendLog("********** OnYealink");
    if (wparam != ui_thread::WParam(handset::kKeyEvent))
        return 0;
    std::string script = handset::key_script(long(lparam));
    if (!script.empty())
        m_host.RunContentScript(script);
    return 0;
}

long handset_callback(long event, long key, void* context)
{
    if (!context)
        return 0;
    return long(ui_thread::send(static_cast<ui_thread::MessageTarget*>(context), messages::UWM_IM_SEND_MSG,
        ui_thread::WParam(event), ui_thread::LParam(key)));
}
