// Reading the parameters of a hosted control's events.
#include "framework/browser.h"

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
