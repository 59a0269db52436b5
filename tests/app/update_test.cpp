// The update offered at sign-in, against the local service: a failed download starts
// nothing and says so; a good one shows its progress, runs the installer and ends kalvo.
#include <sys/stat.h>

#include "base/messages.h"
#include "net/update_worker.h"
#include "support/main_loop.h"
#include "support/program_fixture.h"

namespace {

using test_support::ChildProcess;

class Update : public ProgramAgainstService {
protected:
    Update() : ProgramAgainstService("127.0.0.142") { }

    void SetUp() override
    {
        ProgramAgainstService::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        remember_account();
        ASSERT_TRUE(m_service->set_version("4.0.0.99"));
    }

    // A start that signs in by itself and is offered the update; the user says Yes.
    std::unique_ptr<ChildProcess> start_and_accept_update()
    {
        auto kalvo = start_program();
        std::string box = wait_for_window("Update Available");
        EXPECT_FALSE(box.empty()) << "no update offered";
        EXPECT_TRUE(answer_window("Update Available", "alt+y"));
        return kalvo;
    }

    bool exists(const std::string& path) const
    {
        struct stat info { };
        return ::stat(path.c_str(), &info) == 0;
    }
};

TEST_F(Update, FailedDownloadStartsNothingAndTellsTheUser)
{
    for (auto [mode, cause] : {std::pair{"404", "HTTP status 404"}, std::pair{"500", "HTTP status 500"},
             std::pair{"short", "Transferred a partial file"}}) {
        ASSERT_TRUE(m_service->set_installer(mode, 200000));
        auto kalvo = start_and_accept_update();
        std::string box = wait_for_window("Update failed");
        EXPECT_FALSE(box.empty()) << mode << ": no message";
        std::string line = "LOGIN - Update failed: the download failed (" + std::string(cause) + ")";
        std::string log = wait_for_log(line);
        EXPECT_NE(log.find(line), std::string::npos) << mode << "\n" << log;
        EXPECT_TRUE(answer_window("Update failed", "Return"));
        EXPECT_TRUE(kalvo->running()) << mode << ": the program carries on";
        EXPECT_EQ(kalvo->terminate(), 0);
        EXPECT_FALSE(exists(data_file("kalvo-setup"))) << mode;
        EXPECT_FALSE(exists(data_file("kalvo-setup.ran"))) << mode;
    }

    // A stalled download, through the same worker with a stall limit shorter than the
    // program's 30 seconds.
    ASSERT_TRUE(m_service->set_installer("stall", 200000));
    struct : ui_thread::MessageTarget {
        std::string failure;
        ui_thread::Result handle_message(ui_thread::Message, ui_thread::WParam, ui_thread::LParam) override
        {
            return 0;
        }
        ui_thread::Result handle_text_message(ui_thread::Message, const std::string& text) override
        {
            failure = text;
            return 0;
        }
    } window;
    ui_thread::init();
    UpdateDownload download;
    download.main_window = &window;
    download.address = m_service->secure_https() + "/client/download/kalvo-setup";
    download.deployment = Deployment::load_from(m_service->deployment_file());
    download.stall_limit = std::chrono::seconds(2);
    download.exit_process = [](int) { ADD_FAILURE() << "the process must not end"; };
    EXPECT_FALSE(update_worker::run(download));
    EXPECT_TRUE(test_support::run_main_loop_until([&] { return !window.failure.empty(); }));
    EXPECT_EQ(window.failure, "the download failed (Timeout was reached)");
    EXPECT_FALSE(exists(data_file("kalvo-setup")));
}

TEST_F(Update, GoodInstallerShowsItsProgressThenRuns)
{
    ASSERT_TRUE(m_service->set_installer("ok", 3 * 1024 * 1024, 40));
    auto kalvo = start_and_accept_update();
    std::string progress = wait_for_window("Kalvo updater");
    ASSERT_FALSE(progress.empty()) << "no progress window";

    // The window is seen moving: two screenshots that differ, kept for people to look at.
    std::string folder = std::string(KALVO_BINARY_DIR) + "/test-screenshots";
    ::mkdir(folder.c_str(), 0755);
    std::string first, changed;
    for (int shot = 0; shot < 200 && changed.empty() && kalvo->running(); ++shot) {
        std::string file = folder + "/update-progress-" + std::to_string(shot) + ".ppm";
        std::system(("import -window " + progress + " " + file + " 2>/dev/null").c_str());
        std::string pixels = test_support::read_file(file);
        if (first.empty())
            first = pixels;
        else if (!pixels.empty() && pixels != first)
            changed = file;
        if (changed.empty() && shot > 0)
            ::unlink(file.c_str());
    }
    EXPECT_FALSE(changed.empty()) << "the progress window never changed";

    EXPECT_EQ(kalvo->wait_for_exit(30000), 0);
    EXPECT_TRUE(test_support::wait_for_file(data_file("kalvo-setup.ran"), 5000))
        << "the installer did not run";
    EXPECT_NE(test_support::read_file(data_file("kalvo.log")).find("LOGIN - Update installer started: "),
        std::string::npos);
}

} // namespace
