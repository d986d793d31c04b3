#include "launcher/operator_pages.h"

#include "settings/client_config.h"

#include "framework/wnd.h"

void OpenSettingInShell(const char* pszKey) {
    const std::string strValue = CClientConfig::Instance()->GetValue(pszKey);
    AfxShellExecute(nullptr, "open", strValue.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
