#include "settings/settings_file.h"

#include <gtest/gtest.h>

namespace {

using CEntries = std::vector<std::pair<std::string, std::string>>;

TEST(SettingsFileTest, ReadsKeyValueLinesWithAnyLineEnd) {
    EXPECT_EQ(ParseSettingsText("platform=baidu\r\npage = http://a/b?x=1 \nsuccess=http://r/?a=b=c\rlast=1"),
              (CEntries{{"platform", "baidu"},
                        {"page", "http://a/b?x=1"},
                        {"success", "http://r/?a=b=c"},
                        {"last", "1"}}));
}

TEST(SettingsFileTest, SkipsWhatIsNotAnEntry) {
    const std::string strText = "\xEF\xBB\xBF"
                                "[main]\r\n"
                                "; comment=1\r\n"
                                "# comment=2\r\n"
                                "\r\n"
                                "no equals sign\r\n"
                                "=\r\n"
                                "===\r\n"
                                "  = value\r\n"
                                "key=\r\n";
    EXPECT_EQ(ParseSettingsText(strText), (CEntries{{"key", ""}}));
}

TEST(SettingsFileTest, ByteOrderMarkDoesNotJoinTheFirstKey) {
    EXPECT_EQ(ParseSettingsText("\xEF\xBB\xBFplatform=360"), (CEntries{{"platform", "360"}}));
}

TEST(SettingsFileTest, LinesWithBinaryBytesAreSkipped) {
    const std::string strText =
        std::string("bad=a\0b\r\n", 9) + "ctl=\x01\x02\r\n" + "ok=\xB5\x6C\xD6\xD0\r\n";
    EXPECT_EQ(ParseSettingsText(strText), (CEntries{{"ok", "\xB5\x6C\xD6\xD0"}}));
}

TEST(SettingsFileTest, KeepsDuplicatesInFileOrder) {
    EXPECT_EQ(ParseSettingsText("a=1\r\na=2"), (CEntries{{"a", "1"}, {"a", "2"}}));
}

TEST(SettingsFileTest, HugeLinesAreHandled) {
    const std::string strValue(1024 * 1024, 'v');
    const CEntries entries = ParseSettingsText("big=" + strValue + "\r\nnext=1");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second.size(), strValue.size());
    EXPECT_TRUE(ParseSettingsText(std::string(1024 * 1024, '=')).empty());
}

TEST(SettingsFileTest, AnAppendedEntryReadsBackAsOneLine) {
    const std::string strFile = "platform=baidu" + FormatSettingsEntry("firstopen", "false");
    EXPECT_EQ(strFile, "platform=baidu\r\nfirstopen=false");
    EXPECT_EQ(ParseSettingsText(strFile), (CEntries{{"platform", "baidu"}, {"firstopen", "false"}}));
}

} // namespace
