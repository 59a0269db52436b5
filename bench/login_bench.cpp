// Sign-in and update costs against a local HTTPS service: one login attempt from the
// thread's start to UWM_LOGIN_MSG on the interface thread, and one update download of a
// 32 MiB installer into its private file (download, fsync, rename, start).
// Usage: login_bench [runs, default 15]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "base/messages.h"
#include "net/login_thread.h"
#include "net/update_worker.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/main_loop.h"
#include "support/test_account.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Counter : ui_thread::MessageTarget {
    int messages = 0;
    ui_thread::Result handle_message(ui_thread::Message, ui_thread::WParam, ui_thread::LParam) override
    {
        ++messages;
        return 0;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 15);
    test_support::LogCapture log;
    ui_thread::init();
    test_support::store_test_account("bench", "pw");

    test_support::TempDir folder;
    auto certificates = test_support::make_test_certificates(folder.path());
    test_support::HttpTestServer service("127.0.0.1", certificates);
    const std::string installer = "#!/bin/sh\nexit 0\n#" + std::string(32 << 20, 'x') + "\n";
    service.server().Get("/live/check_version.php", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("ok\n4, 0, 0, 22\n\n1\nfalse\nbasic\nBasic\n", "text/plain");
    });
    service.server().Get("/kalvo-setup", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(installer, "application/octet-stream");
    });
    Deployment deployment;
    deployment.secure_https = service.base_url();
    deployment.ca_file = certificates.ca_file;

    Counter window;
    auto values = std::make_shared<LoginReplyValues>();
    std::vector<double> login_ms;
    for (int i = 0; i < runs; ++i) {
        window.messages = 0;
        auto start = Clock::now();
        login_thread::start({&window, values, deployment, ""});
        test_support::run_main_loop_until([&] { return window.messages == 1; }, 15000);
        login_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

    std::string install = folder.file("install");
    ::mkdir(install.c_str(), 0700);
    std::vector<double> download_ms;
    for (int i = 0; i < std::min(runs, 5); ++i) {
        UpdateDownload update;
        update.main_window = &window;
        update.address = service.base_url() + "/kalvo-setup";
        update.deployment = deployment;
        update.install_path = install;
        update.exit_process = [](int) {};
        auto start = Clock::now();
        update_worker::run(update);
        download_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

    double download = median(download_ms);
    std::printf("login attempt (version check over local https to UWM_LOGIN_MSG): median %.1f ms of %d\n",
        median(login_ms), runs);
    std::printf(
        "update download of %.0f MiB into its private file and start: median %.0f ms (%.0f MiB/s) of %zu\n",
        installer.size() / 1048576.0, download, installer.size() / 1048576.0 / (download / 1000.0),
        download_ms.size());
    return 0;
}
