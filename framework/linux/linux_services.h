// The Linux operating-system services. The backend hands out one instance of each; tests of the
// real services construct their own (for example with short HTTP bounds).
#pragma once

#include "framework/services.h"

#include <string>

// '\' of the system's paths becomes '/', and back. (A Linux file name containing a backslash cannot
// be represented in the system's path form.)
std::string LinuxPath(const std::string& strSystemPath);
std::string LinuxSystemPath(const std::string& strLinuxPath);

class CLinuxModule : public IModuleService {
public:
    std::string GetModulePath() override; // /proc/self/exe
};

class CLinuxFiles : public IFileService {
public:
    // open() without O_CREAT, then an exclusive non-blocking flock for as long as it is open.
    EAppendResult AppendToExisting(const std::string& strPath, std::string_view bytes) override;
    bool ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                      DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override; // strerror's text
};

// strerror's text for an errno value, thread-safe.
std::string LinuxErrorText(int nError);

// $XDG_STATE_HOME/drelk (when XDG_STATE_HOME is an absolute path), else $HOME/.local/state/drelk;
// folders 0700, files 0600 whatever the umask.
class CLinuxStateFolder : public IStateFolderService {
public:
    std::string FolderPath(const std::string& strName) override;
    bool MakeFolder(const std::string& strFolder) override;
    std::vector<std::string> ListFiles(const std::string& strFolder) override;
    bool RemoveFile(const std::string& strPath) override;
    std::unique_ptr<IOutputFile> CreateNewFile(const std::string& strPath) override;
};

// The state folder's path in the platform's own form ("/home/p/.local/state/drelk"); empty when
// neither XDG_STATE_HOME nor HOME gives one.
std::string LinuxStateFolder();

// getifaddrs: interfaces with a non-zero hardware address, loopback excluded; physical devices
// (with /sys/class/net/NAME/device) first, then the others, each group in interface-index order.
class CLinuxAdapters : public IAdapterService {
public:
    bool GetAdapters(std::vector<CNetworkAdapter>& adapters) override;
};

class CLinuxClock : public IClockService {
public:
    SYSTEMTIME GetSystemTime() override;
    SYSTEMTIME GetLocalTime() override;
};

// libcurl, with the proxy variables of the environment.
class CCurlHttpService : public IHttpService {
public:
    explicit CCurlHttpService(CHttpBounds bounds = {});
    std::unique_ptr<IHttpSession> OpenSession(const std::string& strUserAgent, DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override;

private:
    CHttpBounds m_bounds;
};

// posix_spawn with the argument vector; each child is waited for by a reaper thread of its own.
class CLinuxProcesses : public IProcessService {
public:
    bool StartProcess(const CProcessStart& start) override;
    std::string ExecutableSuffix() override { return {}; }
    DWORD CurrentProcessId() override;
};
