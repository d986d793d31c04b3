#include "launcher/page_failure.h"

#include "framework/browser.h"
#include "framework/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(PageFailureTest, StatusFamiliesNameTheFailureAndEverythingElseShowsNoPage) {
    EXPECT_EQ(ClassifyNavigateError(INET_E_NO_SESSION), EPageFailure::NoNetwork);
    EXPECT_EQ(ClassifyNavigateError(INET_E_RESOURCE_NOT_FOUND), EPageFailure::NameNotFound);
    EXPECT_EQ(ClassifyNavigateError(INET_E_CANNOT_CONNECT), EPageFailure::Refused);
    for (HRESULT hr : {INET_E_CONNECTION_TIMEOUT, INET_E_DOWNLOAD_FAILURE, INET_E_DATA_NOT_AVAILABLE,
                       INET_E_CANNOT_LOAD_DATA}) {
        EXPECT_EQ(ClassifyNavigateError(hr), EPageFailure::NoAnswer) << std::hex << hr;
    }
    EXPECT_EQ(ClassifyNavigateError(INET_E_SECURITY_PROBLEM), EPageFailure::SecureConnection);
    EXPECT_EQ(ClassifyNavigateError(INET_E_INVALID_CERTIFICATE), EPageFailure::SecureConnection);
    // The server's own answers (an operator's maintenance page), and loads ended on purpose.
    for (HRESULT hr : {HRESULT(404), HRESULT(500), HRESULT(503), HRESULT(0x80004004) /* E_ABORT */,
                       HRESULT(0), HRESULT(0x800C0002) /* INET_E_INVALID_URL */}) {
        EXPECT_EQ(ClassifyNavigateError(hr), EPageFailure::None) << std::hex << hr;
    }
}

TEST(PageFailureTest, ParametersCarryTheCodeAndTheAddressInHexadecimal) {
    EXPECT_EQ(ComposeFailurePageParameters(EPageFailure::Refused, "http://a/"), "refused:687474703a2f2f612f");
    EXPECT_EQ(ComposeFailurePageParameters(EPageFailure::PageStopped, ""), "stopped:");
    // Nothing of a login-looking or blank address survives as text the rules could match.
    const std::string strParameters =
        ComposeFailurePageParameters(EPageFailure::NoAnswer, "http://op/login.php?x=about:blank#index37wan");
    for (const char* pszMarker : {"login", "index", "about:blank", ".php"}) {
        EXPECT_EQ(strParameters.find(pszMarker), std::string::npos) << pszMarker;
    }
    // The address goes as UTF-8, whatever the process code page.
    const std::string strChinese = AfxAnsiText(u"http://op/双线");
    EXPECT_EQ(ComposeFailurePageParameters(EPageFailure::NameNotFound, strChinese),
              "notfound:687474703a2f2f6f702fe58f8ce7babf");
}

TEST(PageFailureTest, RetriesBackOffToOncePerMinute) {
    const unsigned kExpected[] = {3, 10, 30, 60, 60, 60};
    for (unsigned i = 0; i < std::size(kExpected); ++i) {
        EXPECT_EQ(RetryDelaySeconds(i), kExpected[i]) << i;
    }
    EXPECT_EQ(RetryDelaySeconds(1000000), 60u);
    EXPECT_STREQ(PageFailureCode(EPageFailure::None), "");
}

} // namespace
