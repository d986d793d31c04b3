// The seam under the framework's public API: what a window system realises. The framework's
// portable code (CWnd, CDialog, CDHtmlDialog, CMenu, CBitmapButton) reaches windows, painting, the
// message loop and the browser host only through these calls. framework/emulated/ realises them on
// the window model (GTK and headless), framework/win32/ on the real Windows API.
//
// Drawing has few calls here: the out-of-line members of the drawing classes (gdi.h, graphics.h)
// are the realisation's, over handles that only it can look into.
//
// Internal to the framework: neither the system's code nor the tests include this header.
#pragma once

#include "framework/com.h"
#include "framework/geometry.h"
#include "framework/windefs.h"

#include <string>
#include <vector>

class CWnd;
struct CDialogTemplate;
struct CImageData;

// ---- Windows and their objects ----
bool AfxIsWindow(HWND hWnd);
// The object attached to the window, or null.
CWnd* AfxWindowObject(HWND hWnd);
// Attaches pWnd so that the window's messages reach it; false when the window has an object already.
bool AfxAttachWindowObject(HWND hWnd, CWnd* pWnd);
// Detaches pWnd when it is the window's object.
void AfxDetachWindowObject(HWND hWnd, CWnd* pWnd);
// A plain object for a window without one, living as long as the window.
CWnd* AfxPlainWindowObject(HWND hWnd);

// ---- Creation ----
// Creates the dialog described by the template, owned by hOwner, with its items except the hosted
// browser ("WebBrowser") items, attaches pWnd and delivers WM_INITDIALOG. Null on failure.
HWND AfxCreateDialogWindow(const CDialogTemplate& dialogTemplate, CWnd* pWnd, HWND hOwner);
// Destroys the window, the windows it owns and its children.
void AfxDestroyWindow(HWND hWnd);
// A rectangle in the dialog's units (of its font) in pixels of its client area.
CRect AfxMapDialogRect(HWND hDialog, int x, int y, int cx, int cy);

// ---- Geometry and state ----
CRect AfxGetWindowRect(HWND hWnd); // screen coordinates
CRect AfxGetClientRect(HWND hWnd); // client coordinates
// Moves a top-level window (screen coordinates) or a child (parent client coordinates).
void AfxMoveWindow(HWND hWnd, const CRect& rect, bool bRepaint);
// The show command; the window's previous visibility.
BOOL AfxShowWindow(HWND hWnd, int nCmdShow);
bool AfxIsWindowVisible(HWND hWnd);
bool AfxIsIconic(HWND hWnd);
bool AfxIsZoomed(HWND hWnd);
// The client area's top-left corner in screen coordinates.
CPoint AfxClientOrigin(HWND hWnd);
// Marks the part of the client area (client coordinates; null: all of it) for the next WM_PAINT.
// Nothing outside the client area is marked.
void AfxInvalidateRect(HWND hWnd, const RECT* pRect, bool bErase);
// Paints a window that has a part marked, now (WM_PAINT before returning); nothing otherwise.
void AfxUpdateWindow(HWND hWnd);
HWND AfxGetDlgItem(HWND hWnd, int nID);
int AfxGetDlgCtrlID(HWND hWnd);
// A child's parent, or a top-level window's owner.
HWND AfxGetParentOrOwner(HWND hWnd);
std::string AfxGetWindowText(HWND hWnd);
LONG AfxGetWindowLong(HWND hWnd, int nIndex);
LONG AfxSetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong);
void AfxSetFocus(HWND hWnd);
// The window's shape; the window system takes the region over. Null removes the shape.
int AfxSetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
BOOL AfxSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
// Shows the bitmap selected into hdcSrc as the window's content with per-pixel alpha (ULW_ALPHA).
BOOL AfxUpdateLayeredWindow(HWND hWnd, const POINT* pptDst, const SIZE* psize, HDC hdcSrc,
                            const POINT* pptSrc, DWORD dwFlags);
// Shows the window's system menu at a screen point; the chosen SC_ command or 0.
UINT AfxTrackSystemMenu(HWND hWnd, CPoint ptScreen);

// ---- Painting ----
// The context of a WM_PAINT (the background erased through WM_ERASEBKGND), and its end.
HDC AfxBeginPaint(HWND hWnd);
void AfxEndPaint(HWND hWnd, HDC hDC);
// The context of the whole window (its frame included), and of its client area.
HDC AfxGetWindowDC(HWND hWnd);
HDC AfxGetDC(HWND hWnd);
void AfxReleaseDC(HWND hWnd, HDC hDC);

// The public AfxGetTickCount, AfxWatchNetwork and AfxUnwatchNetwork (wnd.h) are realised by each
// window system too.

// ---- Timers ----
// Starts (or restarts) the window's timer nIDEvent: WM_TIMER every nElapse milliseconds.
bool AfxSetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse);
bool AfxKillTimer(HWND hWnd, UINT_PTR nIDEvent);

// ---- Modal loops ----
// Runs messages until AfxEndDialog for the dialog or the quit message; EndDialog's result or -1.
INT_PTR AfxRunModalLoop(HWND hDialog);
// Ends the dialog's modal loop with the result (a modeless dialog is hidden).
void AfxEndDialog(HWND hDialog, int nResult);

// ---- The desktop ----
int AfxShowMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType);
// Hands a web address to the desktop's default browser.
bool AfxShellOpen(const std::string& strUrl);

// ---- The browser host ----
// Creates the WebBrowser control as the item nID of hParent, in our own host.
HWND AfxCreateBrowserHost(HWND hParent, UINT nID, DWORD dwStyle, const RECT& rect);
// A member call by dispatch id; arguments in their natural order.
HRESULT AfxInvokeBrowser(HWND hBrowser, DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments,
                         VARIANT* pResult);
// The host's own document UI handler (the one asked before the document's installed one).
void AfxSetBrowserHostHandler(HWND hBrowser, IDocHostUIHandler* pHandler);
// Shows the HTML resource nHtmlID in the browser in place of the page that failed: on Windows by its
// res: address with strParameters as the fragment, in the model under strFailedUrl with the
// parameters in the page's "page-parameters" meta element. Texts in UTF-16.
HRESULT AfxShowBrowserResourcePage(HWND hBrowser, UINT nHtmlID, const std::u16string& strParameters,
                                   const std::u16string& strFailedUrl);
// Whether an event's frame object is the browser's top-level one.
bool AfxIsTopLevelBrowserObject(HWND hBrowser, IDispatch* pDisp);

// ---- Drawing ----
// A memory device context compatible with hDC (null: the screen's), and its deletion.
HDC AfxCreateMemoryDC(HDC hDC);
void AfxDeleteMemoryDC(HDC hDC);
// Frees what a Gdi::Image holds.
void AfxDeleteImageData(CImageData* pData);
