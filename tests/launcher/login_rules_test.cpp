#include "launcher/login_rules.h"

#include "framework/codepage.h"
#include "framework/headless/headless_platform.h"

#include <gtest/gtest.h>

namespace {

TEST(LoginRulesTest, EachPlatformHasItsMarker) {
    EXPECT_TRUE(IsLoginNavigation("360", "http://h/login.php?sid=1"));
    EXPECT_TRUE(IsLoginNavigation("360", "http://h/x?next=login.php"));
    EXPECT_TRUE(IsLoginNavigation("360", "http://h/x#login.php"));
    EXPECT_FALSE(IsLoginNavigation("360", "http://h/LOGIN.PHP"));
    EXPECT_TRUE(IsLoginNavigation("shunwang", "http://h/login.php"));
    EXPECT_TRUE(IsLoginNavigation("37wan", "http://h/index37wan?sid=1"));
    EXPECT_FALSE(IsLoginNavigation("6711", "http://h/index37wan?sid=1"));
    EXPECT_TRUE(IsLoginNavigation("6711", "http://h/index6711"));
    EXPECT_FALSE(IsLoginNavigation("6711", "http://h/login.php"));
    EXPECT_TRUE(IsLoginNavigation("liebao", "http://h/indexliebao"));
    EXPECT_TRUE(IsLoginNavigation("baidu", "http://h/login_game_for_general?x"));
    for (const char* pszPlatform : {"", "Baidu", "360 ", "other"}) {
        EXPECT_FALSE(IsLoginNavigation(pszPlatform, "http://h/login.php/index37wan/login_game_for_general"));
    }
}

TEST(LoginRulesTest, MarkerIsNeverMatchedFromATrailByte) {
    HeadlessReset();
    Headless().nCodePage = 936;
    // A lead byte right before the marker takes its "l" as trail byte: no marker starts there.
    EXPECT_FALSE(IsLoginNavigation("360", "http://h/?q=\xB5login.php"));
    EXPECT_TRUE(IsLoginNavigation("360", "http://h/?q=\xB5login.php&login.php"));
    EXPECT_TRUE(IsLoginNavigation("360", "http://h/?q=\xD6\xD0login.php"));
    HeadlessReset();
}

TEST(LoginRulesTest, AddressIsPlainConcatenation) {
    EXPECT_EQ(ComposeLoginAddress("http://h/login.php?sid=1", "双线一区"),
              "http://h/login.php?sid=1&server_name=双线一区");
    EXPECT_EQ(ComposeLoginAddress("http://h/a#frag", ""), "http://h/a#frag&server_name=");
    EXPECT_EQ(ComposeLoginAddress("", "a&b c"), "&server_name=a&b c");
}

TEST(LoginRulesTest, BrowserRectangles) {
    EXPECT_EQ(SelectBrowserRect("6711"), CRect(317, 114, 317 + 681, 114 + 500));
    EXPECT_EQ(SelectBrowserRect("360"), CRect(316, 98, 316 + 682, 98 + 502));
    EXPECT_EQ(SelectBrowserRect(""), CRect(316, 98, 316 + 682, 98 + 502));
}

} // namespace
