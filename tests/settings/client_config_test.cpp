#include "settings/client_config.h"
#include "settings/settings_file.h"

#include "framework/run_log.h"

#include "support/headless_fixture.h"

namespace {

class ClientConfigTest : public CHeadlessTest {};

TEST_F(ClientConfigTest, InstanceIsCreatedOnceOnDemand) {
    EXPECT_EQ(g_pClientConfig, nullptr);
    CClientConfig* pConfig = CClientConfig::Instance();
    EXPECT_NE(pConfig, nullptr);
    EXPECT_EQ(CClientConfig::Instance(), pConfig);
    EXPECT_EQ(g_pClientConfig, pConfig);
}

TEST_F(ClientConfigTest, DefaultsOverwriteAndKeysAreCaseSensitive) {
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetValue("platform", "baidu");
    pConfig->SetValue("airclient", "true");
    pConfig->SetDefaults();
    EXPECT_EQ(pConfig->GetValue("platform"), "360");
    EXPECT_EQ(pConfig->GetValue("airclient"), "false");
    EXPECT_EQ(pConfig->GetValue("Platform"), "");
    EXPECT_EQ(pConfig->GetValue("success"), "");
    EXPECT_EQ(pConfig->GetValue("firstopen"), "");
    const std::string strHost = DRELK_DEFAULT_HOST;
    EXPECT_EQ(pConfig->GetValue("page"), strHost + "/mini/zonelist.html");
    EXPECT_EQ(pConfig->GetValue("home"), strHost + "/index.html");
    EXPECT_EQ(pConfig->GetValue("service"), strHost + "/cs?type=game&gamekey=drelk");
    EXPECT_EQ(pConfig->GetValue("bbs"), strHost + "/forum-2449-1.html");
    EXPECT_EQ(pConfig->GetValue("charge"), strHost + "/order.html?gkey=drelk");
    // A lookup never adds the key.
    pConfig->GetValue("never");
    pConfig->SetValue("x", "1");
    EXPECT_EQ(pConfig->GetValue("never"), "");
}

TEST_F(ClientConfigTest, ProgramDirectoryIsCachedAndMultibyteAware) {
    Platform().module.m_strPath = "C:\\Games\\X\\launcher.exe";
    const int nCallsBefore = Platform().module.m_nCalls;
    CClientConfig* pConfig = CClientConfig::Instance();
    EXPECT_EQ(pConfig->ProgramDirectory(), "C:\\Games\\X");
    Platform().module.m_strPath = "C:\\Elsewhere\\launcher.exe";
    EXPECT_EQ(pConfig->ProgramDirectory(), "C:\\Games\\X");
    EXPECT_EQ(Platform().module.m_nCalls, nCallsBefore + 1);
}

TEST_F(ClientConfigTest, TrailByteBackslashIsNotADirectorySeparator) {
    Platform().nCodePage = 936;
    Platform().module.m_strPath = "C:\\Games\\\x81\x5C\\Drelk\x81\x5C.exe";
    EXPECT_EQ(CClientConfig::Instance()->ProgramDirectory(), "C:\\Games\\\x81\x5C");
}

TEST_F(ClientConfigTest, EmptyDirectoryIsAskedForAgain) {
    Platform().module.m_strPath = "launcher.exe";
    CClientConfig* pConfig = CClientConfig::Instance();
    EXPECT_EQ(pConfig->ProgramDirectory(), "");
    Platform().module.m_strPath = "C:\\D\\launcher.exe";
    EXPECT_EQ(pConfig->ProgramDirectory(), "C:\\D");
}

TEST_F(ClientConfigTest, AppendWritesExactBytesAndLeavesTheTableAlone) {
    CreateSettingsFile();
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->AppendEntry("firstopen", "false");
    EXPECT_EQ(SettingsBytes(), "\r\nfirstopen=false");
    EXPECT_EQ(SettingsBytes().size(), 17u);
    CreateSettingsFile("a=1");
    pConfig->AppendEntry("firstopen", "false");
    pConfig->AppendEntry("firstopen", "false");
    EXPECT_EQ(SettingsBytes(), "a=1\r\nfirstopen=false\r\nfirstopen=false");
    EXPECT_EQ(pConfig->GetValue("firstopen"), "");
}

TEST_F(ClientConfigTest, AppendNeverCreatesOrForcesAFile) {
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->AppendEntry("firstopen", "false");
    EXPECT_TRUE(Platform().files.m_files.empty());
    CreateSettingsFile("x=1").bLocked = true;
    pConfig->AppendEntry("firstopen", "false");
    EXPECT_EQ(SettingsBytes(), "x=1");
}

TEST_F(ClientConfigTest, SettingsFileEntriesOverrideDefaultsLaterLinesWinning) {
    CreateSettingsFile(
        "platform=baidu\r\nsuccess=http://r/?a=1\r\nplatform=37wan\r\nPlatform=x\r\nfirstopen=false");
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    pConfig->ReadSettingsFile();
    EXPECT_EQ(pConfig->GetValue("platform"), "37wan");
    EXPECT_EQ(pConfig->GetValue("success"), "http://r/?a=1");
    EXPECT_EQ(pConfig->GetValue("firstopen"), "false");
    EXPECT_EQ(pConfig->GetValue("airclient"), "false");
    EXPECT_EQ(SettingsBytes().size(), 82u); // reading changes nothing
}

TEST_F(ClientConfigTest, MissingOrUnreadableSettingsFileKeepsTheDefaults) {
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    pConfig->ReadSettingsFile();
    EXPECT_EQ(pConfig->GetValue("platform"), "360");
    CreateSettingsFile("platform=baidu").bLocked = true;
    pConfig->ReadSettingsFile();
    EXPECT_EQ(pConfig->GetValue("platform"), "360");
}

TEST_F(ClientConfigTest, OversizedSettingsFileContributesOnlyCompleteLines) {
    std::string strText = "platform=baidu\r\n";
    strText += "pad=" + std::string(kMaxSettingsFileBytes, 'x');
    CreateSettingsFile(strText);
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->ReadSettingsFile();
    EXPECT_EQ(pConfig->GetValue("platform"), "baidu");
    EXPECT_EQ(pConfig->GetValue("pad"), "");
}

} // namespace

namespace {

// The run's log once the settings are read: which keys the file gave (never their values), or why
// there were none, and "log=off" keeping every line out of the player's folder.
class SettingsLogTest : public CHeadlessTest {
protected:
    std::string ReadAndLog() {
        CClientConfig* pConfig = CClientConfig::Instance();
        pConfig->SetDefaults();
        pConfig->ReadSettingsFile();
        AfxFlushRunLog();
        const std::string& strPath = AfxGetRunLog().FilePath();
        return strPath.empty() ? std::string() : Platform().state.m_files[strPath];
    }
};

TEST_F(SettingsLogTest, NamesTheKeysOfTheFileOnceEachWithoutTheirValues) {
    CreateSettingsFile("page=http://h/list?token=SECRET\r\nplatform=baidu\r\npage=http://h/other\r\n");
    const std::string strLog = ReadAndLog();
    EXPECT_NE(strLog.find("settings: pm_config.ini gives page, platform\n"), std::string::npos);
    EXPECT_EQ(strLog.find("SECRET"), std::string::npos);
}

TEST_F(SettingsLogTest, SaysWhyNoFileWasRead) {
    EXPECT_NE(
        ReadAndLog().find("settings: the built-in ones; there is no pm_config.ini in the program folder"),
        std::string::npos);
    HeadlessReset();
    CreateSettingsFile("a=1").bLocked = true;
    EXPECT_NE(ReadAndLog().find(
                  "pm_config.ini could not be read (error 32): The file is in use by another process."),
              std::string::npos);
}

TEST_F(SettingsLogTest, LogOffInTheFileLeavesNoTrace) {
    CreateSettingsFile("log=off\r\n");
    EXPECT_EQ(ReadAndLog(), "");
    AfxLogRunEnd(0);
    EXPECT_TRUE(Platform().state.m_folders.empty());
    EXPECT_TRUE(Platform().state.m_files.empty());
}

} // namespace
