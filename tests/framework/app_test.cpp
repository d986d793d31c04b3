#include "framework/app.h"

#include "framework/headless/headless_platform.h"

#include <gtest/gtest.h>

namespace {

TEST(AppTest, ExeNameIsTheFileNameWithoutExtension) {
    EXPECT_EQ(AfxExeNameFromPath("C:\\Games\\X\\Drelk.exe"), "Drelk");
    EXPECT_EQ(AfxExeNameFromPath("C:\\Games\\X\\Drelk.bin"), "Drelk");
    EXPECT_EQ(AfxExeNameFromPath("\\opt\\drelk\\drelk"), "drelk");
    EXPECT_EQ(AfxExeNameFromPath("\\opt\\my.dir\\drelk"), "drelk");
    EXPECT_EQ(AfxExeNameFromPath("a.b.exe"), "a.b");
    EXPECT_EQ(AfxExeNameFromPath(""), "");
}

TEST(AppTest, WinInitFillsNameAndCommandLine) {
    HeadlessReset();
    Headless().module.m_strPath = "D:\\Play\\Drelk.exe";
    CWinApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_STREQ(app.m_lpCmdLine, "");
    AfxWinInit(&app, "-url \"http://a/b\"");
    EXPECT_STREQ(app.m_pszExeName, "Drelk");
    EXPECT_STREQ(app.m_pszAppName, "Drelk");
    EXPECT_STREQ(app.m_lpCmdLine, "-url \"http://a/b\"");
}

TEST(AppTest, CommandLineQuotesOnlyArgumentsWithBlanks) {
    const char* argv[] = {"-url", "http://a/b c", "x", ""};
    EXPECT_EQ(AfxJoinCommandLine(3, argv), "-url \"http://a/b c\" x");
    EXPECT_EQ(AfxJoinCommandLine(0, argv), "");
    const char* one[] = {"-url", "http://a/b"};
    EXPECT_EQ(AfxJoinCommandLine(2, one), "-url http://a/b");
}

} // namespace
