// The document UI handler the launcher installs on its browser's document: no context menu, no 3-D
// border, no scroll bars, no external object.
#pragma once

#include "framework/com.h"

// Its IUnknown is the framework's COM object's: an atomic count, answering only IDocHostUIHandler.
class CDocHostUIHandlerImpl : public TComObject<TDocHostUIHandlerImpl> {
public:
    CDocHostUIHandlerImpl() = default; // holds one reference, its creator's

    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                              IDispatch* pdispReserved) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** ppDispatch) override;

private:
    ~CDocHostUIHandlerImpl() override = default;
    void* InterfaceFor(REFIID riid) override;
};

// The launcher's one handler; null until its browser's first document. Never cleared.
extern CDocHostUIHandlerImpl* g_pDocHostUIHandler;
