// Drelk.exe and the system DLLs that are not KnownDLLs (under Wine on a virtual screen). A DLL of
// such a name planted beside Drelk.exe is never loaded: the launcher comes up with the system's
// copies from System32. A program without that protection loads the planted one, which shows that
// the test can fail. Wine prefers its own builtin copy of a system DLL to any file of that name it
// finds, where Windows has only the files and loads the first one its search finds; the test's
// WINEDLLOVERRIDES (tests/win32/CMakeLists.txt) puts files first for these names. A function of a DLL that
// cannot be bound fails as its DLL reports failures, without ending the program.
#include "framework/win32/win32_dll_binding.h"
#include "support/desktop.h"

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

// Functions the test's own delay-import libraries name (tests/win32/dll_binding/*.def) and no
// system has.
extern "C" {
__declspec(dllimport) INT_PTR WINAPI DrelkAbsentFunction();
__declspec(dllimport) INT_PTR WINAPI DrelkMissingWinInetFunction();
__declspec(dllimport) INT_PTR WINAPI GdipDrelkMissingFunction();
__declspec(dllimport) INT_PTR WINAPI DrelkMissingIpHelperFunction();
}

namespace {

// The DLLs Drelk.exe binds at run time, each planted beside it in the test.
const char* const kBoundDlls[] = {"comctl32", "gdiplus", "iphlpapi", "msimg32", "wininet"};

std::string Lower(std::string strText) {
    for (char& c : strText) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return strText;
}

std::string SystemFolder() {
    char szFolder[MAX_PATH] = {};
    GetSystemDirectoryA(szFolder, MAX_PATH);
    return Lower(szFolder) + "\\";
}

bool Exists(const std::string& strPath) {
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DllBindingTest : public ::testing::Test {
protected:
    void SetUp() override { Win32RestrictDllSearch(); }
};

TEST_F(DllBindingTest, AFunctionOfADllThatIsNowhereFailsAndTheProgramGoesOn) {
    for (int nCall = 0; nCall < 2; ++nCall) {
        SetLastError(0);
        EXPECT_EQ(DrelkAbsentFunction(), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
    EXPECT_EQ(GetModuleHandleA("drelk-absent.dll"), nullptr);
}

TEST_F(DllBindingTest, AMissingFunctionFailsAsItsDllReportsFailures) {
    SetLastError(0);
    EXPECT_EQ(DrelkMissingWinInetFunction(), 0); // FALSE or a null handle, with the error number
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GdipDrelkMissingFunction(), 18);                      // GdiplusNotInitialized
    EXPECT_EQ(DrelkMissingIpHelperFunction(), ERROR_NOT_SUPPORTED); // an error number
}

TEST_F(DllBindingTest, ABoundDllComesFromSystem32) {
    DrelkMissingWinInetFunction(); // binds WinInet
    HMODULE hWinInet = GetModuleHandleA("wininet.dll");
    ASSERT_NE(hWinInet, nullptr);
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(hWinInet, szPath, MAX_PATH);
    EXPECT_EQ(Lower(szPath), SystemFolder() + "wininet.dll");
}

// A folder with Drelk.exe, the unprotected program and the planted DLL under each bound DLL's name.
class PlantedDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strFolder = WinePath(DRELK_PLANTED_FOLDER_HOST);
        CreateDirectoryA(m_strFolder.c_str(), nullptr);
        ASSERT_TRUE(
            CopyFileA(WinePath(DRELK_EXE_HOST).c_str(), (m_strFolder + "\\Drelk.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(WinePath(DRELK_UNPROTECTED_HOST).c_str(),
                              (m_strFolder + "\\unprotected.exe").c_str(), FALSE));
        for (const char* pszDll : kBoundDlls) {
            ASSERT_TRUE(CopyFileA(WinePath(DRELK_PLANTED_DLL_HOST).c_str(),
                                  (m_strFolder + "\\" + pszDll + ".dll").c_str(), FALSE));
        }
        // The server list on a closed port of this machine: the page fails at once, which also binds
        // the IP Helper's notification (the program waits for the network to come back).
        const std::string strSettings = "page=http://127.0.0.1:9/\r\n";
        HANDLE hFile = CreateFileA((m_strFolder + "\\pm_config.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
        DWORD nWritten = 0;
        WriteFile(hFile, strSettings.data(), static_cast<DWORD>(strSettings.size()), &nWritten, nullptr);
        CloseHandle(hFile);
        RemoveMarkers();
    }

    void TearDown() override {
        if (m_process.hProcess != nullptr) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
            CloseHandle(m_process.hProcess);
        }
    }

    void RemoveMarkers() {
        for (const char* pszDll : kBoundDlls) {
            DeleteFileA(Marker(pszDll).c_str());
        }
    }

    std::string Marker(const char* pszDll) const { return m_strFolder + "\\" + pszDll + ".loaded"; }

    // Starts a program of the folder with the folder as its current folder.
    bool Start(const char* pszProgram) {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        const std::string strProgram = m_strFolder + "\\" + pszProgram;
        if (!CreateProcessA(strProgram.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                            m_strFolder.c_str(), &startup, &m_process)) {
            return false;
        }
        CloseHandle(m_process.hThread);
        return true;
    }

    // The paths of the modules the started process has loaded.
    std::vector<std::string> ModulesOfProcess() {
        std::vector<HMODULE> modules(512);
        DWORD nNeeded = 0;
        if (!EnumProcessModules(m_process.hProcess, modules.data(),
                                static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &nNeeded)) {
            return {};
        }
        modules.resize(std::min<std::size_t>(modules.size(), nNeeded / sizeof(HMODULE)));
        std::vector<std::string> paths;
        for (HMODULE hModule : modules) {
            char szPath[MAX_PATH] = {};
            if (GetModuleFileNameExA(m_process.hProcess, hModule, szPath, MAX_PATH) > 0) {
                paths.push_back(Lower(szPath));
            }
        }
        return paths;
    }

    std::string m_strFolder;
    PROCESS_INFORMATION m_process{};
};

TEST_F(PlantedDllTest, DrelkExeComesUpWithTheSystemsDllsAndNeverLoadsThePlantedOnes) {
    // Without the protection, the planted MSIMG32 beside the program is the one loaded.
    ASSERT_TRUE(Start("unprotected.exe"));
    ASSERT_EQ(WaitForSingleObject(m_process.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(m_process.hProcess);
    m_process = {};
    ASSERT_TRUE(Exists(Marker("msimg32"))) << "the unprotected program did not load the planted DLL";
    RemoveMarkers();

    ASSERT_TRUE(Start("Drelk.exe"));
    HWND hBackdrop = nullptr;
    HWND hControls = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        hBackdrop = hControls = nullptr;
        for (HWND hWnd : WindowsOf(m_process.dwProcessId)) {
            if ((GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) {
                (GetWindow(hWnd, GW_OWNER) == nullptr ? hBackdrop : hControls) = hWnd;
            }
        }
        return hBackdrop != nullptr && hControls != nullptr;
    }));
    // The backdrop is drawn by now: GDI+ and MSIMG32 are bound.
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::string> paths = ModulesOfProcess();
        const auto loaded = [&](const char* pszDll) {
            return std::any_of(paths.begin(), paths.end(),
                               [&](const std::string& strPath) { return strPath.ends_with(pszDll); });
        };
        return loaded("\\gdiplus.dll") && loaded("\\msimg32.dll");
    })) << "Drelk.exe did not bind GDI+ and MSIMG32";
    // Every DLL in the process is the system's (Wine's DLLs bind some of the others themselves).
    for (const std::string& strPath : ModulesOfProcess()) {
        if (strPath.ends_with(".dll")) {
            EXPECT_EQ(strPath.find(Lower(m_strFolder) + "\\"), std::string::npos) << strPath;
        }
    }
    for (const char* pszDll : kBoundDlls) {
        EXPECT_FALSE(Exists(Marker(pszDll))) << pszDll;
    }
    EXPECT_TRUE(IsWindowVisible(hBackdrop));
    EXPECT_EQ(WaitForSingleObject(m_process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
