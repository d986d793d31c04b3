// Windows names and values used by the framework's public API and the system's code.
//
// On Windows the native headers carry the same names. A backend translation unit that includes
// <windows.h> must include it before any framework header: the definitions below are then skipped
// and the native ones (with identical values) are used.
#pragma once

#include <cstdint>
#include <type_traits>

// Fixed-size integers with the Windows layouts: DWORD and LONG are 32 bits on every platform
// (unsigned long on LLP64 Windows, unsigned int on LP64 Linux), so the same source compiles to the
// same layout and, on Windows, to the same mangled names as the native headers.
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef std::conditional_t<sizeof(long) == 4, unsigned long, unsigned int> DWORD;
typedef std::conditional_t<sizeof(long) == 4, long, int> LONG;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t DWORD_PTR;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef LONG HRESULT;

#ifndef _WINDOWS_

#define TRUE 1
#define FALSE 0

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME;

// Code pages
#define CP_ACP 0
#define CP_UTF8 65001

// Show commands
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMAXIMIZED 3
#define SW_SHOW 5
#define SW_RESTORE 9

// Error codes
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_NO_MORE_ITEMS 259L

#endif // _WINDOWS_
