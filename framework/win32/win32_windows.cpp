// The native Windows realisation of the window-system seam: real HWNDs, one window procedure, the
// platform's default processing.
//
// Realises: the object of an HWND (a map), subclassing with one window procedure (WsWindowProc) that
// enters the shared dispatch function, Default() as CallWindowProc of the window's previous
// procedure (DefDlgProc for a dialog), dialogs built from in-memory DLGTEMPLATEEX templates
// (CreateDialogIndirectParamA, hooked from their creation so that WM_NCCREATE already reaches the
// object), the modal loop (owner disabled, PreTranslateMessage then IsDialogMessage, ending on
// EndDialog or WM_QUIT), geometry and state, styles, focus, regions, layered windows, painting
// contexts, the system menu, message boxes, shell open, posted and quit messages.
// The WebBrowser host is win32_browser_host.cpp's.
#include "framework/window_system.h"

#include "framework/dialog.h"
#include "framework/exception.h"
#include "framework/resources.h"
#include "framework/run_log.h"
#include "framework/services.h"
#include "framework/wnd.h"

#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct CNativeWindow {
    CWnd* pWnd = nullptr;
    WNDPROC pfnSuper = nullptr; // the procedure the window had before ours
};

std::unordered_map<HWND, CNativeWindow>& Windows() {
    static std::unordered_map<HWND, CNativeWindow> s_windows;
    return s_windows;
}

// Plain objects handed out for items without one, living as long as the item.
std::unordered_map<HWND, std::unique_ptr<CWnd>>& PlainObjects() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> s_objects;
    return s_objects;
}

LRESULT CALLBACK WsWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

WNDPROC SuperProc(HWND hWnd) {
    auto it = Windows().find(hWnd);
    return it != Windows().end() ? it->second.pfnSuper : nullptr;
}

// Puts our procedure in front of the window's own.
void Subclass(HWND hWnd, CWnd* pWnd) {
    CNativeWindow& native = Windows()[hWnd];
    native.pWnd = pWnd;
    if (native.pfnSuper == nullptr) {
        native.pfnSuper = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WsWindowProc)));
    }
}

void Unsubclass(HWND hWnd) {
    auto it = Windows().find(hWnd);
    if (it == Windows().end()) {
        return;
    }
    if (it->second.pfnSuper != nullptr &&
        GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WsWindowProc)) {
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.pfnSuper));
    }
    Windows().erase(it);
}

LRESULT CALLBACK WsWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Windows().find(hWnd);
    if (it == Windows().end()) {
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    const WNDPROC pfnSuper = it->second.pfnSuper;
    CWnd* pWnd = it->second.pWnd;
    LRESULT result = 0;
    if (pWnd != nullptr) {
        // AfxCallWindowProc is the dispatch boundary: nothing thrown goes past it into the system.
        result = AfxCallWindowProc(pWnd, hWnd, message, wParam, lParam);
    } else {
        result = pfnSuper != nullptr ? CallWindowProcA(pfnSuper, hWnd, message, wParam, lParam)
                                     : DefWindowProcA(hWnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        if (pWnd != nullptr && pWnd->m_hWnd == hWnd) {
            pWnd->m_hWnd = nullptr;
        }
        Unsubclass(hWnd);
        if (auto plain = PlainObjects().find(hWnd); plain != PlainObjects().end()) {
            plain->second->m_hWnd = nullptr;
            PlainObjects().erase(plain);
        }
    }
    return result;
}

// ---- Dialogs from templates ----

// Builds a DLGTEMPLATEEX in memory: the header, then each item on a DWORD boundary.
class CTemplateWriter {
public:
    void Word(WORD w) { m_bytes.insert(m_bytes.end(), {BYTE(w & 0xFF), BYTE(w >> 8)}); }
    void Dword(DWORD d) {
        Word(WORD(d & 0xFFFF));
        Word(WORD(d >> 16));
    }
    void Short(int n) { Word(static_cast<WORD>(static_cast<short>(n))); }
    void Text(const char* psz) {
        int nLength = MultiByteToWideChar(CP_ACP, 0, psz != nullptr ? psz : "", -1, nullptr, 0);
        std::vector<wchar_t> text(static_cast<std::size_t>(nLength > 0 ? nLength : 1), L'\0');
        if (nLength > 0) {
            MultiByteToWideChar(CP_ACP, 0, psz, -1, text.data(), nLength);
        }
        for (wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
    }
    void AlignToDword() {
        while (m_bytes.size() % 4 != 0) {
            m_bytes.push_back(0);
        }
    }
    std::size_t Size() const { return m_bytes.size(); }
    const BYTE* Data() const { return m_bytes.data(); }

private:
    std::vector<BYTE> m_bytes;
};

std::vector<const CDialogItemTemplate*> TemplateItems(const CDialogTemplate& dialogTemplate) {
    std::vector<const CDialogItemTemplate*> items;
    for (const CDialogItemTemplate& item : dialogTemplate.items) {
        // The framework's control host makes the browser items.
        if (std::string(item.pszClass) != "WebBrowser") {
            items.push_back(&item);
        }
    }
    return items;
}

std::vector<DWORD> BuildTemplate(const CDialogTemplate& dialogTemplate) {
    const std::vector<const CDialogItemTemplate*> items = TemplateItems(dialogTemplate);
    CTemplateWriter writer;
    writer.Word(1);      // dlgVer
    writer.Word(0xFFFF); // signature
    writer.Dword(0);     // helpID
    writer.Dword(dialogTemplate.dwExStyle);
    // Shown by the framework after initialisation; always with its font.
    writer.Dword((dialogTemplate.dwStyle & ~static_cast<DWORD>(WS_VISIBLE)) | DS_SETFONT);
    writer.Word(static_cast<WORD>(items.size()));
    writer.Short(dialogTemplate.x);
    writer.Short(dialogTemplate.y);
    writer.Short(dialogTemplate.cx);
    writer.Short(dialogTemplate.cy);
    writer.Word(0); // no menu
    writer.Word(0); // the dialog class
    writer.Text(dialogTemplate.pszTitle);
    writer.Word(static_cast<WORD>(dialogTemplate.nPointSize));
    writer.Word(FW_NORMAL);
    writer.Word(0); // italic 0, charset DEFAULT_CHARSET (1) in the high byte
    writer.Text(dialogTemplate.pszFont);
    for (const CDialogItemTemplate* pItem : items) {
        writer.AlignToDword();
        writer.Dword(0); // helpID
        writer.Dword(0); // exStyle
        writer.Dword(pItem->dwStyle | WS_CHILD);
        writer.Short(pItem->x);
        writer.Short(pItem->y);
        writer.Short(pItem->cx);
        writer.Short(pItem->cy);
        writer.Dword(pItem->nID);
        writer.Text(pItem->pszClass);
        writer.Text("");
        writer.Word(0); // no creation data
    }
    std::vector<DWORD> aligned((writer.Size() + 3) / 4, 0);
    std::memcpy(aligned.data(), writer.Data(), writer.Size());
    return aligned;
}

// The object whose window is being created on this thread, attached at its first message.
CWnd* g_pWndInit = nullptr;
HHOOK g_hCreationHook = nullptr;

LRESULT CALLBACK CreationHook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && g_pWndInit != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        CWnd* pWnd = g_pWndInit;
        g_pWndInit = nullptr;
        pWnd->m_hWnd = hWnd;
        Subclass(hWnd, pWnd);
    }
    return CallNextHookEx(g_hCreationHook, nCode, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Every message reaches the object through WsWindowProc, in front of the dialog manager.
    return FALSE;
}

// Dialogs ended by EndDialog, with their results.
std::unordered_map<HWND, INT_PTR>& EndedDialogs() {
    static std::unordered_map<HWND, INT_PTR> s_ended;
    return s_ended;
}

} // namespace

// ---- Windows and their objects ----

bool WsIsWindow(HWND hWnd) { return hWnd != nullptr && IsWindow(hWnd) != FALSE; }

CWnd* WsWindowObject(HWND hWnd) {
    auto it = Windows().find(hWnd);
    return it != Windows().end() ? it->second.pWnd : nullptr;
}

bool WsAttachWindowObject(HWND hWnd, CWnd* pWnd) {
    if (!WsIsWindow(hWnd) || WsWindowObject(hWnd) != nullptr) {
        return false;
    }
    Subclass(hWnd, pWnd);
    return true;
}

namespace {

bool RunningUnderWine() {
    static const bool s_bWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return s_bWine;
}

// Owned windows stay above their owner. Windows keeps that order itself. Under Wine an X window
// manager stacks an owner that is mapped after its owned windows (the launcher's backdrop is shown
// after its controls window) on top of them, and Wine asks for no restacking of a window that is
// already first in its own order; mapping the owned windows again puts them back on top.
void RestackOwnedWindowsUnderWine(HWND hOwner) {
    if (!RunningUnderWine()) {
        return;
    }
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (GetWindow(hWnd, GW_OWNER) == reinterpret_cast<HWND>(lParam) && IsWindowVisible(hWnd)) {
                ShowWindow(hWnd, SW_HIDE);
                ShowWindow(hWnd, SW_SHOWNA);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(hOwner));
}

} // namespace

void WsDetachWindowObject(HWND hWnd, CWnd* pWnd) {
    auto it = Windows().find(hWnd);
    if (it != Windows().end() && it->second.pWnd == pWnd) {
        Unsubclass(hWnd);
    }
}

CWnd* WsPlainWindowObject(HWND hWnd) {
    if (!WsIsWindow(hWnd)) {
        return nullptr;
    }
    std::unique_ptr<CWnd>& pPlain = PlainObjects()[hWnd];
    if (!pPlain) {
        pPlain = std::make_unique<CWnd>();
        pPlain->SubclassWindow(hWnd);
    }
    return pPlain.get();
}

// ---- Creation ----

HWND WsCreateDialogWindow(const CDialogTemplate& dialogTemplate, CWnd* pWnd, HWND hOwner) {
    const std::vector<DWORD> memory = BuildTemplate(dialogTemplate);
    g_pWndInit = pWnd;
    g_hCreationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    HWND hWnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEA>(memory.data()), hOwner,
                                           DialogProc, reinterpret_cast<LPARAM>(pWnd));
    UnhookWindowsHookEx(g_hCreationHook);
    g_hCreationHook = nullptr;
    g_pWndInit = nullptr;
    // A dialog with WS_VISIBLE is shown by the dialog manager at the end of its creation.
    if (hWnd != nullptr && hOwner == nullptr && IsWindowVisible(hWnd)) {
        RestackOwnedWindowsUnderWine(hWnd);
    }
    return hWnd;
}

CRect WsMapDialogRect(HWND hDialog, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(hDialog, &rect);
    return CRect(rect);
}

void WsDestroyWindow(HWND hWnd) {
    if (WsIsWindow(hWnd)) {
        DestroyWindow(hWnd);
    }
}

LRESULT WsDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC pfnSuper = SuperProc(hWnd);
    return pfnSuper != nullptr ? CallWindowProcA(pfnSuper, hWnd, message, wParam, lParam)
                               : DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT WsSendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return WsIsWindow(hWnd) ? SendMessageA(hWnd, message, wParam, lParam) : 0;
}

BOOL WsPostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return WsIsWindow(hWnd) && PostMessageA(hWnd, message, wParam, lParam) != FALSE;
}

LRESULT WsDispatchMessage(const MSG* pMsg) { return DispatchMessageA(pMsg); }

void WsPostQuitMessage(int nExitCode) { PostQuitMessage(nExitCode); }

// ---- Geometry and state ----

CRect WsGetWindowRect(HWND hWnd) {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    return CRect(rect);
}

CRect WsGetClientRect(HWND hWnd) {
    RECT rect{};
    GetClientRect(hWnd, &rect);
    return CRect(rect);
}

void WsMoveWindow(HWND hWnd, const CRect& rect, bool bRepaint) {
    MoveWindow(hWnd, rect.left, rect.top, rect.Width(), rect.Height(), bRepaint ? TRUE : FALSE);
}

BOOL WsShowWindow(HWND hWnd, int nCmdShow) {
    const BOOL bWasVisible = ShowWindow(hWnd, nCmdShow);
    if (!bWasVisible && IsWindowVisible(hWnd) && (GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) == 0) {
        RestackOwnedWindowsUnderWine(hWnd);
    }
    return bWasVisible;
}
bool WsIsWindowVisible(HWND hWnd) { return IsWindowVisible(hWnd) != FALSE; }
bool WsIsIconic(HWND hWnd) { return IsIconic(hWnd) != FALSE; }
bool WsIsZoomed(HWND hWnd) { return IsZoomed(hWnd) != FALSE; }
CPoint WsClientOrigin(HWND hWnd) {
    POINT pt{0, 0};
    ClientToScreen(hWnd, &pt);
    return CPoint(pt.x, pt.y);
}

void WsInvalidateRect(HWND hWnd, const RECT* pRect, bool bErase) { InvalidateRect(hWnd, pRect, bErase); }
void WsUpdateWindow(HWND hWnd) { UpdateWindow(hWnd); }
HWND WsGetDlgItem(HWND hWnd, int nID) { return GetDlgItem(hWnd, nID); }
int WsGetDlgCtrlID(HWND hWnd) { return GetDlgCtrlID(hWnd); }
HWND WsGetParentOrOwner(HWND hWnd) { return GetParent(hWnd); }

std::string WsGetWindowText(HWND hWnd) {
    const int nLength = GetWindowTextLengthA(hWnd);
    std::string strText(static_cast<std::size_t>(nLength > 0 ? nLength : 0) + 1, '\0');
    const int nCopied = GetWindowTextA(hWnd, strText.data(), static_cast<int>(strText.size()));
    strText.resize(static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

LONG WsGetWindowLong(HWND hWnd, int nIndex) { return GetWindowLongA(hWnd, nIndex); }
LONG WsSetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
    return SetWindowLongA(hWnd, nIndex, dwNewLong);
}
void WsSetFocus(HWND hWnd) { SetFocus(hWnd); }

int WsSetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
    // The window system takes the region over: it gets a copy, the caller's stays the caller's.
    HRGN hCopy = nullptr;
    if (hRgn != nullptr) {
        hCopy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(hCopy, hRgn, nullptr, RGN_COPY);
    }
    return SetWindowRgn(hWnd, hCopy, bRedraw);
}

BOOL WsSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags) {
    return SetLayeredWindowAttributes(hWnd, crKey, bAlpha, dwFlags);
}

BOOL WsUpdateLayeredWindow(HWND hWnd, const POINT* pptDst, const SIZE* psize, HDC hdcSrc, const POINT* pptSrc,
                           DWORD dwFlags) {
    HDC hdcScreen = GetDC(nullptr);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL bDone =
        UpdateLayeredWindow(hWnd, hdcScreen, const_cast<POINT*>(pptDst), const_cast<SIZE*>(psize), hdcSrc,
                            const_cast<POINT*>(pptSrc), 0, &blend, dwFlags);
    ReleaseDC(nullptr, hdcScreen);
    return bDone;
}

UINT WsTrackSystemMenu(HWND hWnd, CPoint ptScreen) {
    HMENU hMenu = GetSystemMenu(hWnd, FALSE);
    if (hMenu == nullptr) {
        return 0;
    }
    return static_cast<UINT>(
        TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RETURNCMD, ptScreen.x, ptScreen.y, 0, hWnd, nullptr));
}

BOOL WsTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack) {
    return lpEventTrack != nullptr && TrackMouseEvent(lpEventTrack) != FALSE;
}

// ---- Painting ----

namespace {
std::unordered_map<HDC, PAINTSTRUCT>& Paints() {
    static std::unordered_map<HDC, PAINTSTRUCT> s_paints;
    return s_paints;
}
} // namespace

HDC WsBeginPaint(HWND hWnd) {
    PAINTSTRUCT paint{};
    HDC hDC = BeginPaint(hWnd, &paint);
    if (hDC != nullptr) {
        Paints()[hDC] = paint;
    }
    return hDC;
}

void WsEndPaint(HWND hWnd, HDC hDC) {
    if (auto it = Paints().find(hDC); it != Paints().end()) {
        EndPaint(hWnd, &it->second);
        Paints().erase(it);
    }
}

HDC WsGetWindowDC(HWND hWnd) { return GetWindowDC(hWnd); }
HDC WsGetDC(HWND hWnd) { return GetDC(hWnd); }
void WsReleaseDC(HWND hWnd, HDC hDC) {
    if (hDC != nullptr) {
        ReleaseDC(hWnd, hDC);
    }
}

// ---- Modal loops ----

INT_PTR WsRunModalLoop(HWND hDialog) {
    HWND hOwner = GetWindow(hDialog, GW_OWNER);
    const bool bOwnerEnabled = hOwner != nullptr && IsWindowEnabled(hOwner);
    if (bOwnerEnabled) {
        EnableWindow(hOwner, FALSE);
    }
    INT_PTR nResult = -1;
    MSG msg{};
    while (WsIsWindow(hDialog) && EndedDialogs().count(hDialog) == 0) {
        AfxFlushRunLog(); // the end of a burst of events
        const BOOL bGot = GetMessageA(&msg, nullptr, 0, 0);
        if (bGot == 0 || bGot == -1) {
            // The quit message ends every loop; the outermost one still sees it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool bHandled = false;
        // The window and its parents (not its owner) see the message first.
        for (HWND hTarget = msg.hwnd; hTarget != nullptr && !bHandled;
             hTarget = (GetWindowLongA(hTarget, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(hTarget) : nullptr) {
            if (CWnd* pWnd = WsWindowObject(hTarget)) {
                bHandled = AfxCallAtBoundary(hTarget, TRUE,
                                             [pWnd, &msg] { return pWnd->PreTranslateMessage(&msg); });
            }
        }
        if (!bHandled && !IsDialogMessageA(hDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (auto it = EndedDialogs().find(hDialog); it != EndedDialogs().end()) {
        nResult = it->second;
        EndedDialogs().erase(it);
    }
    if (bOwnerEnabled) {
        EnableWindow(hOwner, TRUE);
    }
    return nResult;
}

void WsEndDialog(HWND hDialog, int nResult) {
    if (!WsIsWindow(hDialog)) {
        return;
    }
    EndedDialogs()[hDialog] = nResult;
    // A modeless dialog is hidden; a modal one ends its loop.
    ShowWindow(hDialog, SW_HIDE);
    PostMessageA(hDialog, WM_NULL, 0, 0);
}

// ---- The desktop ----

int WsShowMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType) {
    return MessageBoxA(hOwner, strText.c_str(), strCaption.c_str(), nType);
}

bool WsShellOpen(const std::string& strUrl) {
    return reinterpret_cast<INT_PTR>(
               ShellExecuteA(nullptr, "open", strUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

int WsGetSystemMetrics(int nIndex) { return GetSystemMetrics(nIndex); }

CRect WsGetWorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return CRect(work);
}

void WsInitCommonControls(DWORD) {}
BOOL WsEnableControlContainer() { return TRUE; }
