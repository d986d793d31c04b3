#include "launcher/doc_host_ui_handler.h"

CDocHostUIHandlerImpl* g_pDocHostUIHandler = nullptr;

HRESULT CDocHostUIHandlerImpl::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler) {
        *ppvObject = static_cast<IDocHostUIHandler*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG CDocHostUIHandlerImpl::AddRef() { return static_cast<ULONG>(++m_nRefCount); }

ULONG CDocHostUIHandlerImpl::Release() {
    const LONG nCount = --m_nRefCount;
    if (nCount <= 0) {
        delete this;
    }
    return static_cast<ULONG>(nCount < 0 ? 0 : nCount);
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
