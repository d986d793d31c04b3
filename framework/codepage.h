// Code-page aware handling of the system's 8-bit strings.
//
// Every string of the system is 8-bit text in the process code page: the ANSI code page on Windows,
// the locale's charset (UTF-8) on Linux. Searches must never report a match that starts on the trail
// byte of a double-byte character. Supported multibyte rules: UTF-8 (65001) and GBK (936); every
// other code page is treated as single-byte.
#pragma once

#include "framework/windefs.h"

#include <cstddef>
#include <string>
#include <string_view>

// The process code page (never CP_ACP). Provided by the linked backend.
UINT AfxGetProcessCodePage();

// Resolves CP_ACP to the process code page; every other value is returned unchanged.
UINT AfxResolveCodePage(UINT nCodePage);

// True when the byte starts a multibyte character in the code page.
bool AfxIsLeadByte(UINT nCodePage, unsigned char byte);

// Length in bytes (at least 1) of the character that starts at nOffset. A lead byte without a
// valid continuation counts as a character of its own, as does any stray byte.
std::size_t AfxCharLength(UINT nCodePage, std::string_view text, std::size_t nOffset);

// Offset of the first occurrence of strWhat in strText that begins on a character boundary,
// or std::string_view::npos. An empty strWhat matches at 0.
std::size_t AfxFindString(UINT nCodePage, std::string_view strText, std::string_view strWhat);

// Offset of the last single-byte character ch in strText (trail bytes of double-byte characters are
// skipped), or std::string_view::npos.
std::size_t AfxFindLastChar(UINT nCodePage, std::string_view strText, char ch);

// Conversions between UTF-16 and 8-bit text. Invalid or unconvertible input never fails: each
// malformed sequence, lone surrogate or character without a counterpart becomes '?'.
std::string AfxUtf16ToCodePage(UINT nCodePage, std::u16string_view strText);
std::u16string AfxCodePageToUtf16(UINT nCodePage, std::string_view strText);

// A text of the program, written in UTF-16, in the process code page.
inline std::string AfxAnsiText(std::u16string_view strText) { return AfxUtf16ToCodePage(CP_ACP, strText); }
