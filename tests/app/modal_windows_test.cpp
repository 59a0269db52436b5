// The whole program in this process (the run function), against the local service, with
// the windows forwarded links open: what goes on inside their modal loops.
#include <cstdlib>
#include <functional>
#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm.h>

#include "app/command_line.h"
#include "app/run.h"
#include "app/instance_server.h"
#include "base/main_loop.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/local_service.h"
#include "support/test_paths.h"
#include "telephony/sipx/sipx.h"
#include "ui/wizard/options_wizard.h"

namespace {

using test_support::ChildProcess;

constexpr const char* kAddress = "127.0.0.150";
constexpr const char* kWizardPrompt = "Would you like to run the setup wizard?";
constexpr int kYes = 6; // the prompt's Yes response

class ModalWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
        m_service = std::make_unique<test_support::LocalService>(kAddress);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
        // Before anything reads the deployment: it is read once per process.
        ::setenv("KALVO_DEPLOYMENT", m_service->deployment_file().c_str(), 1);
        ::setenv(SIPX_ENV_BIND_ADDRESS, kAddress, 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);
        ASSERT_TRUE(test_support::display_available());
        std::string error;
        ASSERT_EQ(single_instance::acquire(error), single_instance::Lock::Taken) << error;
        m_server = std::make_unique<single_instance::Server>();
    }

    // Runs the program until its loop ends; `step` is called every 50 ms from the main
    // context, so also inside every modal loop.
    int run_program(std::function<void()> step)
    {
        m_step = std::move(step);
        guint source = g_timeout_add(
            50,
            [](gpointer data) -> gboolean {
                auto* self = static_cast<ModalWindows*>(data);
                // A step that opened a loop of its own is not run again inside it.
                if (self->m_in_step)
                    return G_SOURCE_CONTINUE;
                self->m_in_step = true;
                if (Gtk::MessageDialog* box = shown_window<Gtk::MessageDialog>()) {
                    // The question a link from outside asks before it uses an account: the
                    // user allows it. Any other box is a fault.
                    const std::string text = box->property_text().get_value();
                    if (text.starts_with("A link from outside Kalvo wants to use the account")) {
                        box->response(Gtk::RESPONSE_YES);
                    } else {
                        ADD_FAILURE() << "unexpected message box: " << text;
                        main_loop::quit(1);
                    }
                } else {
                    self->m_step();
                }
                self->m_in_step = false;
                return G_SOURCE_CONTINUE;
            },
            this);
        char name[] = "kalvo";
        char* argv[] = {name, nullptr};
        LauncherSplash no_launcher_splash;
        int code = run(command_line::build(1, argv), *m_server, no_launcher_splash);
        g_source_remove(source);
        return code;
    }

    // A later start handing over a link; the program in this process answers it.
    void hand_over(const std::string& url)
    {
        m_later = std::make_unique<ChildProcess>(
            std::vector<std::string>{test_support::built_program("kalvo"), "/url", url});
    }

    template <typename T> static T* shown_window(const std::function<bool(T&)>& match = {})
    {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            auto* typed = dynamic_cast<T*>(window);
            if (typed && typed->get_visible() && (!match || match(*typed)))
                return typed;
        }
        return nullptr;
    }
    static Gtk::Dialog* wizard_prompt()
    {
        return shown_window<Gtk::Dialog>(
            [](Gtk::Dialog& dialog) { return dialog.get_title() == kWizardPrompt; });
    }

    test_support::IsolatedUser m_user;
    std::unique_ptr<test_support::LocalService> m_service;
    std::unique_ptr<single_instance::Server> m_server;
    std::unique_ptr<ChildProcess> m_later;
    std::function<void()> m_step;
    bool m_in_step = false;
};

TEST_F(ModalWindows, WizardFromALinkChecksTheAccountAndCompletesItsEchoCall)
{
    hand_over("kalvo://wizard/?u=alice");
    enum class Stage { Prompt, Account, Audio, Echo, Talking, Done } stage = Stage::Prompt;
    bool echo_started = false;
    int code = run_program([&] {
        if (stage == Stage::Prompt) {
            if (Gtk::Dialog* prompt = wizard_prompt()) {
                prompt->response(kYes);
                stage = Stage::Account;
            }
            return;
        }
        COptionsWizard* wizard = shown_window<COptionsWizard>();
        if (!wizard)
            return;
        switch (stage) {
        case Stage::Account:
            wizard->intro_page().password_edit().set_text("wonderland");
            wizard->go_next(); // the account check against the service
            if (wizard->current_page() == 1)
                stage = Stage::Audio;
            break;
        case Stage::Audio:
            wizard->go_next();
            stage = Stage::Echo;
            break;
        case Stage::Echo:
            // Registration and the echo call come as line and call events through the
            // queue, while the wizard's own loop runs.
            if (!echo_started) {
                wizard->echo_page().call_button().clicked();
                echo_started = true;
            }
            if (wizard->echo_page().icons_label().text().find("wizard_4.png") != std::string::npos)
                stage = Stage::Talking;
            break;
        case Stage::Talking:
            wizard->echo_page().yes_button().clicked();
            wizard->finish();
            stage = Stage::Done;
            main_loop::quit(0);
            break;
        default:
            break;
        }
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(stage, Stage::Done);
    AppSettings settings;
    settings.load();
    EXPECT_EQ(settings.username, "alice");
    EXPECT_TRUE(settings.shown_wizard);
    // The echo page placed its call once registered, and the wizard ended with OK.
    std::string log = LogDlg::instance().text();
    EXPECT_TRUE(test_support::holds(log, "echotest")) << log;
    EXPECT_TRUE(test_support::holds(log, "Got IDOK")) << log;
}

TEST_F(ModalWindows, TrayExitWithAForwardedModalWindowOpenEndsTheLoopWithZero)
{
    hand_over("kalvo://wizard/?u=bob");
    bool exit_chosen = false;
    int code = run_program([&] {
        if (exit_chosen || !wizard_prompt())
            return;
        // The tray menu's Exit, chosen while the prompt is open.
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            auto* menu = dynamic_cast<Gtk::Menu*>(window->get_child());
            if (!menu)
                continue;
            for (Gtk::Widget* child : menu->get_children()) {
                auto* item = dynamic_cast<Gtk::MenuItem*>(child);
                if (item && item->get_label() == "E_xit" && !exit_chosen) {
                    exit_chosen = true;
                    item->activate();
                }
            }
        }
    });
    EXPECT_TRUE(exit_chosen);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(wizard_prompt(), nullptr);
}

} // namespace
