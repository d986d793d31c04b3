#include "settings/client_config.h"

#include "support/headless_fixture.h"

namespace {

class StartPageTest : public CHeadlessTest {
protected:
    std::string StartPage(const std::string& strPlatform, const std::string& strCommandLine) {
        StartApp(strCommandLine);
        CClientConfig* pConfig = CClientConfig::Instance();
        pConfig->SetValue("page", "http://op/mini/zonelist.html?x=1");
        pConfig->SetValue("platform", strPlatform);
        return pConfig->StartPage();
    }
};

TEST_F(StartPageTest, BaiduAppendsTheMachineIdentity) {
    Platform().adapters.m_adapters = {{"eth0", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}}};
    EXPECT_EQ(StartPage("baidu", "-url \"http://x/\""), "http://op/mini/zonelist.html?x=1&mac=0A1B2C3D4E5F");
    Platform().adapters.m_adapters = {{"eth0", {0xab, 0xcd, 0xef, 0x01, 0x02, 0x03}}};
    EXPECT_EQ(StartPage("baidu", ""), "http://op/mini/zonelist.html?x=1&mac=ABCDEF010203");
}

TEST_F(StartPageTest, BaiduWithoutAdapterEndsWithTheSeparator) {
    EXPECT_EQ(StartPage("baidu", ""), "http://op/mini/zonelist.html?x=1&mac=");
    Platform().adapters.m_bQueryFails = true;
    Platform().adapters.m_adapters = {{"eth0", {1, 2, 3, 4, 5, 6}}};
    EXPECT_EQ(StartPage("baidu", ""), "http://op/mini/zonelist.html?x=1&mac=");
}

TEST_F(StartPageTest, On360TheQuotedUrlArgumentReplacesThePage) {
    const std::string strPage = "http://op/mini/zonelist.html?x=1";
    EXPECT_EQ(StartPage("360", ""), strPage);
    EXPECT_EQ(StartPage("360", "-other \"http://x/\""), strPage);
    EXPECT_EQ(StartPage("360", "-URL \"http://x/\""), strPage);
    EXPECT_EQ(StartPage("360", "-url \"http://x/list?a=1&b=2\""), "http://x/list?a=1&b=2");
    EXPECT_EQ(StartPage("360", "-foo bar -url \"http://x/\""), "http://x/");
    EXPECT_EQ(StartPage("360", "-url \"\""), "");
    // Text after the closing quote stays, its quotes removed.
    EXPECT_EQ(StartPage("360", "-url \"http://x/\" -y \"z\""), "http://x/ -y z");
}

TEST_F(StartPageTest, On360AnUnquotedUrlArgumentGivesTheNextWord) {
    EXPECT_EQ(StartPage("360", "-url http://x/a?b=1 -z"), "http://x/a?b=1");
    EXPECT_EQ(StartPage("360", "-url"), "http://op/mini/zonelist.html?x=1");
    EXPECT_EQ(StartPage("360", "-url   "), "http://op/mini/zonelist.html?x=1");
}

TEST_F(StartPageTest, MarkerAfterAStrayLeadByteIsFound) {
    Platform().nCodePage = 936;
    // 0xB5 followed by '-' is no double-byte character, so the marker starts right after it.
    EXPECT_EQ(StartPage("360", "\xB5-url \"http://x/\xD6\xD0\""), "http://x/\xD6\xD0");
}

TEST_F(StartPageTest, OtherPlatformsIgnoreTheCommandLine) {
    EXPECT_EQ(StartPage("6711", "-url \"http://x/\""), "http://op/mini/zonelist.html?x=1");
    EXPECT_EQ(StartPage("", "-url \"http://x/\""), "http://op/mini/zonelist.html?x=1");
    EXPECT_EQ(StartPage("360 ", "-url \"http://x/\""), "http://op/mini/zonelist.html?x=1");
}

TEST_F(StartPageTest, EmptyPageGivesAnEmptyAddress) {
    StartApp("");
    CClientConfig::Instance()->SetValue("platform", "6711");
    EXPECT_EQ(CClientConfig::Instance()->StartPage(), "");
}

} // namespace
