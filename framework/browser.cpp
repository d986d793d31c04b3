// Reading the parameters of a hosted control's events.
#include "framework/browser.h"

#include "framework/codepage.h"
#include "framework/window_system.h"

#include <string_view>

VARIANT* CEventParams::At(UINT nIndex) const {
    if (m_pParams == nullptr || nIndex >= m_pParams->cArgs) {
        return nullptr;
    }
    return &m_pParams->rgvarg[m_pParams->cArgs - 1 - nIndex];
}

IDispatch* CEventParams::Dispatch(UINT nIndex) const {
    VARIANT* p = At(nIndex);
    return p != nullptr && p->vt == VT_DISPATCH ? p->pdispVal : nullptr;
}

VARIANT* CEventParams::VariantRef(UINT nIndex) const {
    VARIANT* p = At(nIndex);
    return p != nullptr && p->vt == (VT_BYREF | VT_VARIANT) ? p->pvarVal : nullptr;
}

VARIANT_BOOL* CEventParams::BoolRef(UINT nIndex) const {
    VARIANT* p = At(nIndex);
    return p != nullptr && p->vt == (VT_BYREF | VT_BOOL) ? p->pboolVal : nullptr;
}

HRESULT AfxShowBrowserPage(HWND hBrowser, UINT nHtmlID, const char* lpszParameters,
                           const char* lpszFailedUrl) {
    const auto text = [](const char* psz) { return AfxCodePageToUtf16(CP_ACP, psz != nullptr ? psz : ""); };
    return WsShowBrowserResourcePage(hBrowser, nHtmlID, text(lpszParameters), text(lpszFailedUrl));
}

BOOL AfxIsTopLevelBrowserEvent(HWND hBrowser, IDispatch* pDisp) {
    return WsIsTopLevelBrowserObject(hBrowser, pDisp) ? TRUE : FALSE;
}

bool AfxIsWebAddress(const std::string& strAddress) {
    std::size_t nStart = 0;
    while (nStart < strAddress.size() && (strAddress[nStart] == ' ' || strAddress[nStart] == '\t')) {
        ++nStart;
    }
    const auto startsWith = [&](std::string_view scheme) {
        if (strAddress.size() - nStart < scheme.size()) {
            return false;
        }
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            const char c = strAddress[nStart + i];
            if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != scheme[i]) {
                return false;
            }
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

std::u16string AfxDocumentTitle(IDispatch* pDocument) {
    IHTMLDocument2* pHtml = nullptr;
    if (pDocument == nullptr ||
        FAILED(pDocument->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pHtml))) ||
        pHtml == nullptr) {
        return {};
    }
    std::u16string strTitle;
    BSTR bstrTitle = nullptr;
    if (SUCCEEDED(pHtml->get_title(&bstrTitle))) {
        strTitle = AfxBstrText(bstrTitle);
    }
    AfxSysFreeString(bstrTitle);
    pHtml->Release();
    return strTitle;
}
