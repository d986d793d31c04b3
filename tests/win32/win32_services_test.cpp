// The real Windows services (run under Wine): program path, files, adapters, WinInet, processes.
#include <windows.h>

#include <shellapi.h>

#include "framework/win32/win32_services.h"

#include "support/http_client_contract.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
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

} // namespace
