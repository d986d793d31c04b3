#include "support/http_client_contract.h"

#include "support/loopback_server.h"

#include <chrono>

CHttpResult HttpClientContract::Get(const std::string& strUrl, CHttpBounds bounds) {
    std::unique_ptr<IHttpService> pService = GetParam().makeService(bounds);
    DWORD dwError = 0;
    std::unique_ptr<IHttpSession> pSession = pService->OpenSession("Drelk", dwError);
    EXPECT_NE(pSession, nullptr) << dwError;
    return pSession ? pSession->Get(strUrl) : CHttpResult{};
}

std::string HttpClientName(const ::testing::TestParamInfo<CHttpClientUnderTest>& info) {
    return info.param.strName;
}

TEST_P(HttpClientContract, SendsTheRequestLineAndUserAgentAndReadsTheBody) {
    CLoopbackServer server;
    const CHttpResult result = Get(server.Url("/report?game=drelk&mac=0A1B2C3D4E5F&time=11:04:05 GMT+0800"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::Completed);
    EXPECT_EQ(result.strBody, "ok\n");
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(CLoopbackServer::RequestLine(requests[0]),
              "GET /report?game=drelk&mac=0A1B2C3D4E5F&time=11:04:05%20GMT+0800 HTTP/1.1");
    EXPECT_EQ(CLoopbackServer::Header(requests[0], "User-Agent"), "Drelk");
}

TEST_P(HttpClientContract, ErrorStatusIsStillAResponse) {
    CLoopbackServer server;
    server.m_strResponse = "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\nConnection: close\r\n\r\nnope";
    const CHttpResult result = Get(server.Url("/x"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::Completed);
    EXPECT_EQ(result.strBody, "nope");
}

TEST_P(HttpClientContract, ClosedPortAndOtherAddressesFailToOpen) {
    const CHttpResult closed = Get("http://127.0.0.1:" + std::to_string(CLoopbackServer::ClosedPort()) + "/");
    EXPECT_EQ(closed.eOutcome, EHttpOutcome::OpenFailed);
    EXPECT_NE(closed.dwError, 0u);
    EXPECT_EQ(Get("file:///etc/hostname").eOutcome, EHttpOutcome::OpenFailed);
    EXPECT_EQ(Get("").eOutcome, EHttpOutcome::OpenFailed);
    EXPECT_EQ(Get("not an address").eOutcome, EHttpOutcome::OpenFailed);
}

TEST_P(HttpClientContract, SilentServerIsCutOffByTheIdleBound) {
    CLoopbackServer server(CLoopbackServer::EMode::Silent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Get(server.Url("/"), CHttpBounds{5, GetParam().nIdleSeconds, 1024}).eOutcome,
              EHttpOutcome::OpenFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_P(HttpClientContract, EndlessBodyIsCutOffAtTheSizeBound) {
    CLoopbackServer server(CLoopbackServer::EMode::EndlessBody);
    const CHttpResult result = Get(server.Url("/"), CHttpBounds{5, 5, 100000});
    EXPECT_EQ(result.eOutcome, EHttpOutcome::Completed);
    EXPECT_EQ(result.strBody.size(), 100000u);
}

TEST_P(HttpClientContract, BodyThatStopsComingIsAReadFailure) {
    CLoopbackServer server(CLoopbackServer::EMode::StallBody);
    const CHttpResult result = Get(server.Url("/"), CHttpBounds{5, GetParam().nIdleSeconds, 1024 * 1024});
    EXPECT_EQ(result.eOutcome, EHttpOutcome::ReadFailed);
    EXPECT_EQ(result.strBody, "line one\n");
}

TEST_P(HttpClientContract, BodyCutShortOfItsLengthIsAReadFailure) {
    CLoopbackServer server;
    server.m_strResponse = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nabcd";
    const CHttpResult result = Get(server.Url("/report"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::ReadFailed);
    EXPECT_EQ(result.strBody, "abcd");
    EXPECT_NE(result.dwError, 0u);
}

TEST_P(HttpClientContract, EndlessRedirectsFailToOpenAfterAFewRounds) {
    CLoopbackServer server;
    server.m_strResponse =
        "HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    const CHttpResult result = Get(server.Url("/loop"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::OpenFailed);
    EXPECT_NE(result.dwError, 0u);
    EXPECT_GE(server.Requests().size(), 2u);
    EXPECT_LE(server.Requests().size(), 11u); // the first request and ten redirects followed
}

TEST_P(HttpClientContract, SchemeRelativeRedirectIsFollowedToTheOtherServer) {
    CLoopbackServer target;
    target.m_strResponse = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\nthere\n";
    CLoopbackServer server;
    server.m_strResponse = "HTTP/1.1 302 Found\r\nLocation: //127.0.0.1:" + std::to_string(target.Port()) +
                           "/final?a=1\r\nContent-Length: 4\r\nConnection: close\r\n\r\nhere";
    const CHttpResult result = Get(server.Url("/start"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::Completed);
    EXPECT_EQ(result.strBody, "there\n");
    const std::vector<std::string> requests = target.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(CLoopbackServer::RequestLine(requests[0]), "GET /final?a=1 HTTP/1.1");
}

TEST_P(HttpClientContract, RedirectToAFileAddressIsNotFollowed) {
    CLoopbackServer server;
    server.m_strResponse = "HTTP/1.1 302 Found\r\nLocation: file:///etc/hostname\r\nContent-Length: 4\r\n"
                           "Connection: close\r\n\r\nhere";
    const CHttpResult result = Get(server.Url("/start"));
    EXPECT_EQ(result.eOutcome, EHttpOutcome::OpenFailed);
    EXPECT_NE(result.dwError, 0u);
    EXPECT_EQ(result.strBody, "");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_P(HttpClientContract, HugeResponseHeadFailsToOpen) {
    CLoopbackServer server;
    std::string strHead = "HTTP/1.1 200 OK\r\n";
    const std::string strLine = "X-Padding: " + std::string(1000, 'p') + "\r\n";
    while (strHead.size() < 10 * 1024 * 1024) {
        strHead += strLine;
    }
    server.m_strResponse = strHead + "Content-Length: 2\r\nConnection: close\r\n\r\nok";
    const CHttpResult result = Get(server.Url("/"), CHttpBounds{5, 5, 1024 * 1024});
    EXPECT_NE(result.eOutcome, EHttpOutcome::ReadFailed);
    EXPECT_LE(result.strBody.size(), 2u);
}
