#include "app/startup_steps.h"

#include <memory>

#include "base/main_loop.h"
#include "log/log_file.h"
#include "skin/definition.h"
#include "skin/loader.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/splash_wnd.h"
#include "ui/info/info_dlg.h"
#include "ui/main/main_dlg.h"

void run_startup_steps(CSplashWnd& splash, CMainDlg& main_dialog, bool start_hidden)
{
    splash.SetStatus("Loading skin...");
    std::unique_ptr<Skin::Definition> skin = Skin::Loader::instance().Load("Kalvo");
    if (!skin) {
        // Without its skin there is no window to show: say why, and stop.
        std::string fault = Skin::Loader::instance().Fault();
        log_file::write_line("SKIN - Kalvo stops: its skin could not be loaded: " + fault);
        show_message_box(nullptr,
            {"Kalvo cannot start: its skin could not be loaded.\n\n" + fault, "Kalvo", Gtk::MESSAGE_ERROR});
        main_loop::quit(1);
        return;
    }
    splash.SetStatus("Applying skin...");
    Skin::Definition& definition = *skin;
    main_dialog.SetSkin(std::move(skin));
    definition.ApplyWindow(main_dialog, "main");
    definition.ApplyWindow(InfoDlg::instance(), "info");
    definition.CreateControls();
    splash.SetStatus("Starting up...");
    main_dialog.ShowWindow(!start_hidden);
    splash.CheckBrowserSetting();
}
