#include "support/loopback_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>

namespace {

#ifdef _WIN32
using CSocket = SOCKET;
const CSocket kNoSocket = INVALID_SOCKET;
void CloseSocket(CSocket s) { closesocket(s); }
int WaitReadable(CSocket s, int nMilliseconds) {
    WSAPOLLFD entry{s, POLLRDNORM, 0};
    return WSAPoll(&entry, 1, nMilliseconds);
}
struct CWinsock {
    CWinsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};
void EnsureSockets() { static CWinsock s_winsock; }
#else
using CSocket = int;
const CSocket kNoSocket = -1;
void CloseSocket(CSocket s) { close(s); }
int WaitReadable(CSocket s, int nMilliseconds) {
    pollfd entry{s, POLLIN, 0};
    return poll(&entry, 1, nMilliseconds);
}
void EnsureSockets() {}
#endif

CSocket ListenOnLoopback(int& nPort) {
    EnsureSockets();
    CSocket s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(s, 8);
    socklen_t nLength = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &nLength);
    nPort = ntohs(address.sin_port);
    return s;
}

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0 // Windows raises no signal for a closed peer
#endif

// A client that went away ends the sending; it never raises SIGPIPE.
bool SendAll(CSocket s, const std::string& strData) {
    std::size_t nSent = 0;
    while (nSent < strData.size()) {
        const int n = send(s, strData.data() + nSent, static_cast<int>(strData.size() - nSent), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        nSent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

CLoopbackServer::CLoopbackServer(EMode eMode) : m_eMode(eMode) {
    m_hListen = static_cast<long long>(ListenOnLoopback(m_nPort));
    m_thread = std::thread([this] { Serve(); });
}

CLoopbackServer::~CLoopbackServer() {
    m_bStop = true;
    m_thread.join();
    CloseSocket(static_cast<CSocket>(m_hListen));
}

std::string CLoopbackServer::Url(const std::string& strPath) const {
    return "http://127.0.0.1:" + std::to_string(m_nPort) + strPath;
}

std::vector<std::string> CLoopbackServer::Requests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::string CLoopbackServer::RequestLine(const std::string& strHead) {
    return strHead.substr(0, strHead.find("\r\n"));
}

std::string CLoopbackServer::Header(const std::string& strHead, const std::string& strName) {
    const std::string strNeedle = "\r\n" + strName + ": ";
    const std::size_t nStart = strHead.find(strNeedle);
    if (nStart == std::string::npos) {
        return {};
    }
    const std::size_t nValue = nStart + strNeedle.size();
    return strHead.substr(nValue, strHead.find("\r\n", nValue) - nValue);
}

int CLoopbackServer::ClosedPort() {
    int nPort = 0;
    CloseSocket(ListenOnLoopback(nPort));
    return nPort;
}

void CLoopbackServer::Serve() {
    const auto hListen = static_cast<CSocket>(m_hListen);
    while (!m_bStop) {
        if (WaitReadable(hListen, 50) <= 0) {
            continue;
        }
        const CSocket hClient = accept(hListen, nullptr, nullptr);
        if (hClient == kNoSocket) {
            continue;
        }
        Handle(static_cast<long long>(hClient));
        CloseSocket(hClient);
    }
}

void CLoopbackServer::Handle(long long hClientValue) {
    const auto hClient = static_cast<CSocket>(hClientValue);
    std::string strHead;
    char buffer[4096];
    while (strHead.find("\r\n\r\n") == std::string::npos && !m_bStop) {
        if (WaitReadable(hClient, 50) <= 0) {
            continue;
        }
        const int n = recv(hClient, buffer, sizeof(buffer), 0);
        if (n <= 0) {
            return;
        }
        strHead.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(strHead.substr(0, strHead.find("\r\n\r\n")));
    }
    switch (m_eMode) {
    case EMode::Respond:
        SendAll(hClient, m_strResponse);
        return;
    case EMode::Silent:
        break;
    case EMode::EndlessBody: {
        SendAll(hClient, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        const std::string strChunk(16384, 'x');
        while (!m_bStop && SendAll(hClient, strChunk)) {
            m_nBodyBytesSent += static_cast<long long>(strChunk.size());
        }
        return;
    }
    case EMode::StallBody:
        SendAll(hClient, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\nline one\n");
        break;
    }
    // Hold the connection open without answering until the client goes away or the test ends.
    while (!m_bStop) {
        if (WaitReadable(hClient, 50) > 0 && recv(hClient, buffer, sizeof(buffer), 0) <= 0) {
            return;
        }
    }
}
