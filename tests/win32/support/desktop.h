// What the Windows tests under Wine use to act on the desktop as a player would and to read it back:
// the host's pointer (xdotool), the screen's pixels, pictures of res/, waiting with a bound, message
// boxes of a process and a fake default browser.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A host path as Wine sees it (the host's file system is drive Z:).
std::string WinePath(std::string strHostPath);

std::string ReadWholeFile(const std::string& strPath);
// The folder of this program's executable.
std::string ProgramDirectory();

// Polls until done() or the bound; the last answer.
bool WaitFor(const std::function<bool()>& done, int nSeconds = 20);

// Runs a shell command of the host and waits until it is done.
bool RunOnHost(const std::string& strCommand);
// A press of the real pointer at a screen point, moved by (dx, dy) while held, released.
bool DragOnScreen(int x, int y, int dx, int dy);
// Moves the real pointer to a screen point.
bool PointAt(int x, int y);
// A click (or a double click) of the real pointer at a screen point.
bool ClickOnScreen(int x, int y, bool bDouble = false);

// Pixels as 0x00RRGGBB (or 0xAARRGGBB for pictures with alpha), row by row.
struct CPixels {
    int cx = 0;
    int cy = 0;
    std::vector<DWORD> bits;
    DWORD At(int x, int y) const { return bits[static_cast<std::size_t>(y) * cx + x]; }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0xFFFFFF; }
};

// What the screen shows in a rectangle.
CPixels CaptureScreen(const RECT& rect);
// A bitmap file of res/ as it is drawn.
CPixels BitmapFile(const std::string& strName);
// A PNG file of res/ with its straight colour and alpha, decoded by GDI+.
CPixels PictureFile(const std::string& strName);
// Every channel within a small tolerance.
bool Near(DWORD crA, DWORD crB, int nTolerance = 6);
// How many pixels of a region of the screen capture equal the expected ones.
int CountSame(const CPixels& screen, int x0, int y0, const CPixels& expected);

// The visible top-level windows of a process.
std::vector<HWND> WindowsOf(DWORD dwProcessId);
// A message box (or other dialog of class #32770) of the process other than the given windows.
HWND WaitForMessageBox(DWORD dwProcessId, const std::vector<HWND>& notThese);
std::wstring TextOf(HWND hWnd);

// A fake default browser for http addresses while it lives: the recorder, registered as the
// protocol's open command; it writes its command line into the file DRELK_RECORD_FILE names.
class CFakeBrowser {
public:
    explicit CFakeBrowser(const std::string& strRecorderHostPath);
    ~CFakeBrowser();
    CFakeBrowser(const CFakeBrowser&) = delete;
    CFakeBrowser& operator=(const CFakeBrowser&) = delete;
    bool Registered() const { return m_hKey != nullptr; }

private:
    HKEY m_hKey = nullptr;
    std::string m_strOld;
};
