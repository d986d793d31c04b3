// The public calls of com.h, on the window system's.
#include "framework/com.h"

#include "framework/window_system.h"

BSTR AfxSysAllocString(std::u16string_view text) { return WsSysAllocString(text); }
void AfxSysFreeString(BSTR bstr) { WsSysFreeString(bstr); }
std::u16string AfxBstrText(BSTR bstr) { return WsBstrText(bstr); }
