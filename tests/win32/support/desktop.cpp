#include "support/desktop.h"

#include <objidl.h>
// GDI+ wants min and max of its own.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

std::string WinePath(std::string strHostPath) {
    std::string strPath = "Z:";
    strPath += strHostPath;
    std::replace(strPath.begin(), strPath.end(), '/', '\\');
    return strPath;
}

std::string ReadWholeFile(const std::string& strPath) {
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string ProgramDirectory() {
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    const std::string strPath = szPath;
    return strPath.substr(0, strPath.find_last_of('\\'));
}

bool WaitFor(const std::function<bool()>& done, int nSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

// Wine starts Unix executables, but their process handles cannot be waited on, so the command leaves
// a marker file when it is done.
bool RunOnHost(const std::string& strCommand) {
    static int s_nRun = 0;
    const std::string strMarker =
        "/tmp/drelk-win32-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_nRun);
    std::string strLine = "/bin/sh -c \"" + strCommand + "; touch " + strMarker + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", strLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string strDone = WinePath(strMarker);
    const bool bDone =
        WaitFor([&] { return GetFileAttributesA(strDone.c_str()) != INVALID_FILE_ATTRIBUTES; });
    DeleteFileA(strDone.c_str());
    return bDone;
}

namespace {

std::string MoveTo(int x, int y) {
    std::string strCommand = "xdotool mousemove ";
    strCommand += std::to_string(x);
    strCommand += ' ';
    strCommand += std::to_string(y);
    return strCommand;
}

} // namespace

bool DragOnScreen(int x, int y, int dx, int dy) {
    std::string strCommand = MoveTo(x, y);
    strCommand += "; sleep 0.3; xdotool mousedown 1; sleep 0.3";
    for (int nStep = 1; nStep <= 4; ++nStep) {
        strCommand += "; ";
        strCommand += MoveTo(x + dx * nStep / 4, y + dy * nStep / 4);
        strCommand += "; sleep 0.15";
    }
    strCommand += "; sleep 0.3; xdotool mouseup 1; sleep 0.5";
    return RunOnHost(strCommand);
}

bool PointAt(int x, int y) {
    std::string strCommand = MoveTo(x, y);
    strCommand += "; sleep 0.3";
    return RunOnHost(strCommand);
}

bool ClickOnScreen(int x, int y, bool bDouble) {
    std::string strCommand = MoveTo(x, y);
    strCommand +=
        bDouble ? "; sleep 0.3; xdotool click --repeat 2 --delay 80 1" : "; sleep 0.3; xdotool click 1";
    strCommand += "; sleep 0.3";
    return RunOnHost(strCommand);
}

namespace {

BITMAPINFO TopDown32(int cx, int cy) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

CPixels CaptureScreen(const RECT& rect) {
    CPixels pixels;
    pixels.cx = rect.right - rect.left;
    pixels.cy = rect.bottom - rect.top;
    pixels.bits.resize(static_cast<std::size_t>(pixels.cx) * pixels.cy);
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, pixels.cx, pixels.cy);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, pixels.cx, pixels.cy, hScreen, rect.left, rect.top, SRCCOPY);
    SelectObject(hMemory, hOld);
    BITMAPINFO info = TopDown32(pixels.cx, pixels.cy);
    GetDIBits(hMemory, hBitmap, 0, pixels.cy, pixels.bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    return pixels;
}

CPixels BitmapFile(const std::string& strName) {
    CPixels pixels;
    const std::string strPath = WinePath(std::string(DRELK_RES_DIR) + "/" + strName);
    auto* hBitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (hBitmap == nullptr) {
        return pixels;
    }
    BITMAP bm{};
    GetObjectA(hBitmap, sizeof(bm), &bm);
    pixels.cx = bm.bmWidth;
    pixels.cy = bm.bmHeight;
    pixels.bits.resize(static_cast<std::size_t>(pixels.cx) * pixels.cy);
    BITMAPINFO info = TopDown32(pixels.cx, pixels.cy);
    HDC hDC = CreateCompatibleDC(nullptr);
    GetDIBits(hDC, hBitmap, 0, pixels.cy, pixels.bits.data(), &info, DIB_RGB_COLORS);
    DeleteDC(hDC);
    DeleteObject(hBitmap);
    for (DWORD& bits : pixels.bits) {
        bits &= 0xFFFFFF;
    }
    return pixels;
}

CPixels PictureFile(const std::string& strName) {
    CPixels pixels;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        const std::string strPath = WinePath(std::string(DRELK_RES_DIR) + "/" + strName);
        const std::wstring strWide(strPath.begin(), strPath.end());
        Gdiplus::Bitmap picture(strWide.c_str());
        const int cx = static_cast<int>(picture.GetWidth());
        const int cy = static_cast<int>(picture.GetHeight());
        Gdiplus::Rect rect(0, 0, cx, cy);
        Gdiplus::BitmapData data{};
        if (cx > 0 &&
            picture.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            pixels.cx = cx;
            pixels.cy = cy;
            for (int y = 0; y < cy; ++y) {
                const auto* pRow = reinterpret_cast<const DWORD*>(
                    static_cast<const BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
                pixels.bits.insert(pixels.bits.end(), pRow, pRow + cx);
            }
            picture.UnlockBits(&data);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return pixels;
}

bool Near(DWORD crA, DWORD crB, int nTolerance) {
    for (int nShift = 0; nShift < 24; nShift += 8) {
        if (std::abs(static_cast<int>((crA >> nShift) & 0xFF) - static_cast<int>((crB >> nShift) & 0xFF)) >
            nTolerance) {
            return false;
        }
    }
    return true;
}

int CountSame(const CPixels& screen, int x0, int y0, const CPixels& expected) {
    int nSame = 0;
    for (int y = 0; y < expected.cy; ++y) {
        for (int x = 0; x < expected.cx; ++x) {
            nSame += Near(screen.Rgb(x0 + x, y0 + y), expected.Rgb(x, y)) ? 1 : 0;
        }
    }
    return nSame;
}

namespace {
struct CFound {
    DWORD dwProcessId;
    std::vector<HWND> windows;
};
} // namespace

std::vector<HWND> WindowsOf(DWORD dwProcessId) {
    CFound found{dwProcessId, {}};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pFound = reinterpret_cast<CFound*>(lParam);
            DWORD dwOwner = 0;
            GetWindowThreadProcessId(hWnd, &dwOwner);
            if (dwOwner == pFound->dwProcessId && IsWindowVisible(hWnd)) {
                pFound->windows.push_back(hWnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

HWND WaitForMessageBox(DWORD dwProcessId, const std::vector<HWND>& notThese) {
    HWND hBox = nullptr;
    WaitFor([&] {
        for (HWND hWnd : WindowsOf(dwProcessId)) {
            char szClass[16] = {};
            GetClassNameA(hWnd, szClass, sizeof(szClass));
            if (std::find(notThese.begin(), notThese.end(), hWnd) == notThese.end() &&
                std::string(szClass) == "#32770") {
                hBox = hWnd;
            }
        }
        return hBox != nullptr;
    });
    return hBox;
}

std::wstring TextOf(HWND hWnd) {
    wchar_t szText[256] = {};
    GetWindowTextW(hWnd, szText, 256);
    return szText;
}

CFakeBrowser::CFakeBrowser(const std::string& strRecorderHostPath) {
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &m_hKey, nullptr) != ERROR_SUCCESS) {
        m_hKey = nullptr;
        return;
    }
    char szOld[1024] = {};
    DWORD dwSize = sizeof(szOld);
    if (RegQueryValueExA(m_hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(szOld), &dwSize) ==
        ERROR_SUCCESS) {
        m_strOld = szOld;
    }
    const std::string strCommand = "\"" + WinePath(strRecorderHostPath) + "\" \"%1\"";
    RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(strCommand.c_str()),
                   static_cast<DWORD>(strCommand.size() + 1));
}

CFakeBrowser::~CFakeBrowser() {
    if (m_hKey != nullptr) {
        RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_strOld.c_str()),
                       static_cast<DWORD>(m_strOld.size() + 1));
        RegCloseKey(m_hKey);
    }
}
