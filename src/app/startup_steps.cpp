#include "app/startup_steps.h"

#include <memory>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "skin/loader.h"
#include "ui/dialogs/splash_wnd.h"
#include "ui/info/info_dlg.h"
#include "ui/main/main_dlg.h"

void run_startup_steps(CSplashWnd& splash, CMainDlg& main_dialog, bool start_hidden)
{
    splash.SetStatus("Loading skin...");
    std::unique_ptr<Skin::Definition> skin = Skin::Loader::instance().Load("Kalvo");
    splash.SetStatus("Applying skin...");
    if (skin) {
        Skin::Definition& definition = *skin;
        main_dialog.SetSkin(std::move(skin));
        definition.ApplyWindow(main_dialog, "main");
        definition.ApplyWindow(InfoDlg::instance(), "info");
        definition.CreateControls();
    } else {
        // Without its skin the window still runs: tray, commands and the log keep working.
        LogDlg::instance().append(
            "********** The skin \"Kalvo\" could not be loaded; the main window stays plain");
    }
    splash.SetStatus("Starting up...");
    main_dialog.ShowWindow(!start_hidden);
    splash.CheckBrowserSetting();
}
