// The Win32 converters for code pages other than UTF-8.
#include <windows.h>

#include "framework/window_system.h"

bool WsNativeCharToUtf16(UINT nCodePage, std::string_view strChar, std::u16string& strOut) {
    wchar_t buffer[8];
    const int nLength = MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, strChar.data(),
                                            static_cast<int>(strChar.size()), buffer, 8);
    if (nLength <= 0) {
        return false;
    }
    strOut.append(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(nLength));
    return true;
}

bool WsNativeCodePointToChar(UINT nCodePage, char32_t codePoint, std::string& strOut) {
    wchar_t wide[2];
    int nWide = 1;
    if (codePoint >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        nWide = 2;
    } else {
        wide[0] = static_cast<wchar_t>(codePoint);
    }
    char buffer[16];
    BOOL bUsedDefault = FALSE;
    const int nLength = WideCharToMultiByte(nCodePage, WC_NO_BEST_FIT_CHARS, wide, nWide, buffer,
                                            sizeof(buffer), nullptr, &bUsedDefault);
    if (nLength <= 0 || bUsedDefault) {
        return false;
    }
    strOut.append(buffer, static_cast<std::size_t>(nLength));
    return true;
}
