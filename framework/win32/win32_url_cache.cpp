// The browser's URL cache on Windows: WinINet's own cache functions.
//
// Realises: the walk (FindFirst/FindNextUrlCacheEntryA, with the platform's buffer-size protocol),
// DeleteUrlCacheEntryA, FindCloseUrlCache, the thread's last error. Does not realise: search patterns.
#include "framework/url_cache.h"

HURLCACHEFIND WsFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                       DWORD* pcbCacheEntryInfo) {
    return FindFirstUrlCacheEntryA(lpszUrlSearchPattern, pInfo, pcbCacheEntryInfo);
}

BOOL WsFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                             DWORD* pcbCacheEntryInfo) {
    return FindNextUrlCacheEntryA(hFind, pInfo, pcbCacheEntryInfo);
}

BOOL WsDeleteUrlCacheEntry(const char* lpszUrlName) { return DeleteUrlCacheEntryA(lpszUrlName); }

BOOL WsFindCloseUrlCache(HURLCACHEFIND hFind) { return FindCloseUrlCache(hFind); }

DWORD WsGetLastError() { return GetLastError(); }
