#include <gtest/gtest.h>

#include "net/download_progress.h"
#include "net/md5_digest.h"

namespace {

TEST(PasswordDigest, KnownTextsGiveTheirUpperCaseMd5)
{
    EXPECT_EQ(cMD5::hex_digest(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(cMD5::hex_digest("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(
        cMD5::hex_digest("The quick brown fox jumps over the lazy dog"), "9E107D9D372BB6826BD81D3542A419D6");
    EXPECT_EQ(cMD5::hex_digest("secret"), "5EBE2294ECD0E0F08EAB7690D2A6EE69");
}

TEST(PasswordDigest, StopsAtTheFirstZeroByte)
{
    EXPECT_EQ(cMD5::hex_digest(std::string("abc\0def", 7)), cMD5::hex_digest("abc"));
}

TEST(DownloadProgress, PercentIsRoundedUp)
{
    EXPECT_EQ(download_percent(3145728, 1048576), 34);
    EXPECT_EQ(download_percent(3145728, 0), 0);
    EXPECT_EQ(download_percent(1000, 1), 1);
    EXPECT_EQ(download_percent(3145728, 3145728), 100);
    EXPECT_EQ(download_percent(300, 200), 67);
}

TEST(DownloadProgress, StatusShowsMegabytesDownloadedFirst)
{
    EXPECT_EQ(download_status_text(3145728, 1048576), "1.00MB of 3.00MB");
    EXPECT_EQ(download_status_text(10 * 1048576.0, 1572864), "1.50MB of 10.00MB");
}

TEST(DownloadProgress, UnknownTotalShowsOnlyTheBytesSoFar)
{
    EXPECT_EQ(download_percent(0, 524288), std::nullopt);
    EXPECT_EQ(download_status_text(0, 524288), "0.50MB");
}

TEST(DownloadProgress, SizeLargerThanAnnouncedStaysWithinTheBar)
{
    EXPECT_EQ(download_percent(1000, 2000), 100);
}

} // namespace
