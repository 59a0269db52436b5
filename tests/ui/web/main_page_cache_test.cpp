#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_paths.h"
#include "ui/web/main_page_cache.h"

namespace {

using namespace main_page;

TEST(MainPageCache, SkinPathIsWrittenIntoEveryMarker)
{
    EXPECT_EQ(substitute_skin_path("<img src=\"%%SKIN_PATH%%a.png\">%%SKIN_PATH%%", "/usr/share/my skins"),
        "<img src=\"file:///usr/share/my%20skins/Kalvo/a.png\">file:///usr/share/my%20skins/Kalvo/");
    EXPECT_EQ(substitute_skin_path("%%SKIN_PATH%", "/s"), "%%SKIN_PATH%");
    EXPECT_EQ(substitute_skin_path("", "/s"), "");
}

TEST(MainPageCache, AddressesCarryTheDigestNeverThePassword)
{
    Deployment deployment;
    deployment.secure_https = "https://secure.test";
    EXPECT_EQ(cached_address("/home/a b/kalvo", "al ice", "ABC"),
        "file:///home/a%20b/kalvo/Cache/main.html?user=al%20ice&pass=ABC");
    EXPECT_EQ(
        live_address(deployment, "alice", "ABC"), "https://secure.test/live/index.php?user=alice&pass=ABC");
}

TEST(MainPageCache, CacheFileIsRewrittenWithALineEnd)
{
    test_support::TempDir dir;
    std::string install = dir.file("deep/install");
    ASSERT_TRUE(write_cache(install, "first page, longer"));
    ASSERT_TRUE(write_cache(install, "page"));
    EXPECT_EQ(test_support::read_file(cache_file(install)), "page\n");
}

TEST(MainPageCache, UnwritableCacheIsReported)
{
    test_support::TempDir dir;
    test_support::write_file(dir.file("Cache"), "a file where the folder should be");
    EXPECT_FALSE(write_cache(dir.path(), "page"));
}

TEST(MainPageCache, FailedDownloadFallsBackToTheLivePage)
{
    test_support::IsolatedUser user;
    test_support::TempDir dir;
    Deployment deployment;
    deployment.secure_https = "https://127.0.0.1:1";
    Choice choice = load("alice", "secret", dir.path(), "/skins", deployment);
    EXPECT_EQ(choice.address,
        "https://127.0.0.1:1/live/index.php?user=alice&pass=5EBE2294ECD0E0F08EAB7690D2A6EE69");
    EXPECT_EQ(choice.log.back(), "********** Could not get the cache file!");
    struct stat info;
    EXPECT_NE(stat(cache_file(dir.path()).c_str(), &info), 0);
}

} // namespace
