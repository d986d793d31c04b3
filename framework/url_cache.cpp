// The public calls of url_cache.h, on the window system's.
#include "framework/url_cache.h"

#include "framework/window_system.h"

HURLCACHEFIND AfxFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                        DWORD* pcbInfo) {
    return WsFindFirstUrlCacheEntry(lpszUrlSearchPattern, pInfo, pcbInfo);
}
BOOL AfxFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo, DWORD* pcbInfo) {
    return WsFindNextUrlCacheEntry(hFind, pInfo, pcbInfo);
}
BOOL AfxDeleteUrlCacheEntry(const char* lpszUrlName) { return WsDeleteUrlCacheEntry(lpszUrlName); }
BOOL AfxFindCloseUrlCache(HURLCACHEFIND hFind) { return WsFindCloseUrlCache(hFind); }
DWORD AfxGetLastError() { return WsGetLastError(); }
