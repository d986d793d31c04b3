// The embedded browser control (the WebBrowser class), hosted as a dialog item. Its users reach it
// by dispatch id (CWnd::InvokeHelper); its events (BeforeNavigate2, DocumentComplete) reach the
// parent through OnEvent. The document offers its title and ICustomDoc::SetUIHandler; the installed
// IDocHostUIHandler is asked for the host policy (context menu, border, scroll bars).
#pragma once

#include "framework/com.h"

#include <string>

#if defined(_WIN32)
#include <urlmon.h>
#endif

// Dispatch ids of the control's members and events.
#define DISPID_NAVIGATE 104
#define DISPID_STOP 106
#define DISPID_DOCUMENT 203
#define DISPID_VISIBLE 402
#define DISPID_SILENT 551
#define DISPID_BEFORENAVIGATE2 250
#define DISPID_DOCUMENTCOMPLETE 259
// NavigateError: frame, URL, target frame name, status code (VARIANT pointers), Cancel (VARIANT_BOOL
// pointer: TRUE keeps the browser from showing its own error page).
#define DISPID_NAVIGATEERROR 271
// The page's process ended unexpectedly (no parameters). Raised only where pages run in a process
// of their own (the model's engine); on Windows the control lives in the program's own process.
#define DISPID_PAGEPROCESSENDED 0x7F01

// NavigateError's status codes of the control's internet family (HTTP status codes also occur).
#ifndef INET_E_NO_SESSION
#define INET_E_NO_SESSION HRESULT(0x800C0003)
#define INET_E_CANNOT_CONNECT HRESULT(0x800C0004)
#define INET_E_RESOURCE_NOT_FOUND HRESULT(0x800C0005)
#define INET_E_DATA_NOT_AVAILABLE HRESULT(0x800C0007)
#define INET_E_DOWNLOAD_FAILURE HRESULT(0x800C0008)
#define INET_E_CONNECTION_TIMEOUT HRESULT(0x800C000B)
#define INET_E_SECURITY_PROBLEM HRESULT(0x800C000E)
#define INET_E_CANNOT_LOAD_DATA HRESULT(0x800C000F)
#define INET_E_INVALID_CERTIFICATE HRESULT(0x800C0019)
#endif

// Argument descriptions of InvokeHelper, as the classic framework spells them.
#define VTS_NONE ""
#define VTS_BOOL "\x0B"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_PVARIANT "\x4C"

// Reads event parameters (COM passes them in reverse order) by their natural position.
class CEventParams {
public:
    explicit CEventParams(DISPPARAMS* pParams) : m_pParams(pParams) {}
    VARIANT* At(UINT nIndex) const;
    IDispatch* Dispatch(UINT nIndex) const;
    VARIANT* VariantRef(UINT nIndex) const; // a VARIANT* parameter
    VARIANT_BOOL* BoolRef(UINT nIndex) const;

private:
    DISPPARAMS* m_pParams;
};

// Shows the program's HTML resource nHtmlID in the browser item in place of the page at
// lpszFailedUrl, handing it lpszParameters (8-bit text of the process code page). While it shows,
// the document's address is lpszFailedUrl in the model, and the page's res: address on Windows.
HRESULT AfxShowBrowserPage(HWND hBrowser, UINT nHtmlID, const char* lpszParameters,
                           const char* lpszFailedUrl);
// The title of a document object (what get_Document answers), in UTF-16; "" when it has none.
std::u16string AfxDocumentTitle(IDispatch* pDocument);

// Whether an address is a web address, the only kind the program hands on to a game client, a game
// window or the desktop: "http://" or "https://", in any case, after any leading blanks.
bool AfxIsWebAddress(const std::string& strAddress);
// Whether an event's frame object (its first parameter) is the browser's top-level document.
BOOL AfxIsTopLevelBrowserEvent(HWND hBrowser, IDispatch* pDisp);
