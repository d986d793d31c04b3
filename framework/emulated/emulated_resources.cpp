// The program's pictures off Windows: the table res/ generates, searched by id, type and scale.
#include "framework/resources.h"

#include <cstring>

bool WsFindResource(UINT nID, const char* lpType, int nScale, const BYTE*& pData, std::size_t& nSize) {
    const char* pszType = lpType;
    if (IS_INTRESOURCE(lpType)) {
        pszType = lpType == RT_BITMAP ? "BITMAP" : lpType == RT_GROUP_ICON ? "ICON" : "";
    }
    for (std::size_t i = 0; i < g_nResourceCount; ++i) {
        const CResourceEntry& entry = g_resourceTable[i];
        if (entry.nID == nID && static_cast<int>(entry.nScale) == nScale &&
            std::strcmp(entry.pszType, pszType) == 0) {
            pData = entry.pData;
            nSize = entry.nSize;
            return true;
        }
    }
    return false;
}
