#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/paths.h"
#include "support/test_paths.h"

namespace {

unsigned mode_of(const std::string& path)
{
    struct stat info { };
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(Paths, DataFolderOfAnEarlierVersionIsMadePrivate)
{
    test_support::TempDir folder;
    std::string data = folder.file("kalvo");
    ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((data + "/Cache").c_str(), 0755), 0);
    test_support::write_file(data + "/Cache/main.html", "page");
    test_support::write_file(data + "/kalvo-setup", "#!/bin/sh\n");
    test_support::write_file(folder.file("outside"), "not ours to change");
    ::chmod((data + "/Cache/main.html").c_str(), 0644);
    ::chmod((data + "/kalvo-setup").c_str(), 0755);
    ::chmod(folder.file("outside").c_str(), 0644);
    ASSERT_EQ(::symlink(folder.file("outside").c_str(), (data + "/link").c_str()), 0);

    paths::make_private(data);

    EXPECT_EQ(mode_of(data), 0700u);
    EXPECT_EQ(mode_of(data + "/Cache"), 0700u);
    EXPECT_EQ(mode_of(data + "/Cache/main.html"), 0600u);
    EXPECT_EQ(mode_of(data + "/kalvo-setup"), 0700u);
    EXPECT_EQ(mode_of(folder.file("outside")), 0644u) << "a link is not followed";

    // A file written again keeps no wider mode than 0600.
    ASSERT_TRUE(paths::write_private_file(folder.file("outside"), "now private"));
    EXPECT_EQ(mode_of(folder.file("outside")), 0600u);
    EXPECT_EQ(test_support::read_file(folder.file("outside")), "now private");
}

} // namespace
