// The document UI handler the launcher installs on its browser's document: no context menu, no 3-D
// border, no scroll bars, no external object.
#pragma once

#include "framework/com.h"

#include <atomic>

// Every IDocHostUIHandler method answers E_NOTIMPL; derived classes supply IUnknown and the answers
// that differ.
class TDocHostUIHandlerImpl : public IDocHostUIHandler {
public:
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, void*, void*, void*, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HideUI() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, void*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, const GUID*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(OLECHAR**, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDropTarget(void*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, OLECHAR*, OLECHAR**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FilterDataObject(void*, void**) override { return E_NOTIMPL; }

protected:
    virtual ~TDocHostUIHandlerImpl() = default;
};

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
