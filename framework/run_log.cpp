#include "framework/run_log.h"

#include "framework/app.h"
#include "framework/codepage.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

#ifndef DRELK_VERSION
#define DRELK_VERSION "0"
#endif

namespace {

constexpr const char* kLogSuffix = ".log";
constexpr std::string_view kCapLine =
    "the log has reached its size limit of 1 MiB; the rest of this run is not written";

std::string LocalTimeText(const SYSTEMTIME& time, bool bForFileName) {
    char szText[64];
    if (bForFileName) {
        std::snprintf(szText, sizeof(szText), "%04u%02u%02u-%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
                      time.wHour, time.wMinute, time.wSecond);
    } else {
        std::snprintf(szText, sizeof(szText), "%04u-%02u-%02u %02u:%02u:%02u.%03u", time.wYear, time.wMonth,
                      time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    }
    return szText;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The names in the folder that belong to runs and end with pszSuffix (any suffix when null), oldest
// first: a run's name starts with its start time.
std::vector<std::string> RunFiles(IStateFolderService& state, const std::string& strFolder,
                                  const char* pszSuffix) {
    std::vector<std::string> names;
    for (std::string& strName : state.ListFiles(strFolder)) {
        if (StartsWith(strName, "drelk-") && (pszSuffix == nullptr || EndsWith(strName, pszSuffix))) {
            names.push_back(std::move(strName));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Removes the oldest until nKeep are left.
void Prune(IStateFolderService& state, const std::string& strFolder, std::vector<std::string>& names,
           std::size_t nKeep) {
    while (names.size() > nKeep) {
        state.RemoveFile(strFolder + "\\" + names.front());
        names.erase(names.begin());
    }
}

bool IsSchemeChar(char ch, bool bFirst) {
    const bool bLetter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    return bLetter || (!bFirst && ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.'));
}

} // namespace

CRunLog::CRunLog(CPlatformServices& services) : m_services(services) {
    const SYSTEMTIME now = services.clock.GetLocalTime();
    m_strRunName =
        "drelk-" + LocalTimeText(now, true) + "-" + std::to_string(services.processes.CurrentProcessId());
}

std::string CRunLog::CrashReportPath(const char* pszSuffix) const {
    const std::string strFolder = m_services.state.FolderPath("crashes");
    return strFolder.empty() ? std::string() : strFolder + "\\" + m_strRunName + pszSuffix;
}

void CRunLog::Add(std::string_view text) {
    std::string strLine = LocalTimeText(m_services.clock.GetLocalTime(), false) + "  ";
    // One event, one line: what came from outside cannot start lines of its own.
    for (char ch : text) {
        strLine += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F ? ' ' : ch;
    }
    strLine += '\n';
    std::lock_guard lock(m_mutex);
    Append(strLine);
}

void CRunLog::Append(std::string_view line) {
    if (m_eState == EState::Off || m_bCapped) {
        return;
    }
    const std::size_t nCapLine = kCapLine.size() + 32;
    if (m_nBytes + line.size() + nCapLine > kRunLogCapBytes) {
        m_bCapped = true;
        const std::string strCap =
            LocalTimeText(m_services.clock.GetLocalTime(), false) + "  " + std::string(kCapLine) + "\n";
        m_strPending += strCap;
        m_nBytes += strCap.size();
        return;
    }
    m_strPending.append(line);
    m_nBytes += line.size();
}

void CRunLog::Start(bool bOn) {
    std::unique_lock lock(m_mutex);
    if (m_eState != EState::Waiting) {
        return;
    }
    PruneCrashReports();
    const std::string strFolder = m_services.state.FolderPath("logs");
    if (!bOn || strFolder.empty() || !m_services.state.MakeFolder(strFolder)) {
        m_eState = EState::Off;
        m_strPending.clear();
        return;
    }
    std::vector<std::string> logs = RunFiles(m_services.state, strFolder, kLogSuffix);
    Prune(m_services.state, strFolder, logs, kRunLogsKept - 1);
    m_strFilePath = strFolder + "\\" + m_strRunName + kLogSuffix;
    m_pFile = m_services.state.CreateNewFile(m_strFilePath);
    if (!m_pFile) {
        m_eState = EState::Off;
        m_strPending.clear();
        m_strFilePath.clear();
        return;
    }
    m_eState = EState::On;
    lock.unlock();
    if (!logs.empty()) {
        NotePreviousCrash(logs.back());
    }
    Flush();
}

void CRunLog::NotePreviousCrash(const std::string& strPreviousLog) {
    const std::string strFolder = m_services.state.FolderPath("crashes");
    const std::string strRun =
        strPreviousLog.substr(0, strPreviousLog.size() - std::string_view(kLogSuffix).size());
    for (const std::string& strReport : RunFiles(m_services.state, strFolder, nullptr)) {
        if (StartsWith(strReport, strRun + ".")) {
            Add("the previous run (" + strPreviousLog +
                ") ended with a crash; its report: " + AfxDisplayPath(strFolder + "\\" + strReport));
        }
    }
}

void CRunLog::PruneCrashReports() {
    const std::string strFolder = m_services.state.FolderPath("crashes");
    if (!strFolder.empty()) {
        std::vector<std::string> reports = RunFiles(m_services.state, strFolder, nullptr);
        Prune(m_services.state, strFolder, reports, kCrashReportsKept);
    }
}

void CRunLog::Flush() {
    std::lock_guard lock(m_mutex);
    if (m_eState != EState::On || m_strPending.empty()) {
        return;
    }
    if (!m_pFile->Write(m_strPending)) {
        m_eState = EState::Off; // a disk that is full or gone: the run goes on without its log
        m_pFile.reset();
    }
    m_strPending.clear();
}

std::string AfxLogAddress(std::string_view url) {
    url = url.substr(0, url.find_first_of("?#"));
    std::size_t nColon = url.find(':');
    bool bScheme = nColon != std::string_view::npos && nColon > 0;
    for (std::size_t i = 0; bScheme && i < nColon; ++i) {
        bScheme = IsSchemeChar(url[i], i == 0);
    }
    if (!bScheme) {
        return std::string(url.substr(0, url.find(';')));
    }
    const std::string_view scheme = url.substr(0, nColon + 1);
    std::string_view rest = url.substr(nColon + 1);
    if (!StartsWith(rest, "//")) {
        return scheme == "about:" ? std::string(url) : std::string(scheme);
    }
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/\\"));
    std::string_view path = rest.substr(authority.size());
    const std::size_t nAt = AfxFindLastChar(CP_ACP, authority, '@');
    if (nAt != std::string_view::npos) {
        authority.remove_prefix(nAt + 1);
    }
    const std::size_t nPortColon = authority.rfind(':');
    if (nPortColon != std::string_view::npos && authority.find(']', nPortColon) == std::string_view::npos) {
        authority = authority.substr(0, nPortColon);
    }
    path = path.substr(0, path.find(';'));
    return std::string(scheme) + "//" + std::string(authority) + std::string(path);
}

std::string AfxLogCommandLine(std::string_view line) {
    std::string strResult;
    bool bAfterUrl = false;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            strResult += line[i++];
            continue;
        }
        // One argument: up to the next blank outside double quotes.
        std::string strArgument;
        bool bQuoted = false;
        for (; i < line.size() && (bQuoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
            if (line[i] == '"') {
                bQuoted = !bQuoted;
            } else {
                strArgument += line[i];
            }
        }
        const bool bAddress = bAfterUrl || strArgument.find("://") != std::string::npos;
        const std::string strShown = bAddress ? AfxLogAddress(strArgument) : strArgument;
        const bool bQuote = strShown.empty() || strShown.find_first_of(" \t") != std::string::npos;
        strResult += bQuote ? "\"" + strShown + "\"" : strShown;
        bAfterUrl = strArgument == "-url";
    }
    return strResult;
}

namespace {
std::unique_ptr<CRunLog>& RunLogSlot() {
    static std::unique_ptr<CRunLog> s_pLog;
    return s_pLog;
}
} // namespace

CRunLog& AfxGetRunLog() {
    std::unique_ptr<CRunLog>& pLog = RunLogSlot();
    if (!pLog) {
        pLog = std::make_unique<CRunLog>(AfxGetPlatformServices());
    }
    return *pLog;
}

void AfxResetRunLog() { RunLogSlot().reset(); }

void AfxLog(std::string_view text) { AfxGetRunLog().Add(text); }

void AfxLogFormat(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    va_list again;
    va_copy(again, args);
    const int nLength = std::vsnprintf(nullptr, 0, pszFormat, args);
    va_end(args);
    std::string strText(nLength > 0 ? static_cast<std::size_t>(nLength) : 0, '\0');
    if (nLength > 0) {
        std::vsnprintf(strText.data(), strText.size() + 1, pszFormat, again);
    }
    va_end(again);
    AfxLog(strText);
}

void AfxStartRunLog(bool bOn) { AfxGetRunLog().Start(bOn); }

void AfxFlushRunLog() {
    if (RunLogSlot()) {
        RunLogSlot()->Flush();
    }
}

void AfxLogRunStart(const std::string& strPlatform, const std::string& strScreen) {
    const CWinApp* pApp = AfxGetApp();
    std::string strFolder = AfxGetPlatformServices().module.GetModulePath();
    const std::size_t nSlash = AfxFindLastChar(CP_ACP, strFolder, '\\');
    strFolder = nSlash == std::string::npos ? std::string() : strFolder.substr(0, nSlash);
    const char* pszName = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
    const char* pszCommandLine = pApp != nullptr && pApp->m_lpCmdLine != nullptr ? pApp->m_lpCmdLine : "";
    AfxLog("start: " + std::string(pszName) + " " + DRELK_VERSION + ", " + strPlatform + "; program folder " +
           AfxDisplayPath(strFolder) + "; screen " + strScreen +
           "; command line: " + (*pszCommandLine != '\0' ? AfxLogCommandLine(pszCommandLine) : "(none)"));
}

void AfxLogRunEnd(int nExitCode) {
    AfxLogFormat("end (exit code %d)", nExitCode);
    AfxFlushRunLog();
}
