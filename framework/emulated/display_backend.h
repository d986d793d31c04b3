// What the window model needs of a display backend: the one contract of framework/gtk/ and
// framework/headless/. The model (framework/emulated/) calls these; each display backend defines
// every one of them, and nothing else of a backend is called by the model.
//
// Names show the layer:
//   Afx...      the framework's public API (framework/*.h): what the system and the tests call;
//   Ws...       the window-system seam (framework/window_system.h), realised by framework/win32/ and
//               by the model;
//   Model...    the window model's own functions (framework/emulated/), which display backends call
//               to hand native events and state to the model;
//   Backend...  this contract: the display backend's side, called by the model;
//   Gtk..., Headless...  a display backend's own helpers, inside its folder (Headless... is also
//               the inspection API the tests use).
#pragma once

#include "framework/emulated/url_cache_model.h"
#include "framework/geometry.h"
#include "framework/windefs.h"

#include <string>
#include <vector>

class CBrowserControl;

// ---- The clock, timers and the network ----
unsigned long long BackendTickCount(); // milliseconds
void BackendTimersChanged();
// Starts listening for the network's comings and goings (once); false when it cannot.
bool BackendWatchNetwork();

// ---- Windows ----
// The backend reads what it shows of a window through the Model... functions of window_core.h.
void BackendWindowCreated(HWND hWnd);
// The window is gone for the model (ModelIsWindow is false); only its backend data is left to let go.
void BackendWindowDestroyed(HWND hWnd);
void BackendWindowMoved(HWND hWnd);
void BackendWindowShown(HWND hWnd);
void BackendWindowInvalidated(HWND hWnd); // the part marked for the next paint grew
void BackendPaintNow(HWND hWnd);          // UpdateWindow: the marked part painted now
void BackendLayeredChanged(HWND hWnd);
void BackendTextChanged(HWND hWnd);
void BackendSetFocus(HWND hWnd);
void BackendBeginMoveDrag(HWND hWnd, CPoint ptScreen);
void BackendBeginResizeDrag(HWND hWnd, int nHitTest, CPoint ptScreen);
void BackendFrameChanged(HWND hWnd); // the frame surface was painted
void BackendShapeChanged(HWND hWnd); // the window's shape (SetWindowRgn) changed
void BackendStateChanged(HWND hWnd); // maximise, minimise or restore requested
// Shows the system menu at a screen point; returns the chosen SC_ command or 0.
UINT BackendTrackSystemMenu(HWND hWnd, CPoint ptScreen);

// ---- The event loop ----
// One wait for native events; false when there is nothing to wait for (the loop must end).
bool BackendWaitForEvents();
void BackendWakeUp();

// ---- The desktop ----
int BackendMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType);
bool BackendShellOpen(const std::string& strUrl);
CRect BackendWorkArea();
int BackendSystemMetric(int nIndex);

// ---- The browser ----
void BackendBrowserCreated(CBrowserControl* pControl);
void BackendBrowserDestroyed(CBrowserControl* pControl);
void BackendBrowserNavigate(CBrowserControl* pControl, const std::u16string& strUrl);
void BackendBrowserStop(CBrowserControl* pControl);
void BackendBrowserHostPolicyChanged(CBrowserControl* pControl);
// Shows the HTML document (UTF-8) as the page at strUrl, in place of the one that failed there.
void BackendBrowserShowPage(CBrowserControl* pControl, const std::string& strHtml,
                            const std::u16string& strUrl);

// ---- The browser's URL cache: the engine's cache presented as entries ----
std::vector<CUrlCacheEntry> BackendUrlCacheEntries();
bool BackendDeleteUrlCacheEntry(const std::string& strUrl);
