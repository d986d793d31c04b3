// Drelk.exe started as a player starts it (under Wine on a virtual screen with a window manager): the
// program shows the launcher's two native windows with their buttons in place, the keys change
// nothing, and the close button's Yes ends the process with status 0. What the launcher shows and
// does under the pointer is a scenario of tests/scenarios, run on these native windows too.
#include "res/resource.h"
#include "support/desktop.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadWholeFile(const std::string& strPath) {
    std::ifstream stream(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

bool Layered(HWND hWnd) { return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

struct CButtonPlace {
    int nID;
    int x, y, cx, cy; // on the backdrop
};

const CButtonPlace kButtonPlaces[] = {{IDC_BTN_HOME, 316, 45, 104, 31},
                                      {IDC_BTN_FORUM, 422, 45, 104, 31},
                                      {IDC_BTN_SERVICE, 528, 45, 104, 31},
                                      {IDC_BTN_CHARGE, 634, 45, 104, 31},
                                      {IDC_BTN_CLOSE, 1024 - 43, 7, 31, 32}};

class DrelkExeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string strExe = WinePath(DRELK_EXE_HOST);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        ASSERT_TRUE(CreateProcessA(strExe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_process));
        CloseHandle(m_process.hThread);
        // The launcher is up when its two layered windows are shown.
        ASSERT_TRUE(WaitFor([this] {
            m_hBackdrop = m_hControls = nullptr;
            for (HWND hWnd : WindowsOf(m_process.dwProcessId)) {
                if (Layered(hWnd)) {
                    (GetWindow(hWnd, GW_OWNER) == nullptr ? m_hBackdrop : m_hControls) = hWnd;
                }
            }
            return m_hBackdrop != nullptr && m_hControls != nullptr;
        }));
    }

    void TearDown() override {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hProcess);
    }

    // The question box the process shows, once it is there.
    HWND WaitForMessageBox() {
        return ::WaitForMessageBox(m_process.dwProcessId, {m_hBackdrop, m_hControls});
    }

    PROCESS_INFORMATION m_process{};
    HWND m_hBackdrop = nullptr;
    HWND m_hControls = nullptr;
};

TEST_F(DrelkExeTest, TheLauncherIsTwoLayeredWindowsCentredOnTheWorkAreaWithItsButtonsInPlace) {
    RECT backdrop{};
    RECT controls{};
    GetWindowRect(m_hBackdrop, &backdrop);
    GetWindowRect(m_hControls, &controls);
    EXPECT_EQ(backdrop.right - backdrop.left, 1024);
    EXPECT_EQ(backdrop.bottom - backdrop.top, 635);
    EXPECT_TRUE(EqualRect(&backdrop, &controls));
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Centred, then pushed back inside the work area from the right and the bottom, then from the left
    // and the top: on a work area smaller than the picture (a 1024 x 600 screen) its top-left corner.
    const LONG nCentredX = (work.left + work.right) / 2 - 1024 / 2;
    const LONG nCentredY = (work.top + work.bottom) / 2 - 635 / 2;
    EXPECT_EQ(backdrop.left, std::max(std::min(nCentredX, work.right - 1024), work.left))
        << "work area " << work.left << "," << work.top << "," << work.right << "," << work.bottom;
    EXPECT_EQ(backdrop.top, std::max(std::min(nCentredY, work.bottom - 635), work.top));
    EXPECT_EQ(GetWindow(m_hControls, GW_OWNER), m_hBackdrop);

    // The five buttons are owner-drawn children at their places (the close button at the right edge).
    for (const CButtonPlace& button : kButtonPlaces) {
        SCOPED_TRACE(button.nID);
        HWND hButton = GetDlgItem(m_hControls, button.nID);
        ASSERT_NE(hButton, nullptr);
        EXPECT_TRUE(IsWindowVisible(hButton));
        EXPECT_EQ(GetWindowLongA(hButton, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
        RECT rect{};
        GetWindowRect(hButton, &rect);
        EXPECT_EQ(rect.left - backdrop.left, button.x);
        EXPECT_EQ(rect.top - backdrop.top, button.y);
        EXPECT_EQ(rect.right - rect.left, button.cx);
        EXPECT_EQ(rect.bottom - rect.top, button.cy);
        // On the screen wherever the work area is at least as wide as the buttons reach.
        if (work.right - work.left >= button.x + button.cx) {
            EXPECT_LE(rect.right, work.right);
        }
        EXPECT_GE(rect.top, work.top);
    }
}

TEST_F(DrelkExeTest, EnterAndEscapeChangeNothingAndCloseAsksFirstNoKeepsYesEnds) {
    for (HWND hWnd : {m_hBackdrop, m_hControls}) {
        PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(hWnd, WM_KEYDOWN, VK_RETURN, 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(IsWindowVisible(m_hBackdrop));
    EXPECT_TRUE(IsWindowVisible(m_hControls));

    HWND hClose = GetDlgItem(m_hControls, IDC_BTN_CLOSE);
    ASSERT_NE(hClose, nullptr);
    PostMessageA(hClose, BM_CLICK, 0, 0);
    HWND hBox = WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(TextOf(hBox), L"关闭提示");
    EXPECT_EQ(TextOf(GetDlgItem(hBox, 0xFFFF)), L"正在游戏中，确定退出Drelk？");
    PostMessageA(GetDlgItem(hBox, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([hBox] { return !IsWindow(hBox); }));
    EXPECT_TRUE(IsWindowVisible(m_hBackdrop));
    EXPECT_TRUE(IsWindowVisible(m_hControls));
    EXPECT_EQ(WaitForSingleObject(m_process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    PostMessageA(hClose, BM_CLICK, 0, 0);
    hBox = WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    PostMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(m_process.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD dwExit = 1;
    GetExitCodeProcess(m_process.hProcess, &dwExit);
    EXPECT_EQ(dwExit, 0u);

    // The run's log, in the player's %LOCALAPPDATA%\\Drelk\\logs, named by its process.
    char szLocal[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("LOCALAPPDATA", szLocal, MAX_PATH), 0u);
    const std::string strLogs = std::string(szLocal) + "\\Drelk\\logs\\";
    WIN32_FIND_DATAA found{};
    const std::string strPattern = strLogs + "drelk-*-" + std::to_string(m_process.dwProcessId) + ".log";
    HANDLE hFind = FindFirstFileA(strPattern.c_str(), &found);
    ASSERT_NE(hFind, INVALID_HANDLE_VALUE) << strPattern;
    FindClose(hFind);
    const std::string strLog = ReadWholeFile(strLogs + found.cFileName);
    std::size_t nAt = 0;
    for (const char* pszEvent : {"start: Drelk 1.0, Windows", "settings: ", "close question: No",
                                 "close question: Yes", "the launcher ended", "end (exit code 0)"}) {
        const std::size_t nFound = strLog.find(pszEvent, nAt);
        ASSERT_NE(nFound, std::string::npos) << pszEvent << " in\n" << strLog;
        nAt = nFound;
    }
}

// The page shown in place of one that cannot be reached is a resource of Drelk.exe itself (the
// control reaches it by its res: address), whole: every reason and the retry button.
TEST(DrelkExeResourcesTest, TheFailurePageIsInTheExecutable) {
    HMODULE hExe = LoadLibraryExA(WinePath(DRELK_EXE_HOST).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(hExe, nullptr);
    const std::string strName = "HTML" + std::to_string(IDR_PAGE_FAILURE); // as the resource script names it
    HRSRC hResource = FindResourceA(hExe, strName.c_str(), MAKEINTRESOURCEA(23));
    ASSERT_NE(hResource, nullptr);
    const std::string strPage(static_cast<const char*>(LockResource(LoadResource(hExe, hResource))),
                              SizeofResource(hExe, hResource));
    for (const char* pszText :
         {"nonetwork", "notfound", "refused", "noanswer", "secure", "stopped", "重试"}) {
        EXPECT_NE(strPage.find(pszText), std::string::npos) << pszText;
    }
    FreeLibrary(hExe);
}

} // namespace
