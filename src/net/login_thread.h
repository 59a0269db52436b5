#pragma once
#include <memory>
#include <string>

#include "base/ui_thread.h"
#include "net/login_reply_values.h"
#include "settings/deployment.h"

// One sign-in attempt: the version check with the stored account, then one message to
// the main window: UWM_DO_CONNECTION_MSG (sent) when the service cannot be reached,
// UWM_DO_UPDATE_MSG (sent with the download address as its text) when this program is older than the service's version, otherwise
// UWM_LOGIN_MSG (posted). Before the message the reply's per-login values are stored.
struct LoginAttempt {
    ui_thread::MessageTarget* main_window = nullptr;
    // Shared with the main window, so a thread that outlives the window stores safely.
    std::shared_ptr<LoginReplyValues> values;
    Deployment deployment = Deployment::get();
    std::string local_version; // the program's product version text
};

// The product version text of this build ("4, 0, 0, 22").
std::string local_product_version();

namespace login_thread {

// Starts the attempt on a new thread of its own, which ends after its one request.
void start(LoginAttempt attempt);

// The attempt's steps on the calling thread.
void run(const LoginAttempt& attempt);

} // namespace login_thread
