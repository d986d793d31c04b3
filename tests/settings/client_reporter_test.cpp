#include "settings/client_reporter.h"

#include "framework/internet.h"
#include "framework/run_log.h"
#include "support/headless_fixture.h"

namespace {

class ClientReporterTest : public CHeadlessTest {
protected:
    void SetUp() override {
        CHeadlessTest::SetUp();
        CreateSettingsFile();
        Platform().adapters.m_adapters = {{"eth0", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}}};
        Platform().clock.SetTime(3, 4, 5);
        CClientConfig* pConfig = CClientConfig::Instance();
        pConfig->SetDefaults();
        pConfig->SetValue("platform", "baidu");
        pConfig->SetValue("success", "http://127.0.0.1:8080/report?game=drelk");
    }
    const std::vector<CRecordedRequest>& Requests() { return Platform().http.m_requests; }
};

TEST_F(ClientReporterTest, ReportsOnceWithTheExactAddressAndAppendsFirstOpen) {
    CClientReporter::Instance()->ReportFirstOpen();
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].strUrl,
              "http://127.0.0.1:8080/report?game=drelk&mac=0A1B2C3D4E5F&time=11:04:05 GMT+0800");
    EXPECT_EQ(Requests()[0].strUserAgent, "Drelk");
    EXPECT_EQ(SettingsBytes(), "\r\nfirstopen=false");
    EXPECT_EQ(CClientConfig::Instance()->GetValue("firstopen"), "");
}

TEST_F(ClientReporterTest, TheLogSaysWhereTheReportWentButNeverTheAdapterOrTheQuery) {
    AfxStartRunLog(true);
    CClientReporter::Instance()->ReportFirstOpen();
    AfxFlushRunLog();
    const std::string strLog = Platform().state.m_files[AfxGetRunLog().FilePath()];
    EXPECT_NE(strLog.find("first-open report: sending to http://127.0.0.1/report\n"), std::string::npos);
    EXPECT_NE(strLog.find("first-open report: answered"), std::string::npos);
    EXPECT_EQ(strLog.find("0A1B2C3D4E5F"), std::string::npos);
    EXPECT_EQ(strLog.find("game=drelk"), std::string::npos);
}

TEST_F(ClientReporterTest, OnlyExactBaiduReports) {
    for (const char* pszPlatform : {"Baidu", " baidu", "baidu ", "360", ""}) {
        CClientConfig::Instance()->SetValue("platform", pszPlatform);
        CClientReporter::Instance()->ReportFirstOpen();
    }
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(ClientReporterTest, OnlyExactFalseStopsTheReport) {
    CClientConfig::Instance()->SetValue("firstopen", "false");
    CClientReporter::Instance()->ReportFirstOpen();
    EXPECT_TRUE(Requests().empty());
    for (const char* pszFirstOpen : {"False", "FALSE", "true", "0"}) {
        CClientConfig::Instance()->SetValue("firstopen", pszFirstOpen);
        CClientReporter::Instance()->ReportFirstOpen();
    }
    EXPECT_EQ(Requests().size(), 4u);
}

TEST_F(ClientReporterTest, NoSuccessAddressNoRequestAndNoEntry) {
    CClientConfig::Instance()->SetValue("success", "");
    CClientReporter::Instance()->ReportFirstOpen();
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(ClientReporterTest, NoAdapterLeavesTheIdentityEmpty) {
    Platform().adapters.m_adapters.clear();
    CClientReporter::Instance()->ReportFirstOpen();
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_NE(Requests()[0].strUrl.find("&mac=&time="), std::string::npos);
}

TEST_F(ClientReporterTest, UnreachableServerStillAppendsOnce) {
    Platform().http.m_response = {EHttpOutcome::OpenFailed, 12029, ""};
    CClientReporter::Instance()->ReportFirstOpen();
    EXPECT_EQ(SettingsBytes(), "\r\nfirstopen=false");
}

TEST_F(ClientReporterTest, BrokenSessionOrTransferIsNotSwallowedAndAppendsNothing) {
    Platform().http.m_bSessionFails = true;
    EXPECT_THROW(CClientReporter::Instance()->ReportFirstOpen(), CInternetException);
    Platform().http.m_bSessionFails = false;
    Platform().http.m_response = {EHttpOutcome::ReadFailed, 12030, "partial\n"};
    EXPECT_THROW(CClientReporter::Instance()->ReportFirstOpen(), CInternetException);
    EXPECT_EQ(SettingsBytes(), "");
}

TEST_F(ClientReporterTest, TimeTextIsUtcPlusEightWithoutDate) {
    CClientReporter* pReporter = CClientReporter::Instance();
    Platform().clock.SetTime(16, 0, 0);
    EXPECT_EQ(pReporter->ReportTimeText(), "00:00:00 GMT+0800");
    Platform().clock.SetTime(23, 59, 59);
    EXPECT_EQ(pReporter->ReportTimeText(), "07:59:59 GMT+0800");
    Platform().clock.SetTime(20, 15, 9);
    EXPECT_EQ(pReporter->ReportTimeText(), "04:15:09 GMT+0800");
}

TEST_F(ClientReporterTest, IdentityUsesTheFirstAdapterUnfiltered) {
    Platform().adapters.m_adapters = {{"ifb0", {0xde, 0xad, 0xbe, 0xef, 0x00, 0x01, 0x02, 0x03}},
                                      {"eth0", {1, 2, 3, 4, 5, 6}}};
    EXPECT_EQ(CClientReporter::Instance()->GetMacAddressText(), "DEADBEEF0001");
    Platform().adapters.m_adapters = {{"short", {0x01, 0x02}}};
    EXPECT_EQ(CClientReporter::Instance()->GetMacAddressText(), "010200000000");
}

} // namespace
