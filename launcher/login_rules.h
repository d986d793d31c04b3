// The rules that recognise a server-list page's login navigation and complete its address.
#pragma once

#include "framework/geometry.h"

#include <string>

// True when the platform has a rule and the URL contains its marker (case-sensitive, never matched
// from a trail byte of the process code page).
bool IsLoginNavigation(const std::string& strPlatform, const std::string& strUrl);

// The URL, "&server_name=", then the title, as they are.
std::string ComposeLoginAddress(const std::string& strUrl, const std::string& strTitle);

// Where the browser shows the server list in the controls window (client coordinates).
CRect SelectBrowserRect(const std::string& strPlatform);
