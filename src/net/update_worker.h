#pragma once
#include <functional>
#include <string>

#include "base/ui_thread.h"
#include "net/http_request.h"
#include "settings/deployment.h"

// The installer's file name in the installation folder.
inline constexpr const char* kInstallerName = "kalvo-setup";

// Ends the process at once with the code: the installer has taken over.
void end_process_for_update(int code);

// One update download: the installer is written to a fresh file only the user can write,
// made executable and started only when the download is complete, then the main window
// gets UWM_UPDATE_DONE_MSG and the process ends with 0 (also after a failed download:
// nothing is retried).
struct UpdateDownload {
    ui_thread::MessageTarget* main_window = nullptr;
    std::string address;
    Deployment deployment = Deployment::get();
    // The installation folder; empty: the "install_path" value, or the per-user data folder.
    std::string install_path;
    // Called on the download thread (ProgressDlg hops to the interface thread itself).
    ProgressCallback progress;
    std::function<void(int code)> exit_process = end_process_for_update;
};

namespace update_worker {

// Starts the download on a thread of its own.
void start(UpdateDownload download);

// The download's steps on the calling thread; true when the installer was started.
// Ends with exit_process(0).
bool run(const UpdateDownload& download);

} // namespace update_worker
