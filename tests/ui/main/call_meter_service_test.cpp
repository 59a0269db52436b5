// The call presentation over the real call manager against the local stand-in service:
// the events travel as the window's messages, and the level meter follows an echo call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

#include "base/messages.h"
#include "base/ui_thread.h"
#include "log/log_file.h"
#include "presenter_fakes.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/registry.h"
#include "support/local_service.h"
#include "support/main_loop.h"
#include "support/test_paths.h"
#include "support/wav_file.h"
#include "telephony/call_manager.h"
#include "ui/main/call_events.h"
#include "ui/main/call_presenter.h"

namespace {

constexpr const char* kAddress = "127.0.0.135";

// The main window's share of the work: its call-state and level messages.
class CallWindow : public ui_thread::MessageTarget {
public:
    explicit CallWindow(CallPresenter& presenter) : m_presenter(presenter) { }
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override
    {
        if (message == messages::UWM_CALLSTATE_MSG)
            m_presenter.OnCallState(static_cast<int>(wparam), messages::call_state_call(lparam));
        else if (message == messages::UWM_LEVELS_MSG)
            m_presenter.OnLevels();
        else if (message == messages::UWM_LINESTATE_MSG && wparam == LINESTATE_REGISTERED)
            registered = true;
        return 0;
    }
    bool registered = false;

private:
    CallPresenter& m_presenter;
};

// The meter as the page would show it: the last level of each side.
struct Meter {
    int in = -1;
    int out = -1;
    std::set<int> outs_seen;
};

Meter read_meter(const std::vector<std::string>& calls, Meter meter = {})
{
    for (const std::string& call : calls) {
        int level = 0;
        if (std::sscanf(call.c_str(), "script content showLevel('in',%d)", &level) == 1)
            meter.in = level;
        if (std::sscanf(call.c_str(), "script content showLevel('out',%d)", &level) == 1) {
            meter.out = level;
            meter.outs_seen.insert(level);
        }
    }
    return meter;
}

TEST(CallMeter, TheMeterFollowsTheEchoedToneAndReadsZeroAfterHangUp)
{
    test_support::IsolatedUser user;
    test_support::LocalService service(kAddress);
    ASSERT_TRUE(service.running()) << service.start_output();
    ::setenv("KALVO_DEPLOYMENT", service.deployment_file().c_str(), 1);
    ASSERT_EQ(Deployment::get().gateway, kAddress) << "this suite's first reader of the deployment";
    ::setenv(SIPX_ENV_BIND_ADDRESS, kAddress, 1);
    ASSERT_TRUE(write_tone_wav(user.home() + "/tone.wav", 8000, 440, 30.0));
    ::setenv(SIPX_ENV_PLAY_FILE, (user.home() + "/tone.wav").c_str(), 1);
    ::setenv(SIPX_ENV_RECORD_FILE, (user.home() + "/speaker.wav").c_str(), 1);
    registry_string(settings_path("install_path")).set(user.home());
    log_file::set_folder(user.home());
    ui_thread::init();

    RecordingView view;
    CallManager manager([] { return std::string(kAddress); });
    CallPresenter presenter(view, manager);
    CallWindow window(presenter);
    CallEvents events(manager, window,
        {.voicemail_count = [](int) {},
            .show_register_page = [] {},
            .sign_out = [] {},
            .missed_call = [](const std::string&) {}});
    ASSERT_TRUE(manager.init());
    manager.set_outbound_proxy(kAddress);
    manager.login("alice", "wonderland");
    ASSERT_TRUE(test_support::run_main_loop_until([&] { return window.registered; }, 15000));

    presenter.PlaceCall("echotest");
    ASSERT_TRUE(test_support::run_main_loop_until(
        [&] { return read_meter(view.calls).outs_seen.size() >= 3; }, 15000))
        << "the far end's level moves about ten times a second";
    Meter during = read_meter(view.take());
    EXPECT_GT(*during.outs_seen.rbegin(), 0) << "the echo of the tone is heard";
    // The stack measures the microphone's level on the sound card's capture; with a file
    // in its place there is none, so the near side only has to be a meter value, or stay
    // unsent (a level that does not change is not given to the page again).
    if (during.in != -1) {
        EXPECT_GE(during.in, 0);
        EXPECT_LE(during.in, 100);
    }

    presenter.Hangup();
    Meter after = read_meter(view.take());
    EXPECT_EQ(after.in, 0);
    EXPECT_EQ(after.out, 0);
    // Whatever was still on its way leaves the meter at 0.
    ui_thread::drain();
    Meter settled = read_meter(view.take(), after);
    EXPECT_EQ(settled.in, 0);
    EXPECT_EQ(settled.out, 0);
    ::unsetenv(SIPX_ENV_PLAY_FILE);
    ::unsetenv(SIPX_ENV_RECORD_FILE);
}

} // namespace
