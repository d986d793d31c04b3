#include "launcher/doc_host_ui_handler.h"

CDocHostUIHandlerImpl* g_pDocHostUIHandler = nullptr;

void* CDocHostUIHandlerImpl::InterfaceFor(REFIID riid) {
    return riid == IID_IDocHostUIHandler ? static_cast<IDocHostUIHandler*>(this) : nullptr;
}

HRESULT CDocHostUIHandlerImpl::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

HRESULT CDocHostUIHandlerImpl::GetHostInfo(DOCHOSTUIINFO* pInfo) {
    if (pInfo == nullptr) {
        return E_POINTER;
    }
    pInfo->cbSize = sizeof(DOCHOSTUIINFO);
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT CDocHostUIHandlerImpl::GetExternal(IDispatch** ppDispatch) {
    if (ppDispatch != nullptr) {
        *ppDispatch = nullptr;
    }
    return S_OK;
}
