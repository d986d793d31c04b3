// Arbitrary bytes where the program takes text from outside: the settings file, the command line,
// URLs and titles from the browser. Nothing may crash, and nothing malformed may reach the table.
#include "launcher/login_rules.h"
#include "settings/client_config.h"
#include "settings/settings_file.h"

#include "support/headless_fixture.h"

#include "framework/codepage.h"

#include <random>

namespace {

std::string RandomBytes(std::mt19937& random, std::size_t nMax) {
    std::uniform_int_distribution<int> length(0, static_cast<int>(nMax));
    std::uniform_int_distribution<int> byte(0, 255);
    std::string strBytes(static_cast<std::size_t>(length(random)), '\0');
    for (char& ch : strBytes) {
        // Lean on the characters that matter to the parsers.
        const int n = byte(random);
        ch = n < 40 ? "=\r\n\"-url ;#[\\\xEF\xBB\xBF"[n % 15] : static_cast<char>(n);
    }
    return strBytes;
}

class RandomInputTest : public CHeadlessTest {};

TEST_F(RandomInputTest, SettingsFilesOnlyYieldWellFormedEntries) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 2000; ++i) {
        const std::string strText = RandomBytes(random, 300);
        for (const auto& [strKey, strValue] : ParseSettingsText(strText)) {
            ASSERT_FALSE(strKey.empty());
            ASSERT_EQ(strKey.find_first_of("\r\n="), std::string::npos);
            ASSERT_EQ(strValue.find_first_of("\r\n"), std::string::npos);
            ASSERT_EQ(strKey.find('\0'), std::string::npos);
            ASSERT_EQ(strValue.find('\0'), std::string::npos);
            ASSERT_NE(strKey.front(), ' ');
            ASSERT_NE(strValue.empty() ? 'x' : strValue.back(), ' ');
        }
    }
}

TEST_F(RandomInputTest, AnyCommandLineGivesAnAddressWithoutQuotes) {
    std::mt19937 random(7);
    for (UINT nCodePage : {static_cast<UINT>(CP_UTF8), 936u}) {
        Platform().nCodePage = nCodePage;
        for (int i = 0; i < 2000; ++i) {
            StartApp(RandomBytes(random, 80));
            CClientConfig* pConfig = CClientConfig::Instance();
            pConfig->SetValue("page", "http://op/list");
            pConfig->SetValue("platform", "360");
            const std::string strStart = pConfig->StartPage();
            if (strStart != "http://op/list") {
                ASSERT_EQ(strStart.find('"'), std::string::npos);
            }
        }
    }
}

TEST_F(RandomInputTest, AnyUrlAndTitleComposeExactly) {
    std::mt19937 random(99);
    Platform().nCodePage = 936;
    for (int i = 0; i < 2000; ++i) {
        const std::string strUrl = RandomBytes(random, 60);
        const std::string strTitle = RandomBytes(random, 20);
        IsLoginNavigation("360", strUrl);
        EXPECT_EQ(ComposeLoginAddress(strUrl, strTitle), strUrl + "&server_name=" + strTitle);
        const std::u16string strWide = AfxCodePageToUtf16(CP_ACP, strUrl);
        AfxUtf16ToCodePage(CP_ACP, strWide);
    }
}

} // namespace
