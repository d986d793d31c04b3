// The real Linux services against real servers, files, processes and adapters.
#include "framework/linux/linux_services.h"

#include "support/http_client_contract.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& strBytes) {
    std::ofstream(path, std::ios::binary) << strBytes;
}

class CTempDir {
public:
    CTempDir() {
        std::string strTemplate = (fs::temp_directory_path() / "drelk-test-XXXXXX").string();
        m_path = mkdtemp(strTemplate.data());
    }
    ~CTempDir() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// libcurl under the HTTP clients' contract, with the proxy variables of a test run cleared.
std::unique_ptr<IHttpService> MakeCurlService(CHttpBounds bounds) {
    for (const char* pszName :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) {
        unsetenv(pszName);
    }
    return std::make_unique<CCurlHttpService>(bounds);
}

INSTANTIATE_TEST_SUITE_P(Linux, HttpClientContract,
                         ::testing::Values(CHttpClientUnderTest{"libcurl", MakeCurlService, 1}),
                         HttpClientName);

class LinuxFilesTest : public ::testing::Test {
protected:
    std::string SystemPath(const fs::path& path) { return LinuxSystemPath(path.string()); }
    CTempDir m_dir;
    CLinuxFiles m_files;
};

TEST_F(LinuxFilesTest, AppendsToAnExistingFileWithTheSystemsPathForm) {
    const fs::path file = m_dir.Path() / "pm_config.ini";
    WriteFile(file, "a=1");
    EXPECT_EQ(m_files.AppendToExisting(SystemPath(file), "\r\nfirstopen=false"), EAppendResult::Appended);
    EXPECT_EQ(ReadFile(file), "a=1\r\nfirstopen=false");
    std::string strBytes;
    DWORD dwError = 0;
    EXPECT_TRUE(m_files.ReadExisting(SystemPath(file), 5, strBytes, dwError));
    EXPECT_EQ(strBytes, "a=1\r\n");
}

TEST_F(LinuxFilesTest, MissingFileStaysMissing) {
    const fs::path file = m_dir.Path() / "pm_config.ini";
    EXPECT_EQ(m_files.AppendToExisting(SystemPath(file), "x"), EAppendResult::NotOpened);
    EXPECT_FALSE(fs::exists(file));
    std::string strBytes;
    DWORD dwError = 0;
    EXPECT_FALSE(m_files.ReadExisting(SystemPath(file), 100, strBytes, dwError));
    EXPECT_EQ(dwError, kFileNotFound);
    EXPECT_FALSE(m_files.ReadExisting(SystemPath(m_dir.Path() / "no folder" / "pm_config.ini"), 100, strBytes,
                                      dwError));
    EXPECT_EQ(dwError, kFileNotFound);
}

TEST_F(LinuxFilesTest, LockedFileStaysUnchanged) {
    const fs::path file = m_dir.Path() / "pm_config.ini";
    WriteFile(file, "a=1");
    const int fd = open(file.c_str(), O_RDONLY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(m_files.AppendToExisting(SystemPath(file), "x"), EAppendResult::NotOpened);
    close(fd);
    EXPECT_EQ(ReadFile(file), "a=1");
}

TEST_F(LinuxFilesTest, AFileNobodyMayWriteStaysUnchangedEvenForTheSuperuser) {
    const fs::path file = m_dir.Path() / "pm_config.ini";
    WriteFile(file, "a=1");
    chmod(file.c_str(), 0444);
    EXPECT_EQ(m_files.AppendToExisting(SystemPath(file), "x"), EAppendResult::NotOpened);
    EXPECT_EQ(ReadFile(file), "a=1");
}

TEST_F(LinuxFilesTest, ReadOnlyFileStaysUnchanged) {
    const fs::path file = m_dir.Path() / "pm_config.ini";
    WriteFile(file, "a=1");
    chmod(file.c_str(), 0444);
    chmod(m_dir.Path().c_str(), 0755);
    // Root may write anything, so the attempt is made by an unprivileged child.
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(3);
        }
        _exit(CLinuxFiles().AppendToExisting(LinuxSystemPath(file.string()), "x") == EAppendResult::NotOpened
                  ? 0
                  : 1);
    }
    int nStatus = -1;
    waitpid(pid, &nStatus, 0);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << nStatus;
    EXPECT_EQ(ReadFile(file), "a=1");
}

// The zombie children of this process.
int ZombieChildren() {
    int nZombies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string strStat;
        std::getline(stat, strStat);
        const std::size_t nParen = strStat.rfind(')');
        if (nParen == std::string::npos) {
            continue;
        }
        std::istringstream fields(strStat.substr(nParen + 2));
        char state = 0;
        int nParent = 0;
        fields >> state >> nParent;
        if (state == 'Z' && nParent == getpid()) {
            ++nZombies;
        }
    }
    return nZombies;
}

std::vector<std::string> WaitForRecord(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::vector<std::string> fields;
    std::string strRecord = ReadFile(file);
    for (std::size_t nStart = 0, nEnd; (nEnd = strRecord.find('\0', nStart)) != std::string::npos;
         nStart = nEnd + 1) {
        fields.push_back(strRecord.substr(nStart, nEnd - nStart));
    }
    return fields;
}

class LinuxProcessesTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("DRELK_RECORD_FILE", (m_dir.Path() / "record").c_str(), 1); }
    CTempDir m_dir;
    CLinuxProcesses m_processes;
};

TEST_F(LinuxProcessesTest, ChildGetsItsArgumentsUnchangedAndIsReaped) {
    const std::string strAddress = "http://127.0.0.1/login.php?sid=1 x&server_name=双线一区";
    CProcessStart start;
    start.strApplication = LinuxSystemPath(DRELK_RECORD_ARGS);
    start.strCommandLine = " p " + strAddress;
    start.vecArguments = {"p", strAddress};
    ASSERT_TRUE(m_processes.StartProcess(start));
    const std::vector<std::string> fields = WaitForRecord(m_dir.Path() / "record");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], fs::current_path().string()); // the launcher's own working directory
    EXPECT_EQ(fields[2], "p");
    EXPECT_EQ(fields[3], strAddress);
    int nZombies = 1;
    for (int i = 0; i < 100 && (nZombies = ZombieChildren()) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(nZombies, 0);
}

TEST_F(LinuxProcessesTest, MissingOrNonExecutableProgramIsAFailure) {
    CProcessStart start;
    start.strApplication = LinuxSystemPath((m_dir.Path() / "game" / "DrelkClient").string());
    EXPECT_FALSE(m_processes.StartProcess(start));
    const fs::path plain = m_dir.Path() / "plain";
    WriteFile(plain, "#!/bin/sh\n");
    chmod(plain.c_str(), 0644);
    start.strApplication = LinuxSystemPath(plain.string());
    if (geteuid() != 0) {
        EXPECT_FALSE(m_processes.StartProcess(start));
    }
    start.strApplication = "";
    EXPECT_FALSE(m_processes.StartProcess(start));
}

TEST_F(LinuxProcessesTest, ModulePathIsWholeBeyond260Bytes) {
    fs::path deep = m_dir.Path();
    while (deep.string().size() < 300) {
        deep /= "a-rather-long-directory-name";
    }
    fs::create_directories(deep);
    fs::copy_file(DRELK_RECORD_ARGS, deep / "record_args");
    fs::permissions(deep / "record_args", fs::perms::owner_all);
    CProcessStart start;
    start.strApplication = LinuxSystemPath((deep / "record_args").string());
    ASSERT_TRUE(m_processes.StartProcess(start));
    const std::vector<std::string> fields = WaitForRecord(m_dir.Path() / "record");
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[1], LinuxSystemPath((deep / "record_args").string()));
}

TEST(LinuxModuleTest, PathOfThisProgramInSystemForm) {
    const std::string strPath = CLinuxModule().GetModulePath();
    EXPECT_EQ(strPath, LinuxSystemPath(fs::read_symlink("/proc/self/exe").string()));
    EXPECT_EQ(strPath.find('/'), std::string::npos);
}

TEST(LinuxAdaptersTest, PhysicalFirstThenByIndexWithoutLoopbackOrEmptyAddresses) {
    std::vector<CNetworkAdapter> adapters;
    ASSERT_TRUE(CLinuxAdapters().GetAdapters(adapters));
    const auto isPhysical = [](const std::string& strName) {
        return fs::exists("/sys/class/net/" + strName + "/device");
    };
    const auto index = [](const std::string& strName) {
        return std::stoi(ReadFile("/sys/class/net/" + strName + "/ifindex"));
    };
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const CNetworkAdapter& adapter = adapters[i];
        EXPECT_NE(adapter.strName, "lo");
        char szText[32];
        ASSERT_GE(adapter.address.size(), 6u);
        std::snprintf(szText, sizeof(szText), "%02x:%02x:%02x:%02x:%02x:%02x", adapter.address[0],
                      adapter.address[1], adapter.address[2], adapter.address[3], adapter.address[4],
                      adapter.address[5]);
        EXPECT_EQ(ReadFile("/sys/class/net/" + adapter.strName + "/address").substr(0, 17), szText);
        if (i > 0) {
            const CNetworkAdapter& previous = adapters[i - 1];
            if (isPhysical(previous.strName) == isPhysical(adapter.strName)) {
                EXPECT_LT(index(previous.strName), index(adapter.strName));
            } else {
                EXPECT_TRUE(isPhysical(previous.strName))
                    << "virtual " << previous.strName << " before physical";
            }
        }
    }
}

TEST(LinuxClockTest, UtcNow) {
    const SYSTEMTIME now = CLinuxClock().GetSystemTime();
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    EXPECT_EQ(now.wYear, utc.tm_year + 1900);
    EXPECT_NEAR(now.wHour * 3600 + now.wMinute * 60 + now.wSecond,
                utc.tm_hour * 3600 + utc.tm_min * 60 + utc.tm_sec, 2);
}

// The state folder: XDG_STATE_HOME when it is absolute, else ~/.local/state; folders and files only
// the player may open, whatever the umask; a file is only ever made new.
TEST(LinuxStateFolderTest, FoldersAndFilesBelongToThePlayerAlone) {
    CTempDir dir;
    CLinuxStateFolder state;
    setenv("XDG_STATE_HOME", (dir.Path() / "state").c_str(), 1);
    const std::string strLogs = state.FolderPath("logs");
    EXPECT_EQ(LinuxPath(strLogs), (dir.Path() / "state" / "drelk" / "logs").string());
    setenv("XDG_STATE_HOME", "relative/state", 1);
    setenv("HOME", dir.Path().c_str(), 1);
    EXPECT_EQ(LinuxPath(state.FolderPath("logs")),
              (dir.Path() / ".local" / "state" / "drelk" / "logs").string());

    const mode_t previous = umask(0);
    ASSERT_TRUE(state.MakeFolder(strLogs));
    std::unique_ptr<IOutputFile> pFile = state.CreateNewFile(strLogs + "\\a.log");
    umask(previous);
    ASSERT_TRUE(pFile);
    EXPECT_TRUE(pFile->Write("line\n"));
    EXPECT_EQ(state.CreateNewFile(strLogs + "\\a.log"), nullptr) << "an existing file is never opened again";
    struct stat status {};
    for (const fs::path& folder : {dir.Path() / "state" / "drelk", dir.Path() / "state" / "drelk" / "logs"}) {
        ASSERT_EQ(stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << folder;
    }
    ASSERT_EQ(stat((dir.Path() / "state" / "drelk" / "logs" / "a.log").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(state.ListFiles(strLogs), std::vector<std::string>{"a.log"});
    EXPECT_TRUE(state.RemoveFile(strLogs + "\\a.log"));
    EXPECT_TRUE(state.ListFiles(strLogs).empty());

    // A file where the folder should be: no folder, nothing written, no failure beyond that.
    WriteFile(dir.Path() / "blocked", "x");
    EXPECT_FALSE(state.MakeFolder(LinuxSystemPath((dir.Path() / "blocked" / "logs").string())));
    EXPECT_EQ(state.CreateNewFile(LinuxSystemPath((dir.Path() / "blocked" / "logs" / "b.log").string())),
              nullptr);
    unsetenv("XDG_STATE_HOME");
}

// A program that installs the crash reporter and then faults leaves a report with a backtrace and
// ends with the fault's own status.
TEST(LinuxCrashReportsTest, AFaultLeavesAReportAndEndsWithItsSignal) {
    CTempDir dir;
    const struct {
        const char* pszHow;
        int nSignal;
        const char* pszHeadline;
    } cases[] = {{"segv", SIGSEGV, "signal 11 (SIGSEGV), address 0x0,"},
                 {"abort", SIGABRT, "signal 6 (SIGABRT)"},
                 {"fpe", SIGFPE, "signal 8 (SIGFPE)"}};
    for (const auto& fault : cases) {
        SCOPED_TRACE(fault.pszHow);
        // The report's folders do not exist before the fault.
        const fs::path report = dir.Path() / fault.pszHow / "drelk" / "crashes" / "drelk-1.txt";
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The sanitizers' own handlers would report first: the program's handler is what is tested.
            setenv("ASAN_OPTIONS", "handle_segv=0:handle_abort=0:handle_sigfpe=0:detect_leaks=0", 1);
            execl(DRELK_TEST_CRASH, DRELK_TEST_CRASH, report.c_str(), fault.pszHow, nullptr);
            _exit(127);
        }
        int nStatus = 0;
        ASSERT_EQ(waitpid(child, &nStatus, 0), child);
        ASSERT_TRUE(WIFSIGNALED(nStatus)) << "status " << nStatus;
        EXPECT_EQ(WTERMSIG(nStatus), fault.nSignal);
        const std::string strReport = ReadFile(report);
        EXPECT_EQ(strReport.rfind("Drelk ended with a fault: ", 0), 0u) << strReport;
        EXPECT_NE(strReport.find(fault.pszHeadline), std::string::npos) << strReport;
        const std::size_t nTrace = strReport.find("\nbacktrace:\n");
        ASSERT_NE(nTrace, std::string::npos);
        EXPECT_NE(strReport.find("drelk_test_crash", nTrace), std::string::npos)
            << "frames of the program itself";
        struct stat status {};
        ASSERT_EQ(stat(report.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);
    }
}

} // namespace
