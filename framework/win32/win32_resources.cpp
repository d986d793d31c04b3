// The program's pictures on Windows: the executable's own resources (the .rc script of res/).
#include "framework/resources.h"

bool WsFindResource(UINT nID, const char* lpType, int nScale, const BYTE*& pData, std::size_t& nSize) {
    if (nScale != 1) {
        return false; // the .rc holds the 1x pictures only: one pixel is one device pixel here
    }
    HMODULE hModule = GetModuleHandleA(nullptr);
    HRSRC hFound = FindResourceA(hModule, MAKEINTRESOURCEA(nID), lpType);
    HGLOBAL hLoaded = hFound != nullptr ? LoadResource(hModule, hFound) : nullptr;
    const void* pLocked = hLoaded != nullptr ? LockResource(hLoaded) : nullptr;
    if (pLocked == nullptr) {
        return false;
    }
    // Resources live as long as the module; nothing is freed.
    pData = static_cast<const BYTE*>(pLocked);
    nSize = SizeofResource(hModule, hFound);
    return true;
}
