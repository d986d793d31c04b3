// The headless backend: in-memory services that tests script and inspect. No display, no network,
// no file system, no processes.
#pragma once

#include "framework/geometry.h"
#include "framework/services.h"
#include "framework/emulated/url_cache_model.h"

#include <deque>
#include <functional>

#include <map>
#include <string>
#include <vector>

class CHeadlessModule : public IModuleService {
public:
    std::string GetModulePath() override;
    std::string m_strPath = "C:\\Drelk\\Drelk.exe";
    int m_nCalls = 0;
};

struct CHeadlessFile {
    std::string strBytes;
    bool bLocked = false; // open elsewhere without sharing
    bool bReadOnly = false;
    bool bFailWrites = false;
};

class CHeadlessFiles : public IFileService {
public:
    EAppendResult AppendToExisting(const std::string& strPath, std::string_view bytes) override;
    // A missing file gives kFileNotFound, a locked one ERROR_SHARING_VIOLATION.
    bool ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                      DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override;
    std::map<std::string, CHeadlessFile> m_files; // by full path
    int m_nReads = 0;
};

// The player's state folder as a map of paths to contents.
class CHeadlessStateFolder : public IStateFolderService {
public:
    std::string FolderPath(const std::string& strName) override;
    bool MakeFolder(const std::string& strFolder) override;
    std::vector<std::string> ListFiles(const std::string& strFolder) override;
    bool RemoveFile(const std::string& strPath) override;
    std::unique_ptr<IOutputFile> CreateNewFile(const std::string& strPath) override;

    std::string m_strRoot = "C:\\Users\\player\\AppData\\Local\\Drelk"; // empty: no such place
    bool m_bReadOnly = false;                                           // no folder or file can be made
    std::size_t m_nWritableBytes = ~std::size_t(0); // writes fail past this many bytes in all
    std::map<std::string, std::string> m_files;     // by full path
    std::vector<std::string> m_folders;
};

class CHeadlessAdapters : public IAdapterService {
public:
    bool GetAdapters(std::vector<CNetworkAdapter>& adapters) override;
    std::vector<CNetworkAdapter> m_adapters;
    bool m_bQueryFails = false;
};

class CHeadlessClock : public IClockService {
public:
    SYSTEMTIME GetSystemTime() override { return m_time; }
    SYSTEMTIME GetLocalTime() override { return m_time; }
    void SetTime(WORD wHour, WORD wMinute, WORD wSecond);
    SYSTEMTIME m_time{2026, 12, 3, 9, 3, 4, 5, 0};
};

struct CRecordedRequest {
    std::string strUserAgent;
    std::string strUrl;
};

class CHeadlessHttp : public IHttpService {
public:
    std::unique_ptr<IHttpSession> OpenSession(const std::string& strUserAgent, DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override;
    bool m_bSessionFails = false;
    DWORD m_dwSessionError = 12029;
    CHttpResult m_response{EHttpOutcome::Completed, 0, "ok\r\n"}; // answer to every GET
    std::vector<CRecordedRequest> m_requests;
    int m_nSessionsOpened = 0;
    std::map<DWORD, std::string> m_errorTexts; // the platform's descriptions of its error numbers
};

class CHeadlessProcesses : public IProcessService {
public:
    bool StartProcess(const CProcessStart& start) override;
    std::string ExecutableSuffix() override { return m_strSuffix; }
    DWORD CurrentProcessId() override { return m_dwProcessId; }
    DWORD m_dwProcessId = 4242;
    std::vector<CProcessStart> m_started; // every request, including the failed ones
    bool m_bFails = false;
    std::string m_strSuffix = ".exe";
};

struct CRecordedMessageBox {
    HWND hOwner;
    std::string strText;
    std::string strCaption;
    UINT nType;
};

struct CHeadlessPlatform {
    CHeadlessModule module;
    CHeadlessFiles files;
    CHeadlessAdapters adapters;
    CHeadlessClock clock;
    CHeadlessHttp http;
    CHeadlessProcesses processes;
    CHeadlessStateFolder state;
    UINT nCodePage = CP_UTF8;

    // Windows: what the window system would do and show.
    CRect workArea{0, 0, 1280, 760};
    // Runs whenever a message loop has nothing to do; the loop ends when it returns false (or is unset).
    std::function<bool()> onIdle;
    std::deque<int> messageBoxAnswers; // the player's answers, in order; IDNO when none is left
    std::vector<CRecordedMessageBox> messageBoxes;
    std::vector<std::string> shellOpened;
    std::vector<HWND> moveDrags;
    std::vector<int> resizeDrags;    // hit codes
    std::vector<CPoint> systemMenus; // where the system menu was shown
    UINT nSystemMenuChoice = 0;      // what the player picks there (0: nothing)
    int nFramePaints = 0;            // frames handed to the window system
    int nImmediatePaints = 0;        // paints UpdateWindow asked for
    // The browser's URL cache and what was deleted from it; every enumeration is counted.
    std::vector<CUrlCacheEntry> urlCache;
    std::vector<std::string> deletedUrls;
    int nUrlCacheEnumerations = 0;
    std::vector<HWND> invalidated;
    // Every window the model let go of, with the backend data it still held for it then.
    struct CDestroyedWindow {
        HWND hWnd;
        void* pBackendData;
    };
    std::vector<CDestroyedWindow> destroyed;
    // Browsers: every Navigate and Stop, in order.
    std::vector<std::u16string> navigations;
    int nStops = 0;
    // Pages shown in place of a failed one: the document and its address.
    struct CShownPage {
        std::string strHtml;
        std::u16string strUrl;
    };
    std::vector<CShownPage> shownPages;
    // The model's clock (milliseconds); HeadlessAdvanceClock moves it and runs the due timers.
    unsigned long long nTickCount = 1000000;
    bool bNetworkWatched = false;
};

// The headless platform's state. HeadlessReset restores a new platform.
CHeadlessPlatform& Headless();
void HeadlessReset();
// Empties the message queue of the headless windows (nothing where the program has no windows).
void HeadlessResetWindows();
// Moves the model's clock on by nMilliseconds, sending every timer that falls due on the way.
void HeadlessAdvanceClock(unsigned long long nMilliseconds);
// The system reports that the network is available again.
void HeadlessNetworkAvailable();
