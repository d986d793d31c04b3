// COM on Windows: BSTRs are the system's own (SysAllocStringLen), so they can cross into real COM
// calls; and the interface ids the system names that mingw-w64's uuid library lacks.
#include "framework/com.h"

extern "C" const IID IID_ICustomDoc = {
    0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
extern "C" const IID IID_IDocHostUIHandler2 = {
    0x3050F6D0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

BSTR WsSysAllocString(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

void WsSysFreeString(BSTR bstr) { SysFreeString(bstr); }

std::u16string WsBstrText(BSTR bstr) {
    if (bstr == nullptr) {
        return {};
    }
    return std::u16string(reinterpret_cast<const char16_t*>(bstr), SysStringLen(bstr));
}
