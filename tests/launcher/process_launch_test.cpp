#include "launcher/process_launch.h"

#include "support/window_fixture.h"

#include "framework/headless/headless_inspect.h"

namespace {

class ProcessLaunchTest : public CWindowTest {
protected:
    const std::vector<CProcessStart>& Started() { return Platform().processes.m_started; }
};

TEST_F(ProcessLaunchTest, GameClientGetsPathCommandLineAndArguments) {
    Platform().module.m_strPath = "D:\\Games\\Drelk\\Drelk.exe";
    const std::string strAddress = "http://h/login.php?sid=1 x&server_name=双线一区";
    LaunchGameClient(strAddress);
    ASSERT_EQ(Started().size(), 1u);
    EXPECT_EQ(Started()[0].strApplication, "D:\\Games\\Drelk\\game\\DrelkClient.exe");
    EXPECT_EQ(Started()[0].strCommandLine, " p \"" + strAddress + "\"");
    EXPECT_EQ(Started()[0].vecArguments, (std::vector<std::string>{"p", strAddress}));
    EXPECT_EQ(Started()[0].nShowCmd, SW_SHOW);
    EXPECT_TRUE(ModelQuitPosted());
    EXPECT_EQ(ModelQuitCode(), 0);
}

TEST_F(ProcessLaunchTest, AnAddressWithoutBlanksOrQuotesGoesAsItIs) {
    LaunchGameClient("http://h/login.php?sid=1&server_name=a\\b");
    EXPECT_EQ(Started()[0].strCommandLine, " p http://h/login.php?sid=1&server_name=a\\b");
}

// A page title cannot give the game client arguments of its own.
TEST_F(ProcessLaunchTest, QuotesAndBlanksInTheAddressStayInsideOneArgument) {
    const std::string strAddress = "http://h/login.php?sid=1&server_name=a\" -x \\\"y\\";
    LaunchGameClient(strAddress);
    ASSERT_EQ(Started().size(), 1u);
    EXPECT_EQ(Started()[0].strCommandLine,
              " p \"http://h/login.php?sid=1&server_name=a\\\" -x \\\\\\\"y\\\\\"");
    EXPECT_EQ(Started()[0].vecArguments, (std::vector<std::string>{"p", strAddress}));
}

TEST_F(ProcessLaunchTest, FailedGameClientNeverEndsTheLauncher) {
    Platform().processes.m_bFails = true;
    LaunchGameClient("http://h/login.php?sid=1&server_name=");
    EXPECT_EQ(Started().size(), 1u);
    EXPECT_FALSE(ModelQuitPosted());
}

TEST_F(ProcessLaunchTest, PlatformSuffixIsUsed) {
    Platform().module.m_strPath = "\\opt\\drelk\\drelk";
    Platform().processes.m_strSuffix = "";
    LaunchGameClient("a");
    EXPECT_EQ(Started()[0].strApplication, "\\opt\\drelk\\game\\DrelkClient");
}

TEST_F(ProcessLaunchTest, RelaunchStartsTheOwnExecutableWithoutArguments) {
    Platform().module.m_strPath = "D:\\Games\\Drelk\\Drelk.bin";
    StartApp("-url \"http://x/\"");
    RelaunchLauncher();
    ASSERT_EQ(Started().size(), 1u);
    EXPECT_EQ(Started()[0].strApplication, "D:\\Games\\Drelk\\Drelk.exe");
    EXPECT_EQ(Started()[0].strCommandLine, "");
    EXPECT_TRUE(Started()[0].vecArguments.empty());
    EXPECT_FALSE(ModelQuitPosted());
}

} // namespace
