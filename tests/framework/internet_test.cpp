#include "framework/internet.h"

#include "framework/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class InternetTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessReset(); }

    std::vector<std::string> ReadAll(CStdioFile& file) {
        std::vector<std::string> lines;
        std::string strLine;
        while (file.ReadString(strLine)) {
            lines.push_back(strLine);
        }
        return lines;
    }
};

TEST_F(InternetTest, LinesComeWithoutTheirLineEnds) {
    Headless().http.m_response = {EHttpOutcome::Completed, 0, "one\r\ntwo\n\nlast"};
    CInternetSession session("Drelk");
    std::unique_ptr<CStdioFile> pFile(session.OpenURL("http://127.0.0.1/x"));
    EXPECT_EQ(ReadAll(*pFile), (std::vector<std::string>{"one", "two", "", "last"}));
    ASSERT_EQ(Headless().http.m_requests.size(), 1u);
    EXPECT_EQ(Headless().http.m_requests[0].strUserAgent, "Drelk");
    EXPECT_EQ(Headless().http.m_requests[0].strUrl, "http://127.0.0.1/x");
}

TEST_F(InternetTest, FailuresBecomeInternetExceptions) {
    Headless().http.m_bSessionFails = true;
    EXPECT_THROW(CInternetSession("Drelk"), CInternetException);

    Headless().http.m_bSessionFails = false;
    Headless().http.m_response = {EHttpOutcome::OpenFailed, 12029, ""};
    CInternetSession session("Drelk");
    try {
        delete session.OpenURL("http://127.0.0.1:1/");
        FAIL() << "no exception";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.m_dwError, 12029u);
    }

    // A broken transfer delivers what arrived, then fails.
    Headless().http.m_response = {EHttpOutcome::ReadFailed, 12030, "a\nb"};
    std::unique_ptr<CStdioFile> pFile(session.OpenURL("http://127.0.0.1/"));
    std::string strLine;
    EXPECT_TRUE(pFile->ReadString(strLine));
    EXPECT_TRUE(pFile->ReadString(strLine));
    EXPECT_EQ(strLine, "b");
    EXPECT_THROW(pFile->ReadString(strLine), CInternetException);
}

TEST_F(InternetTest, BlanksGoOnTheWireAsPercent20) {
    EXPECT_EQ(AfxEncodeBlanksForWire("http://h/r?time=11:04:05 GMT+0800&a=b c"),
              "http://h/r?time=11:04:05%20GMT+0800&a=b%20c");
    EXPECT_EQ(AfxEncodeBlanksForWire("http://h/%20"), "http://h/%20");
}

} // namespace
