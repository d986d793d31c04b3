// The behaviour scenarios' view of a window system: the player's hands (move, click, drag, key), what
// the screen shows (a window's real rectangle, its pixels, its shape) and what the program did outside
// its windows (pages opened, pages requested, questions asked, the launcher started again). Every
// realisation has a driver: the headless model (the unit tests), the native windows under Wine, GTK
// under Xvfb. The scenarios are written once against this interface and compiled into each
// realisation's test program, which defines MakeScenarioDriver().
//
// Coordinates are window coordinates of the window named (its top-left corner is 0, 0) unless said.
// Scenario code runs on the player's side: it reads and changes the system's objects only inside
// OnUiThread, and it waits for what the player would wait for (WaitFor), since on a real window system
// the program answers on its own thread.
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDialog;

// Pixels as 0x00RRGGBB (or 0xAARRGGBB where said), row by row.
struct CPixelBlock {
    int cx = 0;
    int cy = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * cx + x]; }
};

// Every channel within a small tolerance (scaling and the window systems' colour paths differ by a
// step or two).
bool NearColour(std::uint32_t a, std::uint32_t b, int nTolerance = 6);

// How many pixels of the block's rectangle are the picture's pixel that pictureAt maps each one to.
int CountFromPicture(const CPixelBlock& block, const CPixelBlock& picture, const CRect& rect,
                     const std::function<CPoint(int, int)>& pictureAt);

// A question the program asked (a message box) and what the player answered.
struct CQuestion {
    bool bAsked = false;
    std::string strCaption; // UTF-8
    std::string strText;
};

// The title of the game page each driver serves (or fires) at the game address.
inline constexpr char16_t kGamePageTitle[] = u"Drelk - 双线一区";

class CScenarioDriver {
public:
    virtual ~CScenarioDriver() = default;

    // ---- The program ----
    // Whether the browser shows pages (not under Wine, which has no page engine).
    virtual bool RendersPages() const = 0;
    // Whether the browser's URL cache holds entries by address that a test can make (WinInet's and the
    // model's; not WebKit's, which keeps its caches per site and fills them only by loading).
    virtual bool KeepsUrlCacheEntries() const = 0;
    // The game address the game window starts on (set before it is made).
    virtual std::string GameAddress() const = 0;
    // Runs the dialog modally; the script runs once it is shown. The dialog ends when the script does,
    // if the script did not end it. DoModal's result.
    virtual INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script) = 0;
    // Runs fn on the thread of the windows and returns when it has run.
    virtual void OnUiThread(const std::function<void()>& fn) = 0;
    // Polls done() until it holds or the bound passes, letting the program run meanwhile.
    virtual bool WaitFor(const std::function<bool()>& done, int nSeconds = 10) = 0;
    // Lets the program finish what the last action started (paints, posted messages).
    virtual void Settle() = 0;

    // ---- What the screen shows ----
    virtual CRect WindowRect(HWND hWnd) = 0; // screen coordinates
    virtual CRect WorkArea() = 0;
    // What the screen shows of a window's rectangle (window coordinates).
    virtual CPixelBlock Capture(HWND hWnd, const CRect& rect) = 0;
    // Whether a window point is inside the window's shape.
    virtual bool InShape(HWND hWnd, CPoint pt) = 0;
    // A picture of res/ as the program decodes it: 0xAARRGGBB (straight alpha) for a PNG, opaque
    // 0x00RRGGBB for a bitmap.
    virtual CPixelBlock PictureFile(const std::string& strName) = 0;

    // ---- The player ----
    virtual void MoveTo(HWND hWnd, CPoint pt) = 0;
    virtual void Click(HWND hWnd, CPoint pt) = 0;
    virtual void DoubleClick(HWND hWnd, CPoint pt) = 0;
    // Pressed at from, moved with the button held, released at to; then lets the window system finish.
    virtual void Drag(HWND hWnd, CPoint from, CPoint to) = 0;
    // A key (VK_RETURN, VK_ESCAPE) pressed and released where the keyboard focus is, inside hWnd.
    virtual void Key(HWND hWnd, UINT nVirtualKey) = 0;
    // A click that raises a question, answered with nAnswer (IDYES, IDNO); the question as it was asked.
    virtual CQuestion ClickAndAnswer(HWND hWnd, CPoint pt, int nAnswer) = 0;
    // Whether the system menu came up (the driver then dismisses it).
    virtual bool SystemMenuShown() = 0;

    // ---- What the program did outside its windows ----
    // The next page handed to the default browser, or empty when none came within the bound.
    virtual std::string WaitForOpenedPage(int nSeconds = 10) = 0;
    // How many times the browser has asked for the game address.
    virtual std::size_t GameAddressRequests() = 0;
    // The launcher's path when it was started again, or empty; and where it is.
    virtual std::string WaitForRelaunch() = 0;
    virtual std::string LauncherPath() const = 0;
    // The browser's URL cache.
    virtual bool AddCacheEntry(const std::string& strUrl) = 0;
    virtual bool InCache(const std::string& strUrl) = 0;
    // A cookie the browser keeps for the address ("name=value; expires=..."), and whether it still has it.
    virtual bool SetCookie(const std::string& strUrl, const std::string& strName,
                           const std::string& strData) = 0;
    virtual bool HasCookie(const std::string& strUrl, const std::string& strName) = 0;
    // The game page's document complete with kGamePageTitle as its title.
    virtual bool WaitForGamePage() = 0;
};

// The realisation's driver; each scenario gets a new one.
std::unique_ptr<CScenarioDriver> MakeScenarioDriver();

// The fixture of every scenario: the program set up as it is before the game window (settings,
// reporter, application object with the game address) by the driver.
class CScenarioTest : public ::testing::Test {
protected:
    void SetUp() override { m_pDriver = MakeScenarioDriver(); }
    void TearDown() override { m_pDriver.reset(); }
    CScenarioDriver& Driver() { return *m_pDriver; }

private:
    std::unique_ptr<CScenarioDriver> m_pDriver;
};
