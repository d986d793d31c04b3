// BSTRs on Windows: the system's own (SysAllocStringLen), so they can cross into real COM calls.
#include "framework/com.h"

BSTR AfxSysAllocString(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

void AfxSysFreeString(BSTR bstr) { SysFreeString(bstr); }

std::u16string AfxBstrText(BSTR bstr) {
    if (bstr == nullptr) {
        return {};
    }
    return std::u16string(reinterpret_cast<const char16_t*>(bstr), SysStringLen(bstr));
}
