// The document UI handler the launcher installs on its browser's document: no context menu, no 3-D
// border, no scroll bars, no external object.
#pragma once

#include "framework/com.h"

#include <atomic>

class CDocHostUIHandlerImpl : public TDocHostUIHandlerImpl {
public:
    CDocHostUIHandlerImpl() = default; // holds one reference, its creator's

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                              IDispatch* pdispReserved) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** ppDispatch) override;

private:
    std::atomic<LONG> m_nRefCount{1};
};

// The launcher's one handler; null until its browser's first document. Never cleared.
extern CDocHostUIHandlerImpl* g_pDocHostUIHandler;
