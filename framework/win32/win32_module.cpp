// The running program's path on Windows (GetModuleFileNameA).
//
// Realises: IModuleService. Does not realise: module handles other than the executable's.
#include <windows.h>

#include "framework/win32/win32_services.h"

#include <vector>

std::string CWin32Module::GetModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD nLength = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (nLength == 0) {
            return {};
        }
        if (nLength < buffer.size()) {
            return std::string(buffer.data(), nLength);
        }
        // Truncated: a shorter buffer would yield a path cut inside a directory name.
        buffer.resize(buffer.size() * 2);
        if (buffer.size() > 65536) {
            return {};
        }
    }
}
