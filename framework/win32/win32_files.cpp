// Files on Windows: open-existing reads and appends (CreateFileA with OPEN_EXISTING).
//
// Realises: IFileService (never creates a file; a locked or read-only file is refused, nothing lost).
// Does not realise: paths longer than MAX_PATH.
#include <windows.h>

#include "framework/win32/scoped_handle.h"
#include "framework/win32/win32_services.h"

namespace {

// INVALID_HANDLE_VALUE is no constant expression: a file handle is checked against it by value.
inline BOOL CloseFile(HANDLE h) { return h != INVALID_HANDLE_VALUE ? CloseHandle(h) : TRUE; }
using CHandle = CScopedHandle<HANDLE, CloseFile, nullptr>;

} // namespace

EAppendResult CWin32Files::AppendToExisting(const std::string& strPath, std::string_view bytes) {
    CHandle file(CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        return EAppendResult::NotOpened;
    }
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return EAppendResult::WriteFailed;
    }
    while (!bytes.empty()) {
        DWORD nWritten = 0;
        if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten, nullptr) ||
            nWritten == 0) {
            return EAppendResult::WriteFailed;
        }
        bytes.remove_prefix(nWritten);
    }
    return EAppendResult::Appended;
}

bool CWin32Files::ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                               DWORD& dwError) {
    CHandle file(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        dwError = GetLastError();
        if (dwError == ERROR_PATH_NOT_FOUND) {
            dwError = kFileNotFound;
        }
        return false;
    }
    strBytes.clear();
    char buffer[65536];
    while (strBytes.size() < nMaxBytes) {
        const DWORD nWant =
            static_cast<DWORD>(std::min<std::size_t>(sizeof(buffer), nMaxBytes - strBytes.size()));
        DWORD nRead = 0;
        if (!ReadFile(file.Get(), buffer, nWant, &nRead, nullptr)) {
            dwError = GetLastError();
            return false;
        }
        if (nRead == 0) {
            break;
        }
        strBytes.append(buffer, nRead);
    }
    return true;
}

std::string CWin32Files::DescribeError(DWORD dwError) { return Win32ErrorText(nullptr, dwError); }
