// The model of the browser's URL cache: the backend presents its engine's cache as entries.
#pragma once

#include "framework/url_cache.h"

#include <string>
#include <vector>

// An entry of the engine's cache as the display backend presents it.
struct CUrlCacheEntry {
    std::string strUrl;
    DWORD dwType = NORMAL_CACHE_ENTRY;
    DWORD dwInfoSize = 0; // the entry's full size when larger than its fixed part and URL
};
