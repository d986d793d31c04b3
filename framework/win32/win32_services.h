// The Windows operating-system services. Include after <windows.h>.
#pragma once

#include "framework/services.h"

class CWin32Module : public IModuleService {
public:
    std::string GetModulePath() override; // GetModuleFileNameA with a buffer that grows as needed
};

class CWin32Files : public IFileService {
public:
    // CreateFileA with OPEN_EXISTING and no sharing.
    EAppendResult AppendToExisting(const std::string& strPath, std::string_view bytes) override;
    bool ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                      DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override;
};

// The system's text for an error number (FormatMessage), from hModule's own table first when given;
// empty when there is none.
std::string Win32ErrorText(HMODULE hModule, DWORD dwError);

// %LOCALAPPDATA%\Drelk: made by the program for the player alone to use (the folder's inherited ACL).
class CWin32StateFolder : public IStateFolderService {
public:
    std::string FolderPath(const std::string& strName) override;
    bool MakeFolder(const std::string& strFolder) override;
    std::vector<std::string> ListFiles(const std::string& strFolder) override;
    bool RemoveFile(const std::string& strPath) override;
    std::unique_ptr<IOutputFile> CreateNewFile(const std::string& strPath) override;
};

class CWin32Adapters : public IAdapterService {
public:
    bool GetAdapters(std::vector<CNetworkAdapter>& adapters) override; // GetAdaptersInfo, in its order
};

class CWin32Clock : public IClockService {
public:
    SYSTEMTIME GetSystemTime() override;
    SYSTEMTIME GetLocalTime() override;
};

// WinInet with the system's proxy configuration; the bounds are set on each request handle.
class CWinInetHttpService : public IHttpService {
public:
    explicit CWinInetHttpService(CHttpBounds bounds = {});
    std::unique_ptr<IHttpSession> OpenSession(const std::string& strUserAgent, DWORD& dwError) override;
    std::string DescribeError(DWORD dwError) override;

private:
    CHttpBounds m_bounds;
};

class CWin32Processes : public IProcessService {
public:
    bool StartProcess(const CProcessStart& start) override; // CreateProcessA
    std::string ExecutableSuffix() override { return ".exe"; }
    DWORD CurrentProcessId() override { return GetCurrentProcessId(); }
};
