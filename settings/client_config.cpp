#include "settings/client_config.h"

#include "settings/client_reporter.h"
#include "settings/settings_file.h"

#include "framework/codepage.h"
#include "framework/run_log.h"
#include "framework/services.h"

#include <algorithm>

CClientConfig* g_pClientConfig = nullptr;

namespace {
constexpr const char* kDefaultHost = DRELK_DEFAULT_HOST;
}

CClientConfig* CClientConfig::Instance() {
    if (g_pClientConfig == nullptr) {
        g_pClientConfig = new CClientConfig;
    }
    return g_pClientConfig;
}

void CClientConfig::SetDefaults() {
    ProgramDirectory();
    const std::string strHost = kDefaultHost;
    SetValue("page", strHost + "/mini/zonelist.html");
    SetValue("platform", "360");
    SetValue("home", strHost + "/index.html");
    SetValue("service", strHost + "/cs?type=game&gamekey=drelk");
    SetValue("bbs", strHost + "/forum-2449-1.html");
    SetValue("charge", strHost + "/order.html?gkey=drelk");
    SetValue("airclient", "false");
}

void CClientConfig::ReadSettingsFile() {
    ReadSettingsText();
    // The log's own setting: until here its lines waited in memory.
    AfxStartRunLog(GetValue("log") != "off");
}

void CClientConfig::ReadSettingsText() {
    std::string strText;
    IFileService& files = AfxGetPlatformServices().files;
    DWORD dwError = 0;
    // One byte more than the bound tells whether the file was longer.
    if (!files.ReadExisting(SettingsFilePath(), kMaxSettingsFileBytes + 1, strText, dwError)) {
        if (dwError == kFileNotFound) {
            AfxLog("settings: the built-in ones; there is no pm_config.ini in the program folder");
        } else {
            AfxLogFormat("settings: the built-in ones; pm_config.ini could not be read (error %lu): %s",
                         static_cast<unsigned long>(dwError), files.DescribeError(dwError).c_str());
        }
        return;
    }
    if (strText.size() > kMaxSettingsFileBytes) {
        strText.resize(kMaxSettingsFileBytes);
        const std::size_t nLastBreak = strText.find_last_of("\r\n");
        strText.resize(nLastBreak == std::string::npos ? 0 : nLastBreak);
    }
    std::vector<std::string> keys;
    for (const auto& [strKey, strValue] : ParseSettingsText(strText)) {
        SetValue(strKey, strValue);
        if (std::find(keys.begin(), keys.end(), strKey) == keys.end()) {
            keys.push_back(strKey);
        }
    }
    // Which keys, never their values: an operator's addresses may carry what only the player should see.
    std::string strKeys;
    for (const std::string& strKey : keys) {
        strKeys += (strKeys.empty() ? "" : ", ") + strKey;
    }
    AfxLog("settings: pm_config.ini gives " + (keys.empty() ? std::string("no entries") : strKeys));
}

std::string CClientConfig::GetValue(const std::string& strKey) const {
    const auto it = m_mapSettings.find(strKey);
    return it == m_mapSettings.end() ? std::string() : it->second;
}

void CClientConfig::SetValue(const std::string& strKey, const std::string& strValue) {
    m_mapSettings[strKey] = strValue;
}

void CClientConfig::AppendEntry(const std::string& strKey, const std::string& strValue) {
    AfxGetPlatformServices().files.AppendToExisting(SettingsFilePath(),
                                                    FormatSettingsEntry(strKey, strValue));
}

std::string CClientConfig::SettingsFilePath() { return ProgramDirectory() + "\\pm_config.ini"; }

std::string CClientConfig::ProgramDirectory() {
    if (!m_strProgramDirectory.empty()) {
        return m_strProgramDirectory;
    }
    const std::string strPath = AfxGetPlatformServices().module.GetModulePath();
    const std::size_t nSlash = AfxFindLastChar(CP_ACP, strPath, '\\');
    m_strProgramDirectory = nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
    return m_strProgramDirectory;
}
