// A one-connection-at-a-time HTTP server on 127.0.0.1 for tests of the real HTTP clients.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CLoopbackServer {
public:
    enum class EMode {
        Respond,     // answer with m_strResponse, then close
        Silent,      // accept and never answer
        EndlessBody, // send a response head, then body bytes until the client gives up
        StallBody    // send a response head and a little body, then nothing
    };

    explicit CLoopbackServer(EMode eMode = EMode::Respond);
    ~CLoopbackServer();
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;

    int Port() const { return m_nPort; }
    std::string Url(const std::string& strPath) const;

    // The heads of the requests received so far (request line and header lines, CR LF separated).
    std::vector<std::string> Requests();
    // The value of a header in a request head ("" when absent).
    static std::string Header(const std::string& strHead, const std::string& strName);
    static std::string RequestLine(const std::string& strHead);

    std::string m_strResponse = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\nok\n";
    std::atomic<long long> m_nBodyBytesSent{0};

    // A port on which nothing listens (bound, then closed).
    static int ClosedPort();

private:
    void Serve();
    void Handle(long long hClient);

    EMode m_eMode;
    long long m_hListen = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
