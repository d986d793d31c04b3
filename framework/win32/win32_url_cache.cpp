// The browser's URL cache on Windows: WinINet's own cache functions.
//
// Realises: the walk (FindFirst/FindNextUrlCacheEntryA, with the platform's buffer-size protocol),
// DeleteUrlCacheEntryA, FindCloseUrlCache, the thread's last error. Does not realise: search patterns.
#include "framework/url_cache.h"

HURLCACHEFIND AfxFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                        DWORD* pcbCacheEntryInfo) {
    return FindFirstUrlCacheEntryA(lpszUrlSearchPattern, pInfo, pcbCacheEntryInfo);
}

BOOL AfxFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                              DWORD* pcbCacheEntryInfo) {
    return FindNextUrlCacheEntryA(hFind, pInfo, pcbCacheEntryInfo);
}

BOOL AfxDeleteUrlCacheEntry(const char* lpszUrlName) { return DeleteUrlCacheEntryA(lpszUrlName); }

BOOL AfxFindCloseUrlCache(HURLCACHEFIND hFind) { return FindCloseUrlCache(hFind); }

DWORD AfxGetLastError() { return GetLastError(); }
