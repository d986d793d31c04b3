// The model of WinINet's URL-cache walk: the entries the backend presents, handed out one by one
// with the platform's buffer-size protocol (ERROR_INSUFFICIENT_BUFFER and a retry).
#include "framework/emulated/display_backend.h"

#include <cstring>
#include <memory>

namespace {

DWORD g_dwLastError = 0;

struct CFind {
    std::vector<CUrlCacheEntry> entries;
    std::size_t nNext = 0;
};

DWORD SizeOf(const CUrlCacheEntry& entry) {
    const DWORD dwNatural = static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + entry.strUrl.size() + 1);
    return entry.dwInfoSize > dwNatural ? entry.dwInfoSize : dwNatural;
}

// Copies the next entry into the buffer, or reports why it cannot.
BOOL Deliver(CFind& find, INTERNET_CACHE_ENTRY_INFOA* pInfo, DWORD* pcbInfo) {
    if (find.nNext >= find.entries.size()) {
        g_dwLastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    const CUrlCacheEntry& entry = find.entries[find.nNext];
    const DWORD dwNeeded = SizeOf(entry);
    if (pInfo == nullptr || pcbInfo == nullptr || *pcbInfo < dwNeeded) {
        if (pcbInfo != nullptr) {
            *pcbInfo = dwNeeded;
        }
        g_dwLastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    std::memset(pInfo, 0, sizeof(INTERNET_CACHE_ENTRY_INFOA));
    pInfo->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    pInfo->CacheEntryType = entry.dwType;
    char* pszUrl = reinterpret_cast<char*>(pInfo + 1);
    std::memcpy(pszUrl, entry.strUrl.c_str(), entry.strUrl.size() + 1);
    pInfo->lpszSourceUrlName = pszUrl;
    *pcbInfo = dwNeeded;
    ++find.nNext;
    g_dwLastError = 0;
    return TRUE;
}

} // namespace

HURLCACHEFIND WsFindFirstUrlCacheEntry(const char*, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                       DWORD* pcbCacheEntryInfo) {
    auto pFind = std::make_unique<CFind>();
    pFind->entries = BackendUrlCacheEntries();
    if (!Deliver(*pFind, pInfo, pcbCacheEntryInfo)) {
        // Retried by the caller with a larger buffer: a new enumeration starts then.
        return nullptr;
    }
    return pFind.release();
}

BOOL WsFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                             DWORD* pcbCacheEntryInfo) {
    if (hFind == nullptr) {
        g_dwLastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return Deliver(*static_cast<CFind*>(hFind), pInfo, pcbCacheEntryInfo);
}

BOOL WsDeleteUrlCacheEntry(const char* lpszUrlName) {
    if (lpszUrlName == nullptr || !BackendDeleteUrlCacheEntry(lpszUrlName)) {
        g_dwLastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    return TRUE;
}

BOOL WsFindCloseUrlCache(HURLCACHEFIND hFind) {
    delete static_cast<CFind*>(hFind);
    return hFind != nullptr;
}

DWORD WsGetLastError() { return g_dwLastError; }
