#include "launcher/explorer1.h"

BOOL CExplorer1::Create(const char*, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID) {
    return CreateControl(CLSID_DrelkWebBrowser, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CExplorer1::Navigate(const char* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                          VARIANT* Headers) {
    static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    InvokeHelper(DISPID_NAVIGATE, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, URL, Flags, TargetFrameName,
                 PostData, Headers);
}

void CExplorer1::Stop() { InvokeHelper(DISPID_STOP, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }

IDispatch* CExplorer1::get_Document() {
    IDispatch* result = nullptr;
    InvokeHelper(DISPID_DOCUMENT, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, nullptr);
    return result;
}

void CExplorer1::put_Visible(BOOL newValue) {
    static const BYTE parms[] = VTS_BOOL;
    InvokeHelper(DISPID_VISIBLE, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, parms, newValue);
}

void CExplorer1::put_Silent(BOOL newValue) {
    static const BYTE parms[] = VTS_BOOL;
    InvokeHelper(DISPID_SILENT, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, parms, newValue);
}
