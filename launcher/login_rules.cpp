#include "launcher/login_rules.h"

#include "framework/codepage.h"

namespace {

constexpr CLoginRule kLoginRules[] = {
    {"baidu", "login_game_for_general"},
    {"37wan", "index37wan"},
    {"liebao", "indexliebao"},
    {"6711", "index6711"},
    {"360", "login.php"},
    {"shunwang", "login.php"},
};

} // namespace

std::span<const CLoginRule> LoginRules() { return kLoginRules; }

bool IsLoginNavigation(const std::string& strPlatform, const std::string& strUrl) {
    for (const CLoginRule& rule : LoginRules()) {
        if (strPlatform == rule.pszPlatform) {
            return AfxFindString(CP_ACP, strUrl, rule.pszMarker) != std::string::npos;
        }
    }
    return false;
}

std::string ComposeLoginAddress(const std::string& strUrl, const std::string& strTitle) {
    return strUrl + "&server_name=" + strTitle;
}

CRect SelectBrowserRect(const std::string& strPlatform) {
    if (strPlatform == "6711") {
        return CRect(CPoint(317, 114), CSize(681, 500));
    }
    return CRect(CPoint(316, 98), CSize(682, 502));
}
