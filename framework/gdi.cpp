// The portable half of the drawing classes: context objects for handles, the window contexts.
#include "framework/gdi.h"

#include "framework/window_system.h"
#include "framework/wnd.h"

#include <map>
#include <memory>

namespace {

std::map<HDC, CDC*>& AttachedContexts() {
    static std::map<HDC, CDC*> s_contexts;
    return s_contexts;
}

std::map<HDC, std::unique_ptr<CDC>>& TemporaryContexts() {
    static std::map<HDC, std::unique_ptr<CDC>> s_contexts;
    return s_contexts;
}

} // namespace

CDC::~CDC() {
    if (m_bOwned) {
        DeleteDC();
    } else {
        Detach();
    }
}

CDC* CDC::FromHandle(HDC hDC) {
    if (hDC == nullptr) {
        return nullptr;
    }
    if (auto it = AttachedContexts().find(hDC); it != AttachedContexts().end()) {
        return it->second;
    }
    std::unique_ptr<CDC>& pTemporary = TemporaryContexts()[hDC];
    if (!pTemporary) {
        pTemporary = std::make_unique<CDC>();
        pTemporary->m_hDC = hDC; // not attached: the handle stays its maker's
    }
    return pTemporary.get();
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = hDC;
    AttachedContexts()[hDC] = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    if (auto it = AttachedContexts().find(hDC); it != AttachedContexts().end() && it->second == this) {
        AttachedContexts().erase(it);
    }
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

void AfxDeleteTemporaryObjects() { TemporaryContexts().clear(); }

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    HDC hDC = AfxCreateMemoryDC(pDC != nullptr ? pDC->m_hDC : nullptr);
    if (hDC == nullptr) {
        return FALSE;
    }
    Attach(hDC);
    m_bOwned = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    const bool bOwned = m_bOwned;
    HDC hDC = Detach();
    if (bOwned) {
        AfxDeleteMemoryDC(hDC);
    }
    m_pSelected = nullptr;
    return TRUE;
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(AfxGetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() { AfxReleaseDC(m_hWnd, Detach()); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(AfxBeginPaint(m_hWnd));
}

CPaintDC::~CPaintDC() { AfxEndPaint(m_hWnd, Detach()); }

CMemoryStream* AfxCreateMemoryStream() { return new CMemoryStream; }
