// BSTRs off Windows: a 32-bit byte length before the characters, and a terminating zero.
#include "framework/com.h"

#include <cstdlib>
#include <cstring>

BSTR WsSysAllocString(std::u16string_view text) {
    auto* pBlock = static_cast<char*>(std::malloc(sizeof(DWORD) + (text.size() + 1) * sizeof(OLECHAR)));
    if (pBlock == nullptr) {
        return nullptr;
    }
    const DWORD nBytes = static_cast<DWORD>(text.size() * sizeof(OLECHAR));
    std::memcpy(pBlock, &nBytes, sizeof(nBytes));
    auto* pText = reinterpret_cast<OLECHAR*>(pBlock + sizeof(DWORD));
    for (std::size_t i = 0; i < text.size(); ++i) {
        pText[i] = static_cast<OLECHAR>(text[i]);
    }
    pText[text.size()] = 0;
    return pText;
}

void WsSysFreeString(BSTR bstr) {
    if (bstr != nullptr) {
        std::free(reinterpret_cast<char*>(bstr) - sizeof(DWORD));
    }
}

std::u16string WsBstrText(BSTR bstr) {
    if (bstr == nullptr) {
        return {};
    }
    DWORD nBytes = 0;
    std::memcpy(&nBytes, reinterpret_cast<char*>(bstr) - sizeof(DWORD), sizeof(nBytes));
    std::u16string text(nBytes / sizeof(OLECHAR), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(bstr[i]);
    }
    return text;
}
