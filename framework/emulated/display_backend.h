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

struct CWindowRecord;
class CBrowserControl;

// ---- The clock, timers and the network ----
unsigned long long BackendTickCount(); // milliseconds
void BackendTimersChanged();
// Starts listening for the network's comings and goings (once); false when it cannot.
bool BackendWatchNetwork();

// ---- Windows ----
void BackendWindowCreated(CWindowRecord* pRecord);
void BackendWindowDestroyed(CWindowRecord* pRecord);
void BackendWindowMoved(CWindowRecord* pRecord);
void BackendWindowShown(CWindowRecord* pRecord);
void BackendWindowInvalidated(CWindowRecord* pRecord); // rcInvalid grew
void BackendPaintNow(CWindowRecord* pRecord);          // UpdateWindow: the marked part painted now
void BackendLayeredChanged(CWindowRecord* pRecord);
void BackendTextChanged(CWindowRecord* pRecord);
void BackendSetFocus(CWindowRecord* pRecord);
void BackendBeginMoveDrag(CWindowRecord* pRecord, CPoint ptScreen);
void BackendBeginResizeDrag(CWindowRecord* pRecord, int nHitTest, CPoint ptScreen);
void BackendFrameChanged(CWindowRecord* pRecord); // the frame surface was painted
void BackendShapeChanged(CWindowRecord* pRecord); // the window's shape (SetWindowRgn) changed
void BackendStateChanged(CWindowRecord* pRecord); // maximise, minimise or restore requested
// Shows the system menu at a screen point; returns the chosen SC_ command or 0.
UINT BackendTrackSystemMenu(CWindowRecord* pRecord, CPoint ptScreen);

// ---- The event loop ----
// One wait for native events; false when there is nothing to wait for (the loop must end).
bool BackendWaitForEvents();
void BackendWakeUp();

// ---- The desktop ----
int BackendMessageBox(CWindowRecord* pOwner, const std::string& strText, const std::string& strCaption,
                      UINT nType);
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
