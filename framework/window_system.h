// The seam under the framework's public API: everything a realisation provides, declared here and
// nowhere else. framework/win32/ realises it on the real Windows API; framework/emulated/ on the
// window model, which GTK (framework/gtk/) and the headless backend (framework/headless/) carry
// to their window systems through framework/emulated/display_backend.h. The host system's text
// and OS services (framework/linux/, framework/win32/, framework/headless/) realise the parts so
// marked.
//
// Names show the layer: Afx... is the public API (framework/*.h, what the system and the tests
// call); Ws... is this seam; Model... the window model's own functions; Backend... what the model
// needs of a display backend; Gtk... and Headless... a display backend's own.
//
// Contents: windows and their objects; creation; geometry and state; painting; timers; modal loops;
// the desktop; the browser host; drawing (contexts, bitmaps, brushes, regions, CImage's pictures,
// Gdi:: drawing); then what the public functions of the same name rest on: messages, input, the
// clock, the network and the desktop (wnd.h); the services (services.h); the process code page and
// the character converter (codepage.h); the browser's URL cache (url_cache.h); BSTRs (com.h);
// shared drawing objects (gdi.h); the program's resources (resources.h).
//
// Internal to the framework: neither the system's code nor the tests include this header.
#pragma once

#include "framework/com.h"
#include "framework/gdi.h"
#include "framework/geometry.h"
#include "framework/graphics.h"
#include "framework/services.h"
#include "framework/url_cache.h"
#include "framework/windefs.h"

#include <cstddef>
#include <string_view>

#include <string>
#include <vector>

class CWnd;
struct CDialogTemplate;
struct CImageData;

// ---- Windows and their objects ----
bool WsIsWindow(HWND hWnd);
// The object attached to the window, or null.
CWnd* WsWindowObject(HWND hWnd);
// Attaches pWnd so that the window's messages reach it; false when the window has an object already.
bool WsAttachWindowObject(HWND hWnd, CWnd* pWnd);
// Detaches pWnd when it is the window's object.
void WsDetachWindowObject(HWND hWnd, CWnd* pWnd);
// A plain object for a window without one, living as long as the window.
CWnd* WsPlainWindowObject(HWND hWnd);

// ---- Creation ----
// Creates the dialog described by the template, owned by hOwner, with its items except the hosted
// browser ("WebBrowser") items, attaches pWnd and delivers WM_INITDIALOG. Null on failure.
HWND WsCreateDialogWindow(const CDialogTemplate& dialogTemplate, CWnd* pWnd, HWND hOwner);
// Destroys the window, the windows it owns and its children.
void WsDestroyWindow(HWND hWnd);
// A rectangle in the dialog's units (of its font) in pixels of its client area.
CRect WsMapDialogRect(HWND hDialog, int x, int y, int cx, int cy);

// ---- Geometry and state ----
CRect WsGetWindowRect(HWND hWnd); // screen coordinates
CRect WsGetClientRect(HWND hWnd); // client coordinates
// Moves a top-level window (screen coordinates) or a child (parent client coordinates).
void WsMoveWindow(HWND hWnd, const CRect& rect, bool bRepaint);
// The show command; the window's previous visibility.
BOOL WsShowWindow(HWND hWnd, int nCmdShow);
bool WsIsWindowVisible(HWND hWnd);
bool WsIsIconic(HWND hWnd);
bool WsIsZoomed(HWND hWnd);
// The client area's top-left corner in screen coordinates.
CPoint WsClientOrigin(HWND hWnd);
// Marks the part of the client area (client coordinates; null: all of it) for the next WM_PAINT.
// Nothing outside the client area is marked.
void WsInvalidateRect(HWND hWnd, const RECT* pRect, bool bErase);
// Paints a window that has a part marked, now (WM_PAINT before returning); nothing otherwise.
void WsUpdateWindow(HWND hWnd);
HWND WsGetDlgItem(HWND hWnd, int nID);
int WsGetDlgCtrlID(HWND hWnd);
// A child's parent, or a top-level window's owner.
HWND WsGetParentOrOwner(HWND hWnd);
std::string WsGetWindowText(HWND hWnd);
LONG WsGetWindowLong(HWND hWnd, int nIndex);
LONG WsSetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong);
void WsSetFocus(HWND hWnd);
// The window's shape; the window system takes the region over. Null removes the shape.
int WsSetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
BOOL WsSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
// Shows the bitmap selected into hdcSrc as the window's content with per-pixel alpha (ULW_ALPHA).
BOOL WsUpdateLayeredWindow(HWND hWnd, const POINT* pptDst, const SIZE* psize, HDC hdcSrc, const POINT* pptSrc,
                           DWORD dwFlags);
// Shows the window's system menu at a screen point; the chosen SC_ command or 0.
UINT WsTrackSystemMenu(HWND hWnd, CPoint ptScreen);

// ---- Painting ----
// The context of a WM_PAINT (the background erased through WM_ERASEBKGND), and its end.
HDC WsBeginPaint(HWND hWnd);
void WsEndPaint(HWND hWnd, HDC hDC);
// The context of the whole window (its frame included), and of its client area.
HDC WsGetWindowDC(HWND hWnd);
HDC WsGetDC(HWND hWnd);
void WsReleaseDC(HWND hWnd, HDC hDC);

// ---- Timers ----
// Starts (or restarts) the window's timer nIDEvent: WM_TIMER every nElapse milliseconds.
bool WsSetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse);
bool WsKillTimer(HWND hWnd, UINT_PTR nIDEvent);

// ---- Modal loops ----
// Runs messages until WsEndDialog for the dialog or the quit message; EndDialog's result or -1.
INT_PTR WsRunModalLoop(HWND hDialog);
// Ends the dialog's modal loop with the result (a modeless dialog is hidden).
void WsEndDialog(HWND hDialog, int nResult);

// ---- The desktop ----
int WsShowMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType);
// Hands a web address to the desktop's default browser.
bool WsShellOpen(const std::string& strUrl);

// ---- The browser host ----
// Creates the WebBrowser control as the item nID of hParent, in our own host.
HWND WsCreateBrowserHost(HWND hParent, UINT nID, DWORD dwStyle, const RECT& rect);
// A member call by dispatch id; arguments in their natural order.
HRESULT WsInvokeBrowser(HWND hBrowser, DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments,
                        VARIANT* pResult);
// The host's own document UI handler (the one asked before the document's installed one).
void WsSetBrowserHostHandler(HWND hBrowser, IDocHostUIHandler* pHandler);
// Shows the HTML resource nHtmlID in the browser in place of the page that failed: on Windows by its
// res: address with strParameters as the fragment, in the model under strFailedUrl with the
// parameters in the page's "page-parameters" meta element. Texts in UTF-16.
HRESULT WsShowBrowserResourcePage(HWND hBrowser, UINT nHtmlID, const std::u16string& strParameters,
                                  const std::u16string& strFailedUrl);
// Whether an event's frame object is the browser's top-level one.
bool WsIsTopLevelBrowserObject(HWND hBrowser, IDispatch* pDisp);

// ---- Drawing ----
// A memory device context compatible with hDC (null: the screen's), and its deletion.
HDC WsCreateMemoryDC(HDC hDC);
void WsDeleteMemoryDC(HDC hDC);
// Bitmaps: a bitmap resource of the program, a 32-bit surface (all zero), one for drawing off-screen
// (hDC may be null; its first content is undefined); their deletion and size.
HBITMAP WsLoadBitmap(UINT nIDResource);
HBITMAP WsCreateDIBSection(int nWidth, int nHeight);
HBITMAP WsCreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight);
void WsDeleteBitmap(HBITMAP hBitmap);
CSize WsGetBitmapSize(HBITMAP hBitmap);
HBRUSH WsCreateSolidBrush(COLORREF crColor);
void WsDeleteBrush(HBRUSH hBrush);
HRGN WsCreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
void WsDeleteRegion(HRGN hRgn);
// Selects the bitmap into a memory context; false when the context cannot take it.
bool WsSelectBitmap(HDC hDC, HBITMAP hBitmap);
void WsFillSolidRect(HDC hDC, const RECT& rect, COLORREF clr);
BOOL WsBitBlt(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD dwRop);
// The source's alpha taken as premultiplied (AC_SRC_ALPHA), unscaled.
BOOL WsAlphaBlend(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc);
BOOL WsDrawIcon(HDC hDC, int x, int y, HICON hIcon);
BOOL WsDrawIconEx(HDC hDC, int x, int y, HICON hIcon, int cx, int cy);
int WsExcludeClipRect(HDC hDC, const RECT& rect);
int WsSelectClipRgn(HDC hDC, HRGN hRgn); // null: the exclusions removed
int WsGetClipBox(HDC hDC, LPRECT lpRect);
// CImage's pictures: a PNG decoded with its alpha exactly as stored (the size answered), its
// deletion, and its drawing at its own size blended by its alpha.
HBITMAP WsDecodeImage(CMemoryStream* pStream, CSize& size);
void WsDeleteImage(HBITMAP hBitmap);
BOOL WsDrawImage(HDC hDC, int x, int y, HBITMAP hBitmap, CSize size);
// Gdi:: drawing: its start for the process; pictures (decoded with their alpha, made from a
// bitmap's colours, or transparent of a size), each null on failure, and what they hold freed; a
// font family's availability; a picture's source rectangle scaled into dst; text in a layout.
Gdi::Status WsStartDrawing(UINT_PTR* pToken);
CImageData* WsDecodePicture(CMemoryStream* pStream, UINT& nWidth, UINT& nHeight);
CImageData* WsPictureOfBitmap(HBITMAP hBitmap, UINT& nWidth, UINT& nHeight);
CImageData* WsCreatePicture(int nWidth, int nHeight);
void WsDeleteImageData(CImageData* pData);
Gdi::Status WsFontFamilyStatus(const std::u16string& strName);
Gdi::Status WsDrawPicture(HDC hDC, const Gdi::Image* pImage, const Gdi::RectF& dst, float srcX, float srcY,
                          float srcWidth, float srcHeight);
Gdi::Status WsDrawString(HDC hDC, const std::u16string& strText, const Gdi::Font* pFont,
                         const Gdi::RectF& layout, const Gdi::StringFormat* pFormat,
                         const Gdi::SolidBrush* pBrush);

// ==== Under the public functions of the same name (Afx...), which call these ====

// ---- messages, input, the clock, the network and the desktop (wnd.h) ----
LRESULT WsDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WsSendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WsPostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WsDispatchMessage(const MSG* pMsg);
BOOL WsTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack);
int WsGetSystemMetrics(int nIndex);
unsigned long long WsGetTickCount();
BOOL WsWatchNetwork(HWND hWnd, UINT message);
void WsUnwatchNetwork(HWND hWnd);
CRect WsGetWorkArea();
void WsInitCommonControls(DWORD dwICC);
BOOL WsEnableControlContainer();

// ---- the services and the quit message (services.h) ----
void WsPostQuitMessage(int nExitCode);
CPlatformServices& WsGetPlatformServices();

// ---- the process code page (codepage.h) ----
UINT WsGetProcessCodePage();

// ---- the browser's URL cache (url_cache.h) ----
HURLCACHEFIND WsFindFirstUrlCacheEntry(const char* lpszUrlSearchPattern, INTERNET_CACHE_ENTRY_INFOA* pInfo,
                                       DWORD* pcbInfo);
BOOL WsFindNextUrlCacheEntry(HURLCACHEFIND hFind, INTERNET_CACHE_ENTRY_INFOA* pInfo, DWORD* pcbInfo);
BOOL WsDeleteUrlCacheEntry(const char* lpszUrlName);
BOOL WsFindCloseUrlCache(HURLCACHEFIND hFind);
DWORD WsGetLastError();

// ---- BSTRs (com.h) ----
BSTR WsSysAllocString(std::u16string_view text);
void WsSysFreeString(BSTR bstr);
std::u16string WsBstrText(BSTR bstr);

// ---- shared drawing objects (gdi.h) ----
HBRUSH WsGetDialogBrush();
HICON WsLoadIcon(UINT nIDResource);

// ---- the program's resources (resources.h) ----
// Exactly the version drawn for nScale (1: the program's own pixels); false when there is none.
bool WsFindResource(UINT nID, const char* lpType, int nScale, const BYTE*& pData, std::size_t& nSize);

// ---- The host system's character converter, for code pages other than UTF-8 (codepage.h) ----
// (iconv on Linux, the Win32 conversion functions on Windows, whatever the window system.)
// One complete character of the code page to UTF-16; false when it has no counterpart.
bool WsNativeCharToUtf16(UINT nCodePage, std::string_view strChar, std::u16string& strOut);
// One Unicode code point to the code page; false when it has no counterpart.
bool WsNativeCodePointToChar(UINT nCodePage, char32_t codePoint, std::string& strOut);
