// Test helper: a DLL to plant beside a program under the name of a system DLL. Loading it writes
// "<its name>.loaded" beside it, so a test sees which programs loaded it.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI PlantedAlphaBlend() { return FALSE; }

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        char szPath[MAX_PATH] = {};
        const DWORD nLength = GetModuleFileNameA(hInstance, szPath, MAX_PATH);
        std::string strMarker(szPath, nLength);
        const std::size_t nDot = strMarker.rfind('.');
        strMarker = strMarker.substr(0, nDot) + ".loaded";
        HANDLE hFile = CreateFileA(strMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            CloseHandle(hFile);
        }
    }
    return TRUE;
}
