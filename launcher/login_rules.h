// The rules that recognise a server-list page's login navigation and complete its address.
#pragma once

#include "framework/geometry.h"

#include <span>
#include <string>

// A platform whose server list hands the login over, and the marker of its login navigation.
struct CLoginRule {
    const char* pszPlatform;
    const char* pszMarker;
};

// Every platform's rule; a platform not listed has none.
std::span<const CLoginRule> LoginRules();

// True when the platform has a rule and the URL contains its marker (case-sensitive, never matched
// from a trail byte of the process code page).
bool IsLoginNavigation(const std::string& strPlatform, const std::string& strUrl);

// The URL, "&server_name=", then the title, as they are.
std::string ComposeLoginAddress(const std::string& strUrl, const std::string& strTitle);

// Where the browser shows the server list in the controls window (client coordinates).
CRect SelectBrowserRect(const std::string& strPlatform);
