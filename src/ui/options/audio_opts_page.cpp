#include "ui/options/audio_opts_page.h"

#include <algorithm>
#include <cmath>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>

#include "log/log_dlg.h"
#include "net/service_requests.h"
#include "ui/dialogs/message_box.h"
#include "ui/options/options_rules.h"
#include "ui/wizard/audio_device_lists.h"

namespace {

constexpr const char* kProBanner =
    "<body leftmargin=\"0\" topmargin=\"0\" rightmargin=\"0\" bottommargin=\"0\" bgcolor=\"#2c8edd\">"
    "<table width=\"100%\" border=\"0\" cellpadding=\"2\" cellspacing=\"0\"><tr><td align=\"center\">"
    "<font color=\"#ffffff\">Kalvo Pro only</font></td></tr></table></body>";

// The account type the service reports for the stored account; none when it cannot be asked.
std::optional<std::string> query_account_type(const AppSettings& settings)
{
    const HttpReply reply = get_text(account_information_request(settings.username, settings.password));
    std::optional<std::string> type = options_rules::account_type_from_reply(reply);
    if (!type)
        LogDlg::instance().append("********** Failed to get account info");
    return type;
}

} // namespace

CAudioOptsPage::CAudioOptsPage()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6), m_quality(Gtk::ORIENTATION_HORIZONTAL)
{
    m_quality.set_range(options_rules::kLowestQuality, options_rules::kHighestQuality);
    m_quality.set_increments(1, 1);
    m_quality.set_digits(0);
    m_quality.set_round_digits(0);
    m_quality.set_draw_value(false);
    for (int tick = options_rules::kLowestQuality; tick <= options_rules::kHighestQuality; ++tick)
        m_quality.add_mark(tick, Gtk::POS_BOTTOM, "");

    auto* grid = Gtk::make_managed<Gtk::Grid>();
    grid->set_row_spacing(6);
    grid->set_column_spacing(6);
    const char* names[] = {"Microphone", "Speaker", "Ring device"};
    Gtk::ComboBoxText* lists[] = {&m_microphone, &m_speaker, &m_ring};
    for (int row = 0; row < 3; ++row) {
        grid->attach(*Gtk::make_managed<Gtk::Label>(names[row], Gtk::ALIGN_START), 0, row);
        lists[row]->set_hexpand(true);
        grid->attach(*lists[row], 1, row);
    }
    auto* ends = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 6);
    ends->pack_start(*Gtk::make_managed<Gtk::Label>("Low quality/slow connection"), Gtk::PACK_SHRINK);
    ends->pack_end(*Gtk::make_managed<Gtk::Label>("Best quality/broadband connection"), Gtk::PACK_SHRINK);
    auto* banner_row = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 0);
    banner_row->pack_end(m_pro_banner, Gtk::PACK_SHRINK);

    pack_start(*grid, Gtk::PACK_SHRINK);
    pack_start(*Gtk::make_managed<Gtk::Label>("Call quality", Gtk::ALIGN_START), Gtk::PACK_SHRINK);
    pack_start(*banner_row, Gtk::PACK_SHRINK);
    pack_start(m_quality, Gtk::PACK_SHRINK);
    pack_start(*ends, Gtk::PACK_SHRINK);
    set_border_width(12);
}

void CAudioOptsPage::initialise()
{
    m_initialised = true;
    m_account_type = options_rules::kProAccount;
    if (m_settings.quality != 0)
        m_quality.set_value(
            std::clamp(m_settings.quality, options_rules::kLowestQuality, options_rules::kHighestQuality));

    if (std::optional<std::string> type = query_account_type(m_settings)) {
        m_account_type = *type;
        m_quality.set_value(options_rules::allowed_quality(slider_position(), m_account_type));
    }

    m_pro_banner.set_text(kProBanner);
    LogDlg::instance().append(m_settings.username);

    fill_device_lists(m_microphone, m_speaker, m_ring, m_settings);

    m_quality.signal_value_changed().connect(sigc::mem_fun(*this, &CAudioOptsPage::on_quality_moved));
}

int CAudioOptsPage::slider_position() const
{
    return static_cast<int>(std::lround(m_quality.get_value()));
}

void CAudioOptsPage::on_quality_moved()
{
    const int position = slider_position();
    const int allowed = options_rules::allowed_quality(position, m_account_type);
    if (allowed == position)
        return;
    m_quality.set_value(allowed);
    show_message_box(dynamic_cast<Gtk::Window*>(get_toplevel()),
        {"You have tried to set your call quality to a level only available to Kalvo Allway users.\n\n"
         "If you would like to upgrade, please click the Allway tab once you've logged in.",
            "Kalvo Pro only", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
}

void CAudioOptsPage::on_leave()
{
    if (!m_initialised)
        return;
    m_settings.input_device = selected_device(m_microphone, m_settings.input_device);
    m_settings.output_device = selected_device(m_speaker, m_settings.output_device);
    m_settings.ring_device = selected_device(m_ring, m_settings.ring_device);
    m_settings.quality = slider_position();
}
