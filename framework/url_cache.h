// The browser's URL cache, walked and trimmed entry by entry in the shape of WinINet's cache
// functions (WinINet's own on Windows; each other window system presents its browser engine's cache
// as such entries).
#pragma once

#include "framework/windefs.h"

#if defined(_WIN32)
#include <wininet.h>
typedef HANDLE HURLCACHEFIND;
#else
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
#endif

// The first entry (no search pattern is supported). Null on failure; AfxGetLastError() tells why:
// ERROR_INSUFFICIENT_BUFFER (*pcbCacheEntryInfo then holds the size needed) or ERROR_NO_MORE_ITEMS.
HURLCACHEFIND AfxFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                        DWORD* pcbCacheEntryInfo);
BOOL AfxFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                              DWORD* pcbCacheEntryInfo);
BOOL AfxDeleteUrlCacheEntry(const char* lpszUrlName);
BOOL AfxFindCloseUrlCache(HURLCACHEFIND hFind);
DWORD AfxGetLastError();
