#include "framework/headless/headless_platform.h"

#include "framework/codepage.h"
#include "framework/run_log.h"

#include <algorithm>

namespace {

CHeadlessPlatform& Platform() {
    static CHeadlessPlatform s_platform;
    return s_platform;
}

class CHeadlessHttpSession : public IHttpSession {
public:
    CHeadlessHttpSession(CHeadlessHttp& owner, std::string strAgent)
        : m_owner(owner), m_strAgent(std::move(strAgent)) {}
    CHttpResult Get(const std::string& strUrl) override {
        m_owner.m_requests.push_back({m_strAgent, strUrl});
        return m_owner.m_response;
    }

private:
    CHeadlessHttp& m_owner;
    std::string m_strAgent;
};

} // namespace

CHeadlessPlatform& Headless() { return Platform(); }

void HeadlessReset() {
    CHeadlessPlatform& platform = Platform();
    platform.module = CHeadlessModule{};
    platform.files = CHeadlessFiles{};
    platform.adapters = CHeadlessAdapters{};
    platform.clock = CHeadlessClock{};
    platform.http = CHeadlessHttp{};
    platform.processes = CHeadlessProcesses{};
    platform.state = CHeadlessStateFolder{};
    AfxResetRunLog();
    platform.nCodePage = CP_UTF8;
    platform.workArea = CRect(0, 0, 1280, 760);
    platform.onIdle = nullptr;
    platform.messageBoxAnswers.clear();
    platform.messageBoxes.clear();
    platform.shellOpened.clear();
    platform.moveDrags.clear();
    platform.resizeDrags.clear();
    platform.systemMenus.clear();
    platform.nSystemMenuChoice = 0;
    platform.nFramePaints = 0;
    platform.urlCache.clear();
    platform.deletedUrls.clear();
    platform.nUrlCacheEnumerations = 0;
    platform.invalidated.clear();
    platform.destroyed.clear();
    platform.navigations.clear();
    platform.nStops = 0;
    platform.shownPages.clear();
    platform.bNetworkWatched = false; // the clock goes on: it never runs backwards
    HeadlessResetWindows();
}

std::string CHeadlessModule::GetModulePath() {
    ++m_nCalls;
    return m_strPath;
}

EAppendResult CHeadlessFiles::AppendToExisting(const std::string& strPath, std::string_view bytes) {
    auto it = m_files.find(strPath);
    if (it == m_files.end() || it->second.bLocked || it->second.bReadOnly) {
        return EAppendResult::NotOpened;
    }
    if (it->second.bFailWrites) {
        return EAppendResult::WriteFailed;
    }
    it->second.strBytes.append(bytes);
    return EAppendResult::Appended;
}

namespace {
constexpr DWORD kSharingViolation = 32; // ERROR_SHARING_VIOLATION
}

bool CHeadlessFiles::ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                                  DWORD& dwError) {
    ++m_nReads;
    auto it = m_files.find(strPath);
    if (it == m_files.end() || it->second.bLocked) {
        dwError = it == m_files.end() ? kFileNotFound : kSharingViolation;
        return false;
    }
    strBytes = it->second.strBytes.substr(0, nMaxBytes);
    return true;
}

bool CHeadlessAdapters::GetAdapters(std::vector<CNetworkAdapter>& adapters) {
    if (m_bQueryFails) {
        return false;
    }
    adapters = m_adapters;
    return true;
}

void CHeadlessClock::SetTime(WORD wHour, WORD wMinute, WORD wSecond) {
    m_time.wHour = wHour;
    m_time.wMinute = wMinute;
    m_time.wSecond = wSecond;
}

std::unique_ptr<IHttpSession> CHeadlessHttp::OpenSession(const std::string& strUserAgent, DWORD& dwError) {
    if (m_bSessionFails) {
        dwError = m_dwSessionError;
        return nullptr;
    }
    ++m_nSessionsOpened;
    return std::make_unique<CHeadlessHttpSession>(*this, strUserAgent);
}

bool CHeadlessProcesses::StartProcess(const CProcessStart& start) {
    m_started.push_back(start);
    return !m_bFails;
}

std::string CHeadlessFiles::DescribeError(DWORD dwError) {
    return dwError == kSharingViolation ? "The file is in use by another process." : std::string();
}

namespace {

class CHeadlessOutputFile : public IOutputFile {
public:
    CHeadlessOutputFile(CHeadlessStateFolder& folder, std::string strPath)
        : m_folder(folder), m_strPath(std::move(strPath)) {}
    bool Write(std::string_view bytes) override {
        if (bytes.size() > m_folder.m_nWritableBytes) {
            return false;
        }
        m_folder.m_nWritableBytes -= bytes.size();
        m_folder.m_files[m_strPath].append(bytes);
        return true;
    }

private:
    CHeadlessStateFolder& m_folder;
    std::string m_strPath;
};

std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('\\');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
}

bool Contains(const std::vector<std::string>& items, const std::string& strItem) {
    return std::find(items.begin(), items.end(), strItem) != items.end();
}

} // namespace

std::string CHeadlessStateFolder::FolderPath(const std::string& strName) {
    return m_strRoot.empty() ? std::string() : m_strRoot + "\\" + strName;
}

bool CHeadlessStateFolder::MakeFolder(const std::string& strFolder) {
    if (!m_bReadOnly && !Contains(m_folders, strFolder)) {
        m_folders.push_back(strFolder);
    }
    return Contains(m_folders, strFolder);
}

std::vector<std::string> CHeadlessStateFolder::ListFiles(const std::string& strFolder) {
    std::vector<std::string> names;
    for (const auto& [strPath, strBytes] : m_files) {
        if (FolderOf(strPath) == strFolder) {
            names.push_back(strPath.substr(strFolder.size() + 1));
        }
    }
    return names;
}

bool CHeadlessStateFolder::RemoveFile(const std::string& strPath) { return m_files.erase(strPath) > 0; }

std::unique_ptr<IOutputFile> CHeadlessStateFolder::CreateNewFile(const std::string& strPath) {
    if (m_bReadOnly || !Contains(m_folders, FolderOf(strPath)) || m_files.count(strPath) > 0) {
        return nullptr;
    }
    m_files[strPath];
    return std::make_unique<CHeadlessOutputFile>(*this, strPath);
}

CPlatformServices& WsGetPlatformServices() {
    CHeadlessPlatform& platform = Platform();
    static CPlatformServices s_services{platform.module, platform.files, platform.adapters,
                                        platform.clock,  platform.http,  platform.processes,
                                        platform.state};
    return s_services;
}

UINT WsGetProcessCodePage() { return Platform().nCodePage; }

std::string AfxDisplayPath(const std::string& strSystemPath) { return strSystemPath; }

std::string CHeadlessHttp::DescribeError(DWORD dwError) {
    const auto it = m_errorTexts.find(dwError);
    return it != m_errorTexts.end() ? it->second : std::string();
}
