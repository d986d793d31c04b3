// The player's state folder on Windows, where a run leaves its log and crash reports.
//
// Realises: IStateFolderService (%LOCALAPPDATA%\Drelk, from the shell's known folder; files made
// new, shared for reading only while the program writes them).
// Does not realise: a folder whose path the process code page cannot spell (the service then has no
// folder, and nothing is written).
#include <windows.h>

#include <shlobj.h>

#include "framework/win32/scoped_handle.h"
#include "framework/win32/win32_services.h"

namespace {

std::wstring Wide(const std::string& strPath) {
    const int nLength =
        MultiByteToWideChar(CP_ACP, 0, strPath.data(), static_cast<int>(strPath.size()), nullptr, 0);
    std::wstring strWide(static_cast<std::size_t>(nLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, strPath.data(), static_cast<int>(strPath.size()), strWide.data(), nLength);
    return strWide;
}

// Empty when a character has no spelling in the process code page.
std::string Narrow(const std::wstring& strWide) {
    BOOL bLossy = FALSE;
    const int nLength = WideCharToMultiByte(CP_ACP, 0, strWide.data(), static_cast<int>(strWide.size()),
                                            nullptr, 0, nullptr, &bLossy);
    std::string strText(static_cast<std::size_t>(nLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, strWide.data(), static_cast<int>(strWide.size()), strText.data(), nLength,
                        nullptr, &bLossy);
    return bLossy ? std::string() : strText;
}

inline BOOL CloseFile(HANDLE h) { return h != INVALID_HANDLE_VALUE ? CloseHandle(h) : TRUE; }
using CFileHandle = CScopedHandle<HANDLE, CloseFile, nullptr>;

class COutputFile : public IOutputFile {
public:
    explicit COutputFile(HANDLE hFile) : m_file(hFile) {}
    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD nWritten = 0;
            if (!WriteFile(m_file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten,
                           nullptr) ||
                nWritten == 0) {
                return false;
            }
            bytes.remove_prefix(nWritten);
        }
        return true;
    }

private:
    CFileHandle m_file;
};

} // namespace

std::string CWin32StateFolder::FolderPath(const std::string& strName) {
    PWSTR pszFolder = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &pszFolder)) || pszFolder == nullptr) {
        return {};
    }
    const std::string strFolder = Narrow(pszFolder);
    CoTaskMemFree(pszFolder);
    return strFolder.empty() ? std::string() : strFolder + "\\Drelk\\" + strName;
}

bool CWin32StateFolder::MakeFolder(const std::string& strFolder) {
    const std::wstring strPath = Wide(strFolder);
    // Each folder from the drive's root down; the ones that exist are left as they are.
    for (std::size_t nSlash = strPath.find(L'\\', 3);; nSlash = strPath.find(L'\\', nSlash + 1)) {
        CreateDirectoryW(strPath.substr(0, nSlash).c_str(), nullptr);
        if (nSlash == std::wstring::npos) {
            break;
        }
    }
    const DWORD dwAttributes = GetFileAttributesW(strPath.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> CWin32StateFolder::ListFiles(const std::string& strFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE hFind = FindFirstFileW((Wide(strFolder) + L"\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            const std::string strName = Narrow(found.cFileName);
            if (!strName.empty()) {
                names.push_back(strName);
            }
        }
    } while (FindNextFileW(hFind, &found));
    FindClose(hFind);
    return names;
}

bool CWin32StateFolder::RemoveFile(const std::string& strPath) {
    return DeleteFileW(Wide(strPath).c_str()) != 0;
}

std::unique_ptr<IOutputFile> CWin32StateFolder::CreateNewFile(const std::string& strPath) {
    HANDLE hFile = CreateFileW(Wide(strPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<COutputFile>(hFile);
}
