#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/password_cipher.h"
#include "settings/registry.h"
#include "settings/registry_store.h"
#include "support/test_paths.h"

namespace {

using test_support::IsolatedUser;

const char* const kAllValues[] = {"identity", "username", "password", "realm", "proxy_server", "stun_server",
    "splash_path", "info_version", "input_device", "output_device", "ring_device", "network_device",
    "use_rport", "sre_ready", "show_minimize", "shown_wizard", "remember_user", "auto_login",
    "start_minimized", "auto_start", "window_x", "window_y", "quality"};

TEST(AppSettings, FirstLoadCreatesEveryValueWithItsDefault)
{
    IsolatedUser user;
    AppSettings settings;
    settings.load();
    for (const char* name : kAllValues)
        EXPECT_TRUE(registry_string(settings_path(name)).exists()) << name;

    const Deployment& deployment = Deployment::get();
    EXPECT_EQ(settings.identity, "@" + deployment.sip_domain);
    EXPECT_EQ(settings.realm, deployment.sip_domain);
    EXPECT_EQ(settings.proxy_server, deployment.gateway);
    EXPECT_EQ(settings.stun_server, deployment.gateway);
    EXPECT_EQ(settings.splash_path, "splash.png");
    EXPECT_EQ(settings.quality, 5);
    EXPECT_TRUE(settings.use_rport);
    EXPECT_TRUE(settings.auto_start);
    EXPECT_FALSE(settings.auto_login);
    EXPECT_EQ(settings.password, "");
    EXPECT_EQ(registry_string(settings_path("password")).get().size(), 128u);
}

TEST(AppSettings, SaveRewritesIdentityAndEnciphersThePassword)
{
    IsolatedUser user;
    AppSettings settings;
    settings.load();
    settings.username = "alice";
    settings.password = "secret";
    settings.identity = "somebody@else";
    settings.window_x = 123;
    settings.auto_login = true;
    settings.remember_user = true;
    settings.save();

    EXPECT_EQ(registry_string(settings_path("identity")).get(), "alice@" + settings.realm);
    EXPECT_EQ(registry_string(settings_path("password")).get(), password_cipher::encipher("secret"));

    AppSettings again;
    again.load();
    EXPECT_EQ(again.password, "secret");
    EXPECT_EQ(again.window_x, 123);
    EXPECT_TRUE(again.auto_login);
    EXPECT_EQ(again.identity, "alice@" + settings.realm);
}

TEST(AppSettings, PlainStoredPasswordLoadsAndIsEncipheredAtTheNextSave)
{
    IsolatedUser user;
    registry_string(settings_path("password")).set("plainpass1");
    registry_binary(settings_path("remember_user")).set(true);
    AppSettings settings;
    settings.load();
    EXPECT_EQ(settings.password, "plainpass1");
    settings.save();
    EXPECT_EQ(registry_string(settings_path("password")).get(), password_cipher::encipher("plainpass1"));
}

TEST(AppSettings, WithoutRememberMeThePasswordStaysInMemoryOnly)
{
    IsolatedUser user;
    // A record of an earlier version: remember_user off, the password stored all the same.
    registry_string(settings_path("password")).set(password_cipher::encipher("secret"));
    AppSettings settings;
    settings.load();
    EXPECT_EQ(settings.password, "secret");
    settings.save();
    std::string store = test_support::read_file(registry_store::file_path());
    EXPECT_EQ(store.find(password_cipher::encipher("secret")), std::string::npos) << store;
    EXPECT_EQ(registry_string(settings_path("password")).get(), password_cipher::encipher(""));

    AppSettings again;
    again.load();
    EXPECT_EQ(again.password, "secret") << "the running program keeps its copy";
    {
        IsolatedUser other;
        AppSettings elsewhere;
        elsewhere.load();
        EXPECT_EQ(elsewhere.password, "") << "another store has nothing in memory";
    }

    again.remember_user = true;
    again.save();
    EXPECT_EQ(registry_string(settings_path("password")).get(), password_cipher::encipher("secret"));
}

TEST(AppSettings, TextsThatAreNotUtf8AreKept)
{
    IsolatedUser user;
    const std::string name = "b\xE9"
                             "b \\x";
    AppSettings settings;
    settings.load();
    settings.username = name;
    settings.save();

    AppSettings loaded;
    loaded.load();
    EXPECT_EQ(loaded.username, name);
    loaded.save();
    EXPECT_EQ(registry_string(settings_path("username")).get(), name);
    EXPECT_NE(test_support::read_file(registry_store::file_path())
                  .find("username=b\xE9"
                        "b"),
        std::string::npos);
}

TEST(AppSettings, FlagsInAnyOtherFormThanTheWrittenOneKeepTheirDefaults)
{
    IsolatedUser user;
    for (const char* junk : {"yes", "2", "true", "", " 1", "0x1", "\x01"}) {
        registry_string(settings_path("auto_start")).set(junk);
        registry_string(settings_path("auto_login")).set(junk);
        AppSettings settings;
        settings.load();
        EXPECT_TRUE(settings.auto_start) << junk;
        EXPECT_FALSE(settings.auto_login) << junk;
    }
    registry_string(settings_path("auto_start")).set("0");
    registry_string(settings_path("auto_login")).set("1");
    AppSettings settings;
    settings.load();
    EXPECT_FALSE(settings.auto_start);
    EXPECT_TRUE(settings.auto_login);
}

TEST(AppSettings, MalformedLongPasswordLoadsEmpty)
{
    IsolatedUser user;
    registry_string(settings_path("password")).set(std::string(90, 'Z'));
    AppSettings settings;
    settings.load();
    EXPECT_EQ(settings.password, "");
}

TEST(RegistryStore, PathSplitsAtTheLastBackslash)
{
    registry_string value("Software\\Kalvo\\install_path");
    EXPECT_EQ(value.key_path(), "Software\\Kalvo");
    EXPECT_EQ(value.value_name(), "install_path");
    registry_string default_value("Software\\Kalvo\\");
    EXPECT_EQ(default_value.value_name(), "");
}

TEST(RegistryStore, TypedValuesRoundTripAndMissingValuesReadEmpty)
{
    IsolatedUser user;
    EXPECT_FALSE(registry_string("Software\\Kalvo\\none").exists());
    EXPECT_EQ(registry_string("Software\\Kalvo\\none").get(), "");
    EXPECT_EQ(registry_int("Software\\Kalvo\\none").get(), 0);
    EXPECT_FALSE(registry_binary("Software\\Kalvo\\none").get());

    registry_int("Software\\Kalvo\\n").set(-42);
    EXPECT_EQ(registry_int("Software\\Kalvo\\n").get(), -42);
    registry_binary("Software\\Kalvo\\b").set(true);
    EXPECT_TRUE(registry_binary("Software\\Kalvo\\b").get());
    registry_string("Software\\Kalvo\\").set("default value");
    EXPECT_EQ(registry_string("Software\\Kalvo\\").get(), "default value");
    registry_string("Software\\Kalvo\\text").set("line one\nline two = [x]; #not a comment");
    EXPECT_EQ(registry_string("Software\\Kalvo\\text").get(), "line one\nline two = [x]; #not a comment");
}

TEST(RegistryStore, TwoThreadsWritingDifferentValuesLoseNone)
{
    IsolatedUser user;
    auto writer = [](const std::string& prefix) {
        for (int i = 0; i < 40; ++i)
            registry_int("Software\\Kalvo\\" + prefix + std::to_string(i)).set(i);
    };
    std::thread first(writer, "a");
    std::thread second(writer, "b");
    first.join();
    second.join();
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(registry_int("Software\\Kalvo\\a" + std::to_string(i)).get(), i);
        EXPECT_EQ(registry_int("Software\\Kalvo\\b" + std::to_string(i)).get(), i);
    }
}

TEST(RegistryStore, TwoProcessesWritingDifferentValuesLoseNone)
{
    IsolatedUser user;
    registry_string("Software\\Kalvo\\seed").set("x");
    pid_t child = ::fork();
    if (child == 0) {
        for (int i = 0; i < 30; ++i)
            registry_int("Software\\Kalvo\\child" + std::to_string(i)).set(i);
        ::_exit(0);
    }
    for (int i = 0; i < 30; ++i)
        registry_int("Software\\Kalvo\\parent" + std::to_string(i)).set(i);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(registry_int("Software\\Kalvo\\child" + std::to_string(i)).exists()) << i;
        EXPECT_TRUE(registry_int("Software\\Kalvo\\parent" + std::to_string(i)).exists()) << i;
    }
}

TEST(RegistryStore, AKilledWriterNeverLeavesATornFile)
{
    IsolatedUser user;
    registry_string("Software\\Kalvo\\keep").set("kept");
    for (int round = 0; round < 5; ++round) {
        pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0;; ++i)
                registry_string("Software\\Kalvo\\busy")
                    .set(std::string(static_cast<size_t>(1000 + i % 500), 'w'));
        }
        // Kill it mid-stream: after its first write has landed, at a varying moment.
        for (int wait = 0; wait < 400 && !registry_string("Software\\Kalvo\\busy").exists(); ++wait)
            ::usleep(5000);
        ::usleep(5000 + round * 7000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(registry_string("Software\\Kalvo\\keep").get(), "kept");
        std::string busy = registry_string("Software\\Kalvo\\busy").get();
        EXPECT_GE(busy.size(), 1000u);
        EXPECT_EQ(busy.find_first_not_of('w'), std::string::npos);
    }
}

TEST(RegistryStore, CorruptFileIsMovedAsideAndDefaultsComeBack)
{
    IsolatedUser user;
    test_support::write_file(
        registry_store::file_path(), "[Software\\Kalvo\nthis is not a key file\n\x01\x02");
    std::string reported;
    registry_store::set_error_sink([&](const std::string& line) { reported = line; });
    AppSettings settings;
    settings.load();
    registry_store::set_error_sink(nullptr);

    EXPECT_NE(reported.find("moved aside"), std::string::npos);
    EXPECT_TRUE(settings.auto_start);
    EXPECT_EQ(settings.quality, 5);
    bool found_aside = false;
    for (auto& entry :
        std::filesystem::directory_iterator(std::filesystem::path(registry_store::file_path()).parent_path()))
        found_aside |= entry.path().filename().string().starts_with("registry.ini.corrupt-");
    EXPECT_TRUE(found_aside);
    EXPECT_TRUE(registry_string(settings_path("auto_start")).exists());
}

TEST(RegistryStore, FilesThatAreNoRecordAreMovedAsideAndDefaultsComeBack)
{
    // A folder in the file's place, and a file of 50 MB (too large to be a record).
    for (bool folder : {true, false}) {
        IsolatedUser user;
        std::filesystem::create_directories(std::filesystem::path(registry_store::file_path()).parent_path());
        if (folder)
            std::filesystem::create_directory(registry_store::file_path());
        else
            test_support::write_file(registry_store::file_path(),
                "[Software\\Kalvo]\nusername=bob\n#" + std::string(50 << 20, 'x'));
        registry_store::set_error_sink([](const std::string&) {});
        AppSettings settings;
        settings.load();
        settings.username = "carol";
        settings.save();
        registry_store::set_error_sink(nullptr);
        AppSettings again;
        again.load();
        EXPECT_EQ(again.username, "carol") << folder;
        EXPECT_TRUE(again.auto_start);
    }
}

} // namespace
