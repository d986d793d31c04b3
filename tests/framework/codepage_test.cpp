#include "framework/codepage.h"

#include "framework/headless/headless_platform.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kGbk = 936;
constexpr auto npos = std::string_view::npos;

// 中 in GBK is D6 D0; 乗-like characters with trail byte 0x5C ('\') include 0x81 0x5C.
const std::string kGbkBackslashTrail = "\x81\x5C";
// A GBK character whose trail byte is 'l' (0x6C): 0xB5 0x6C.
const std::string kGbkTrailL = "\xB5\x6C";

TEST(CodePageTest, LeadBytesFollowTheCodePage) {
    EXPECT_TRUE(AfxIsLeadByte(kGbk, 0x81));
    EXPECT_TRUE(AfxIsLeadByte(kGbk, 0xFE));
    EXPECT_FALSE(AfxIsLeadByte(kGbk, 0x80));
    EXPECT_FALSE(AfxIsLeadByte(kGbk, 0xFF));
    EXPECT_FALSE(AfxIsLeadByte(kGbk, '\\'));
    EXPECT_TRUE(AfxIsLeadByte(CP_UTF8, 0xE4));
    EXPECT_FALSE(AfxIsLeadByte(CP_UTF8, 0x80)); // a continuation byte
    EXPECT_FALSE(AfxIsLeadByte(CP_UTF8, 0xC0)); // never valid
    EXPECT_FALSE(AfxIsLeadByte(1252, 0xE4));
}

TEST(CodePageTest, CharacterLengthsHandleValidAndBrokenSequences) {
    EXPECT_EQ(AfxCharLength(kGbk,
                            "\xD6\xD0"
                            "a",
                            0),
              2u);
    EXPECT_EQ(AfxCharLength(kGbk, "\xD6", 0), 1u);            // lead byte at the end
    EXPECT_EQ(AfxCharLength(kGbk, "\xD6\x7F", 0), 1u);        // 0x7F is no trail byte
    EXPECT_EQ(AfxCharLength(CP_UTF8, "\xE4\xB8\xAD", 0), 3u); // 中
    EXPECT_EQ(AfxCharLength(CP_UTF8, "\xE4\xB8", 0), 1u);     // truncated
    EXPECT_EQ(AfxCharLength(CP_UTF8, "\xED\xA0\x80", 0), 1u); // encoded surrogate
    EXPECT_EQ(AfxCharLength(CP_UTF8, "\xF0\x9F\x98\x80", 0), 4u);
    EXPECT_EQ(AfxCharLength(CP_UTF8, "a", 5), 1u); // past the end still advances
}

TEST(CodePageTest, SearchNeverMatchesFromATrailByte) {
    // "l" hidden as the trail byte of a double-byte character, then the real marker.
    const std::string strText = kGbkTrailL + "ogin.php?x=" + kGbkTrailL + "login.php";
    EXPECT_EQ(AfxFindString(kGbk, strText, "login.php"), strText.size() - 9);
    EXPECT_EQ(AfxFindString(kGbk, kGbkTrailL + "ogin.php", "login.php"), npos);
    // The same bytes as single-byte text do match at the trail byte.
    EXPECT_EQ(AfxFindString(1252, kGbkTrailL + "ogin.php", "login.php"), 1u);
    EXPECT_EQ(AfxFindString(kGbk, "abc", ""), 0u);
    EXPECT_EQ(AfxFindString(kGbk, "", "a"), npos);
    EXPECT_EQ(AfxFindString(CP_UTF8, "\xE4\xB8\xAD-url x", "-url"), 3u);
}

TEST(CodePageTest, LastCharacterSkipsTrailBytes) {
    const std::string strPath = "C:\\Games\\" + kGbkBackslashTrail + "\\Drelk" + kGbkBackslashTrail + ".exe";
    EXPECT_EQ(AfxFindLastChar(kGbk, strPath, '\\'), 11u);
    EXPECT_EQ(AfxFindLastChar(kGbk, kGbkBackslashTrail, '\\'), npos);
    EXPECT_EQ(AfxFindLastChar(1252, kGbkBackslashTrail, '\\'), 1u);
    EXPECT_EQ(AfxFindLastChar(kGbk, "", '\\'), npos);
}

TEST(CodePageTest, AcpMeansTheProcessCodePage) {
    HeadlessReset();
    Headless().nCodePage = kGbk;
    EXPECT_EQ(AfxFindLastChar(CP_ACP, kGbkBackslashTrail, '\\'), npos);
    Headless().nCodePage = CP_UTF8;
    EXPECT_EQ(AfxFindLastChar(CP_ACP, kGbkBackslashTrail, '\\'), 1u);
    HeadlessReset();
}

TEST(CodePageTest, Utf16RoundTripsThroughGbkAndUtf8) {
    const std::u16string strServer = u"双线一区";
    const std::string strGbk = AfxUtf16ToCodePage(kGbk, strServer);
    EXPECT_EQ(strGbk, "\xCB\xAB\xCF\xDF\xD2\xBB\xC7\xF8");
    EXPECT_EQ(AfxCodePageToUtf16(kGbk, strGbk), strServer);
    const std::string strUtf8 = AfxUtf16ToCodePage(CP_UTF8, strServer);
    EXPECT_EQ(strUtf8, "\xE5\x8F\x8C\xE7\xBA\xBF\xE4\xB8\x80\xE5\x8C\xBA");
    EXPECT_EQ(AfxCodePageToUtf16(CP_UTF8, strUtf8), strServer);
    EXPECT_EQ(AfxUtf16ToCodePage(CP_UTF8, u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(AfxCodePageToUtf16(CP_UTF8, "\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(CodePageTest, InvalidInputBecomesQuestionMarks) {
    // Lone surrogates, in both code pages.
    EXPECT_EQ(AfxUtf16ToCodePage(CP_UTF8, std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");
    EXPECT_EQ(AfxUtf16ToCodePage(kGbk, std::u16string{char16_t(0xDC00), u'x'}), "?x");
    // A character GBK has no counterpart for.
    EXPECT_EQ(AfxUtf16ToCodePage(kGbk, u"a\U0001F600b"), "a?b");
    // Malformed 8-bit sequences.
    EXPECT_EQ(AfxCodePageToUtf16(CP_UTF8, "a\xFF\xE4\xB8z"), u"a???z");
    EXPECT_EQ(AfxCodePageToUtf16(kGbk, "a\xD6"), u"a?");
    EXPECT_EQ(AfxCodePageToUtf16(kGbk, std::string("\x00\xD6\xD0", 3)), (std::u16string{u'\0', u'中'}));
}

} // namespace

namespace {

TEST(CodePageTest, EveryByteValueConvertsWithoutLoss) {
    // Each single byte and each lead/trail pair of GBK round-trips or becomes '?', never crashes.
    for (int lead = 0; lead < 256; ++lead) {
        const std::string strOne(1, static_cast<char>(lead));
        const std::u16string strWide = AfxCodePageToUtf16(936, strOne);
        ASSERT_EQ(strWide.size(), 1u);
        for (int trail = 0x40; trail < 0xFF; trail += 7) {
            const std::string strPair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string strBack = AfxCodePageToUtf16(936, strPair);
            ASSERT_FALSE(strBack.empty());
            if (strBack.find(u'?') == std::u16string::npos && strBack.size() == 1) {
                EXPECT_EQ(AfxUtf16ToCodePage(936, strBack), strPair);
            }
        }
    }
}

} // namespace
