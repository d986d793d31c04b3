// The real Windows services (run under Wine): program path, files, adapters, WinInet, processes.
#include <windows.h>

#include <shellapi.h>

#include "framework/win32/win32_services.h"

#include "support/http_client_contract.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string ReadFile(const std::string& strPath) {
    std::ifstream stream(strPath, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

// A host path as Wine shows it: the host's file system is drive Z:.
std::string WinePath(std::string strHostPath) {
    for (char& ch : strHostPath) {
        if (ch == '/') {
            ch = '\\';
        }
    }
    return "Z:" + strHostPath;
}

bool Exists(const std::string& strPath) {
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CTempDir {
public:
    CTempDir() {
        char szTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, szTemp);
        m_strPath = std::string(szTemp) + "drelk-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(s_nNext++);
        CreateDirectoryA(m_strPath.c_str(), nullptr);
    }
    ~CTempDir() {
        for (const std::string& strFile : m_files) {
            SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(strFile.c_str());
        }
        RemoveDirectoryA(m_strPath.c_str());
    }
    // A file in the directory, removed with it.
    std::string File(const std::string& strName) {
        m_files.push_back(m_strPath + "\\" + strName);
        return m_files.back();
    }

private:
    static inline int s_nNext = 0;
    std::string m_strPath;
    std::vector<std::string> m_files;
};

TEST(Win32ModuleTest, PathOfThisProgram) {
    const std::string strPath = CWin32Module().GetModulePath();
    EXPECT_NE(strPath.find('\\'), std::string::npos);
    EXPECT_EQ(strPath.substr(strPath.size() - 31), "\\drelk_win32_services_tests.exe");
}

class Win32FilesTest : public ::testing::Test {
protected:
    CTempDir m_dir;
    CWin32Files m_files;
};

TEST_F(Win32FilesTest, AppendsToAnExistingFile) {
    const std::string strFile = m_dir.File("pm_config.ini");
    std::ofstream(strFile, std::ios::binary) << "a=1";
    EXPECT_EQ(m_files.AppendToExisting(strFile, "\r\nfirstopen=false"), EAppendResult::Appended);
    EXPECT_EQ(ReadFile(strFile), "a=1\r\nfirstopen=false");
    std::string strBytes;
    DWORD dwError = 0;
    EXPECT_TRUE(m_files.ReadExisting(strFile, 100, strBytes, dwError));
    EXPECT_EQ(strBytes, "a=1\r\nfirstopen=false");
}

TEST_F(Win32FilesTest, MissingFileStaysMissing) {
    const std::string strFile = m_dir.File("pm_config.ini");
    EXPECT_EQ(m_files.AppendToExisting(strFile, "x"), EAppendResult::NotOpened);
    EXPECT_FALSE(Exists(strFile));
    std::string strBytes;
    DWORD dwError = 0;
    EXPECT_FALSE(m_files.ReadExisting(strFile, 100, strBytes, dwError));
    EXPECT_EQ(dwError, kFileNotFound);
    EXPECT_FALSE(m_files.ReadExisting(m_dir.File("no folder\\pm_config.ini"), 100, strBytes, dwError));
    EXPECT_EQ(dwError, kFileNotFound);
    EXPECT_FALSE(m_files.DescribeError(dwError).empty());
}

// (A read-only file cannot be tested here: Wine, run as root, lets it be written.)
TEST_F(Win32FilesTest, LockedFileStaysUnchanged) {
    const std::string strFile = m_dir.File("pm_config.ini");
    std::ofstream(strFile, std::ios::binary) << "a=1";
    HANDLE hOther = CreateFileA(strFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hOther, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_files.AppendToExisting(strFile, "x"), EAppendResult::NotOpened);
    CloseHandle(hOther);
    EXPECT_EQ(ReadFile(strFile), "a=1");
}

TEST(Win32AdaptersTest, ListsAdaptersWithHardwareAddresses) {
    std::vector<CNetworkAdapter> adapters;
    if (!CWin32Adapters().GetAdapters(adapters)) {
        GTEST_SKIP() << "no adapter information on this machine";
    }
    for (const CNetworkAdapter& adapter : adapters) {
        EXPECT_FALSE(adapter.strName.empty());
        EXPECT_LE(adapter.address.size(), 8u);
    }
}

TEST(Win32ClockTest, UtcNow) {
    const SYSTEMTIME now = CWin32Clock().GetSystemTime();
    const std::time_t t = std::time(nullptr);
    const std::tm* pUtc = std::gmtime(&t);
    EXPECT_EQ(now.wYear, pUtc->tm_year + 1900);
    EXPECT_NEAR(now.wHour * 3600 + now.wMinute * 60 + now.wSecond,
                pUtc->tm_hour * 3600 + pUtc->tm_min * 60 + pUtc->tm_sec, 2);
}

std::unique_ptr<IHttpService> MakeWinInetService(CHttpBounds bounds) {
    return std::make_unique<CWinInetHttpService>(bounds);
}

// WinInet's request-handle timeouts under Wine are reliable from 2 seconds on.
INSTANTIATE_TEST_SUITE_P(Windows, HttpClientContract,
                         ::testing::Values(CHttpClientUnderTest{"WinInet", MakeWinInetService, 2}),
                         HttpClientName);

class Win32ProcessesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strRecord = m_dir.File("record");
        m_dir.File("record.part");
        SetEnvironmentVariableA("DRELK_RECORD_FILE", m_strRecord.c_str());
    }
    std::string WaitForRecord() {
        for (int i = 0; i < 400 && !Exists(m_strRecord); ++i) {
            Sleep(25);
        }
        return ReadFile(m_strRecord);
    }
    CTempDir m_dir;
    std::string m_strRecord;
    CWin32Processes m_processes;
};

TEST_F(Win32ProcessesTest, ChildSeesTheExactCommandLineText) {
    CProcessStart start;
    start.strApplication = WinePath(DRELK_RECORD_CMDLINE_HOST);
    start.strCommandLine = " p http://127.0.0.1/login.php?sid=1 x&server_name=\xCB\xAB\xCF\xDF";
    ASSERT_TRUE(m_processes.StartProcess(start));
    EXPECT_EQ(WaitForRecord(), start.strCommandLine);
}

// The game client's address as one quoted argument: Windows' own splitting of the command line the
// child received gives back "p" and the address, blanks, quotes, backslashes and a character whose
// trail byte is a backslash (code page 936) included.
TEST_F(Win32ProcessesTest, AQuotedArgumentIsSplitBackUnchanged) {
    ASSERT_EQ(GetACP(), 936u);
    const std::string strAddress =
        "http://127.0.0.1/login.php?a=\\\"b\\&server_name=x \" -y \\\x81\x5C\"\xCB\xAB\\";
    CProcessStart start;
    start.strApplication = WinePath(DRELK_RECORD_CMDLINE_HOST);
    start.strCommandLine = " p " + AfxQuoteCommandLineArgument(strAddress);
    ASSERT_TRUE(m_processes.StartProcess(start));
    const std::string strRecord = WaitForRecord();
    ASSERT_EQ(strRecord, start.strCommandLine);
    const auto Wide = [](const std::string& strText) {
        std::wstring strWide(strText.size() + 1, L'\0');
        strWide.resize(MultiByteToWideChar(936, 0, strText.data(), static_cast<int>(strText.size()),
                                           strWide.data(), static_cast<int>(strWide.size())));
        return strWide;
    };
    int nCount = 0;
    LPWSTR* ppArguments = CommandLineToArgvW(Wide(strRecord).c_str(), &nCount);
    ASSERT_NE(ppArguments, nullptr);
    ASSERT_EQ(nCount, 3);
    EXPECT_EQ(std::wstring(ppArguments[1]), L"p");
    EXPECT_EQ(std::wstring(ppArguments[2]), Wide(strAddress));
    LocalFree(ppArguments);
}

TEST_F(Win32ProcessesTest, MissingProgramIsAFailure) {
    CProcessStart start;
    start.strApplication = m_dir.File("DrelkClient.exe");
    start.strCommandLine = " p x";
    EXPECT_FALSE(m_processes.StartProcess(start));
}

// The state folder is the player's %LOCALAPPDATA%\\Drelk; a file there is only ever made new.
TEST(Win32StateFolderTest, LogsGoBelowLocalAppDataAndFilesAreMadeNew) {
    CWin32StateFolder state;
    char szLocal[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("LOCALAPPDATA", szLocal, MAX_PATH), 0u);
    const std::string strFolder = state.FolderPath("test-" + std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(strFolder, std::string(szLocal) + "\\Drelk\\test-" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(state.MakeFolder(strFolder));
    const std::string strFile = strFolder + "\\a.log";
    std::unique_ptr<IOutputFile> pFile = state.CreateNewFile(strFile);
    ASSERT_TRUE(pFile);
    EXPECT_TRUE(pFile->Write("line\n"));
    EXPECT_EQ(state.CreateNewFile(strFile), nullptr) << "an existing file is never opened again";
    pFile.reset();
    EXPECT_EQ(ReadFile(strFile), "line\n");
    EXPECT_EQ(state.ListFiles(strFolder), std::vector<std::string>{"a.log"});
    EXPECT_TRUE(state.RemoveFile(strFile));
    EXPECT_TRUE(state.ListFiles(strFolder).empty());
    RemoveDirectoryA(strFolder.c_str());
}

// A program that installs the crash reporter and then faults leaves a minidump (the "MDMP"
// signature, a thread list) in folders made for it, and ends as the fault ends a program.
TEST(Win32CrashReportsTest, AFaultLeavesAMinidumpWithTheThreadList) {
    CTempDir dir;
    const std::string strFolder = dir.File("crashes");
    const std::string strReport = strFolder + "\\drelk-1.dmp";
    std::string strCommandLine = "drelk_test_crash.exe \"" + strReport + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(WinePath(DRELK_TEST_CRASH_HOST).c_str(), strCommandLine.data(), nullptr,
                               nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    const DWORD dwWait = WaitForSingleObject(process.hProcess, 60000);
    if (dwWait != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    DWORD dwExit = 0;
    GetExitCodeProcess(process.hProcess, &dwExit);
    CloseHandle(process.hProcess);
    ASSERT_EQ(dwWait, static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_NE(dwExit, 0u) << "the process does not end as if nothing happened";
    const std::string strDump = ReadFile(strReport);
    DeleteFileA(strReport.c_str());
    RemoveDirectoryA(strFolder.c_str());
    ASSERT_GE(strDump.size(), 32u);
    EXPECT_EQ(strDump.substr(0, 4), "MDMP");
    const auto Read32 = [&strDump](std::size_t nAt) {
        uint32_t nValue = 0;
        if (nAt + 4 <= strDump.size()) {
            std::memcpy(&nValue, strDump.data() + nAt, 4);
        }
        return nValue;
    };
    // The header gives the streams' directory; the thread list is stream 3, its count first.
    const uint32_t nStreams = Read32(8);
    const uint32_t nDirectory = Read32(12);
    uint32_t nThreads = 0;
    for (uint32_t i = 0; i < nStreams; ++i) {
        if (Read32(nDirectory + i * 12) == 3) {
            nThreads = Read32(Read32(nDirectory + i * 12 + 8));
        }
    }
    EXPECT_GE(nThreads, 1u);
}

} // namespace
