#include <atomic>
#include <dirent.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "base/messages.h"
#include "net/update_worker.h"
#include "support/child_process.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/main_loop.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using test_support::read_file;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct MainWindowStandIn : ui_thread::MessageTarget {
    std::vector<ui_thread::Message> messages;
    std::string failure; // the text of UWM_UPDATE_DONE_MSG after a failure
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override
    {
        messages.push_back(message);
        return 0;
    }
    ui_thread::Result handle_text_message(ui_thread::Message message, const std::string& text) override
    {
        messages.push_back(message);
        failure = text;
        return 0;
    }
};

std::vector<std::string> folder_entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

class UpdateWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui_thread::init();
        ASSERT_EQ(::mkdir(m_install.c_str(), 0700), 0);
        // The "installer" records that it ran, and from where.
        m_installer = "#!/bin/sh\necho \"$0\" > '" + m_marker + "'\n";
        m_server.server().Get("/kalvo-setup", [this](const httplib::Request&, httplib::Response& response) {
            ++m_requests;
            response.set_content(m_installer, "application/octet-stream");
        });
        m_server.server().Get("/missing", [this](const httplib::Request&, httplib::Response& response) {
            ++m_requests;
            response.status = 404;
            response.set_content("<html>Not found</html>", "text/html");
        });
        // Sends a little, then nothing, keeping the connection open.
        m_server.server().Get("/stalled", [this](const httplib::Request&, httplib::Response& response) {
            ++m_requests;
            response.set_content_provider(
                100000, "application/octet-stream", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0)
                        return sink.write(m_installer.data(), m_installer.size());
                    for (int waited = 0; waited < 20000 && sink.is_writable(); waited += 50)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return false;
                });
        });
        // Promises more bytes than it sends, then drops the connection.
        m_server.server().Get("/truncated", [this](const httplib::Request&, httplib::Response& response) {
            ++m_requests;
            response.set_content_provider(
                100000, "application/octet-stream", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset > 0)
                        return false;
                    sink.write(m_installer.data(), m_installer.size());
                    return true;
                });
        });
    }

    UpdateDownload download(const std::string& path)
    {
        UpdateDownload update;
        update.main_window = &m_window;
        update.address = m_server.base_url() + path;
        update.deployment.secure_https = m_server.base_url();
        update.deployment.ca_file = m_certificates.ca_file;
        update.install_path = m_install;
        update.progress = [this](std::optional<int> percent, const std::string&) {
            if (percent)
                m_last_percent = *percent;
        };
        update.exit_process = [this](int code) { m_exit_code = code; };
        return update;
    }

    void expect_done_and_exit()
    {
        EXPECT_TRUE(test_support::run_main_loop_until(
            [&] { return !m_window.messages.empty() && m_exit_code >= 0; }));
        EXPECT_THAT(m_window.messages, ElementsAre(messages::UWM_UPDATE_DONE_MSG));
        EXPECT_EQ(m_window.failure, "");
        EXPECT_EQ(m_exit_code, 0);
    }

    // A failure: the main window learns why, and the process goes on.
    std::string expect_failure_reported()
    {
        EXPECT_TRUE(test_support::run_main_loop_until([&] { return !m_window.messages.empty(); }));
        EXPECT_THAT(m_window.messages, ElementsAre(messages::UWM_UPDATE_DONE_MSG));
        EXPECT_EQ(m_exit_code, -1) << "the program carries on";
        return m_window.failure;
    }

    test_support::LogCapture m_log;
    test_support::TempDir m_folder;
    std::string m_install = m_folder.file("install");
    std::string m_marker = m_folder.file("installer-ran");
    std::string m_installer;
    test_support::TestCertificates m_certificates = test_support::make_test_certificates(m_folder.path());
    test_support::HttpTestServer m_server{"127.0.0.1", m_certificates};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_last_percent{-1};
    std::atomic<int> m_exit_code{-1};
    MainWindowStandIn m_window;
};

TEST_F(UpdateWorkerTest, CompleteDownloadIsMadeExecutableAndStartedThenTheProcessEnds)
{
    std::string target = m_install + "/kalvo-setup";
    test_support::write_file(target, "an older installer");
    ::chmod(target.c_str(), 0755);

    update_worker::start(download("/kalvo-setup"));
    expect_done_and_exit();

    // The installer runs on its own: wait for what it writes, not only for its file.
    EXPECT_EQ(test_support::wait_for_text(m_marker, target + "\n", 5000), target + "\n");
    EXPECT_EQ(read_file(target), m_installer);
    struct stat info { };
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u) << "only the user may write or run it";
    EXPECT_THAT(folder_entries(m_install), ElementsAre("kalvo-setup")) << "no temporary file is left";
    EXPECT_EQ(m_last_percent, 100);
    EXPECT_THAT(m_log.file_lines(), Contains("LOGIN - Update installer started: " + target));
}

TEST_F(UpdateWorkerTest, IncompleteErrorOrStalledDownloadsAreNeverStartedAndLeaveNoFile)
{
    EXPECT_FALSE(update_worker::run(download("/truncated")));
    EXPECT_EQ(expect_failure_reported(), "the download failed (Transferred a partial file)");

    m_window.messages.clear();
    EXPECT_FALSE(update_worker::run(download("/missing")));
    EXPECT_EQ(expect_failure_reported(), "the download failed (HTTP status 404)");

    m_window.messages.clear();
    UpdateDownload stalled = download("/stalled");
    stalled.stall_limit = std::chrono::seconds(1);
    EXPECT_FALSE(update_worker::run(stalled));
    EXPECT_EQ(expect_failure_reported(), "the download failed (Timeout was reached)");

    EXPECT_EQ(m_requests, 3);
    EXPECT_THAT(m_log.file_lines(), Contains("LOGIN - Update failed: the download failed (HTTP status 404)"));
    EXPECT_FALSE(test_support::wait_for_file(m_marker, 300));
    EXPECT_THAT(folder_entries(m_install), IsEmpty());
}

TEST_F(UpdateWorkerTest, AddressOutsideTheServiceIsNotFetched)
{
    UpdateDownload update = download("/kalvo-setup");
    update.deployment.secure_https = "https://secure.test";
    EXPECT_FALSE(update_worker::run(update));
    expect_failure_reported();

    EXPECT_EQ(m_requests, 0);
    EXPECT_THAT(folder_entries(m_install), IsEmpty());
}

TEST_F(UpdateWorkerTest, FolderOthersCanWriteIsRefused)
{
    ASSERT_EQ(::chmod(m_install.c_str(), 0777), 0);
    EXPECT_FALSE(update_worker::run(download("/kalvo-setup")));
    EXPECT_EQ(expect_failure_reported(), "the folder " + m_install + " is not one only you can write");

    EXPECT_EQ(m_requests, 0);
    EXPECT_THAT(folder_entries(m_install), IsEmpty());
    EXPECT_THAT(m_log.file_lines(),
        Contains("LOGIN - Update refused: " + m_install + " is not a folder only this user can write"));
}

} // namespace
