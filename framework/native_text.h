// The host operating system's character converter for code pages other than UTF-8.
// Implemented once per host OS (iconv on Linux, the Win32 conversion functions on Windows) and linked
// into every program and test of that OS, whatever its window backend.
#pragma once

#include "framework/windefs.h"

#include <string>
#include <string_view>

// Converts one complete character of the code page to UTF-16. False when it has no counterpart.
bool AfxNativeCharToUtf16(UINT nCodePage, std::string_view strChar, std::u16string& strOut);

// Converts one Unicode code point to the code page. False when it has no counterpart.
bool AfxNativeCodePointToChar(UINT nCodePage, char32_t codePoint, std::string& strOut);
