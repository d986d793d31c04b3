// The embedded browser control (the WebBrowser class), hosted as a dialog item. Its users reach it
// by dispatch id (CWnd::InvokeHelper); its events (BeforeNavigate2, DocumentComplete) reach the
// parent through OnEvent. The document offers its title and ICustomDoc::SetUIHandler; the installed
// IDocHostUIHandler is asked for the host policy (context menu, border, scroll bars).
#pragma once

#include "framework/com.h"

#include <string>

// Dispatch ids of the control's members and events.
#define DISPID_NAVIGATE 104
#define DISPID_STOP 106
#define DISPID_DOCUMENT 203
#define DISPID_VISIBLE 402
#define DISPID_SILENT 551
#define DISPID_BEFORENAVIGATE2 250
#define DISPID_DOCUMENTCOMPLETE 259

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
