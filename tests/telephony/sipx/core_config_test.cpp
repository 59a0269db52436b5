#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_paths.h"
#include "telephony/sipx/core_config.h"

namespace {

TEST(SipxCoreConfigTest, BindsSipAndRtpOnlyWhenAnAddressIsGiven)
{
    CoreConfigOptions options;
    options.bind_address = "127.0.0.61";
    options.rtp_port_min = 9000;
    options.rtp_port_max = 9063;
    std::string text = core_config_text(options);
    auto sip = text.find("[sip]");
    auto rtp = text.find("[rtp]");
    ASSERT_NE(sip, std::string::npos);
    ASSERT_NE(rtp, std::string::npos);
    EXPECT_NE(text.find("bind_address=127.0.0.61", sip), std::string::npos);
    EXPECT_LT(text.find("bind_address=127.0.0.61", sip), rtp);
    EXPECT_NE(text.find("bind_address=127.0.0.61", rtp), std::string::npos);
    EXPECT_NE(text.find("audio_rtp_port=9000-9063"), std::string::npos);
    EXPECT_NE(text.find("use_rport=1"), std::string::npos);
    EXPECT_NE(text.find("capture=0"), std::string::npos) << "video stays off";

    std::string open = core_config_text(CoreConfigOptions{});
    EXPECT_EQ(open.find("bind_address"), std::string::npos);
    EXPECT_EQ(open.find("audio_rtp_port"), std::string::npos);
    EXPECT_EQ(open.find("[proxy_"), std::string::npos) << "no account comes back";
}

TEST(SipxCoreConfigTest, FoldersLieUnderTheUsersXdgFoldersAndEndInASlash)
{
    test_support::IsolatedUser user;
    CoreFolders folders = core_folders("default");
    ASSERT_TRUE(folders.ok);
    EXPECT_EQ(folders.data_dir, user.home() + "/.local/share/kalvo/linphone/default/");
    EXPECT_EQ(folders.config_dir, user.home() + "/.config/kalvo/linphone/default/");
    EXPECT_EQ(folders.config_file, folders.config_dir + "linphonerc");
    EXPECT_EQ(access(folders.data_dir.c_str(), W_OK), 0);
}

} // namespace
