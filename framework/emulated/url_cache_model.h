// The model of the browser's URL cache: the backend presents its engine's cache as entries.
#pragma once

#include "framework/url_cache.h"

#include <string>
#include <vector>

// ---- Implemented by each backend of the model ----
struct CUrlCacheEntry {
    std::string strUrl;
    DWORD dwType = NORMAL_CACHE_ENTRY;
    DWORD dwInfoSize = 0; // the entry's full size when larger than its fixed part and URL
};
std::vector<CUrlCacheEntry> BackendUrlCacheEntries();
bool BackendDeleteUrlCacheEntry(const std::string& strUrl);
