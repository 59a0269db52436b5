#include "ui/options/options_sheet.h"

#include "log/log_dlg.h"
#include "settings/autostart.h"
#include "settings/paths.h"
#include "ui/dialogs/message_box.h"
#include "ui/options/options_rules.h"

namespace {
enum Page { kAccountPage = 0, kAudioPage = 1 };
}

COptionsSheet::COptionsSheet()
{
    set_title("Kalvo settings");
    set_modal(true);
    set_position(Gtk::WIN_POS_CENTER);
    m_notebook.append_page(m_account, "Account");
    m_notebook.append_page(m_audio, "Audio options");
    get_content_area()->pack_start(m_notebook, Gtk::PACK_EXPAND_WIDGET);
    add_button("OK", Gtk::RESPONSE_OK);
    add_button("Cancel", Gtk::RESPONSE_CANCEL);
    m_switch_connection =
        m_notebook.signal_switch_page().connect(sigc::mem_fun(*this, &COptionsSheet::on_switch_page));
    m_notebook.show_all();
}

COptionsSheet::~COptionsSheet()
{
    m_switch_connection.disconnect();
}

void COptionsSheet::load(const AppSettings& settings)
{
    m_account.initialise(settings);
    m_audio.set_settings(settings);
}

void COptionsSheet::on_switch_page(Gtk::Widget*, guint number)
{
    if (m_current_page == kAudioPage)
        m_audio.on_leave();
    m_current_page = static_cast<int>(number);
    if (m_current_page == kAudioPage && !m_audio.initialised())
        m_audio.initialise();
}

void COptionsSheet::apply_pages()
{
    m_account.apply();
    if (m_current_page == kAudioPage)
        m_audio.on_leave();
}

int COptionsSheet::run_sheet(Gtk::Window* parent)
{
    AppSettings loaded;
    loaded.load();
    load(loaded);
    if (parent)
        set_transient_for(*parent);
    const int response = run();
    hide();
    LogDlg& log = LogDlg::instance();
    if (response != Gtk::RESPONSE_OK) {
        log.append("Return value is not IDOK");
        return response;
    }
    log.append("Got IDOK");
    apply_pages();
    const options_rules::Outcome outcome =
        options_rules::settings_on_ok(loaded, m_account.settings(), m_audio.settings());
    if (outcome.restart_needed)
        show_message_box(parent,
            {"Your audio settings changes will take effect the next time you restart Kalvo.", "",
                Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK});
    outcome.settings.save();
    if (!autostart::apply(outcome.settings.auto_start, paths::executable_path()))
        show_message_box(parent,
            {"Kalvo could not change its log-in start entry " + autostart::entry_path() + ".", "Kalvo",
                Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
    return response;
}
