// The browser's URL cache, walked and trimmed entry by entry in the shape of WinINet's cache
// functions. Each backend presents its browser engine's cache as such entries.
#pragma once

#include "framework/windefs.h"

#include <string>
#include <vector>

#define NORMAL_CACHE_ENTRY 0x00000001
#define COOKIE_CACHE_ENTRY 0x00100000

typedef void* HURLCACHEFIND;

// The fixed part of an entry; the strings follow it in the caller's buffer.
typedef struct _INTERNET_CACHE_ENTRY_INFOA {
    DWORD dwStructSize;
    char* lpszSourceUrlName;
    char* lpszLocalFileName;
    DWORD CacheEntryType;
    DWORD dwUseCount;
    DWORD dwHitRate;
    DWORD dwSizeLow;
    DWORD dwSizeHigh;
} INTERNET_CACHE_ENTRY_INFOA;

// The first entry (no search pattern is supported). Null on failure; AfxGetLastError() tells why:
// ERROR_INSUFFICIENT_BUFFER (*pcbCacheEntryInfo then holds the size needed) or ERROR_NO_MORE_ITEMS.
HURLCACHEFIND AfxFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                        DWORD* pcbCacheEntryInfo);
BOOL AfxFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                              DWORD* pcbCacheEntryInfo);
BOOL AfxDeleteUrlCacheEntry(const char* lpszUrlName);
BOOL AfxFindCloseUrlCache(HURLCACHEFIND hFind);
DWORD AfxGetLastError();

// ---- Implemented by each backend ----
struct CUrlCacheEntry {
    std::string strUrl;
    DWORD dwType = NORMAL_CACHE_ENTRY;
    DWORD dwInfoSize = 0; // the entry's full size when larger than its fixed part and URL
};
std::vector<CUrlCacheEntry> BackendUrlCacheEntries();
bool BackendDeleteUrlCacheEntry(const std::string& strUrl);
