// Windows names and values used by the framework's public API and the system's code.
//
// On Windows they are the native headers' own: this header includes <windows.h>, so the order in
// which a file includes it and the native headers does not matter. Elsewhere the definitions below
// give the same names the same values and layouts.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#endif

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
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_NO_MORE_ITEMS 259L

// Handles: distinct opaque pointer types, as the native headers declare them.
struct HWND__ {
    int unused;
};
typedef HWND__* HWND;
struct HICON__ {
    int unused;
};
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HBRUSH__ {
    int unused;
};
typedef HBRUSH__* HBRUSH;
struct HDC__ {
    int unused;
};
typedef HDC__* HDC;
struct HBITMAP__ {
    int unused;
};
typedef HBITMAP__* HBITMAP;
struct HRGN__ {
    int unused;
};
typedef HRGN__* HRGN;
typedef DWORD COLORREF;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;
typedef POINT* LPPOINT;
typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG;

typedef struct tagCREATESTRUCTA {
    void* lpCreateParams;
    void* hInstance;
    void* hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;
typedef CREATESTRUCTA* LPCREATESTRUCT;

typedef struct tagDRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    UINT_PTR itemData;
} DRAWITEMSTRUCT;
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

typedef struct _BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} BLENDFUNCTION;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)((WORD)(l) | ((DWORD)((WORD)(h)) << 16)))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)((WORD)(h)) << 16)))
#define MAKEINTRESOURCEA(i) ((const char*)((UINT_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((UINT_PTR)(r)) >> 16) == 0)

// Window messages
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_SETTEXT 0x000C
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ICONERASEBKGND 0x0027
#define WM_DRAWITEM 0x002B
#define WM_QUERYDRAGICON 0x0037
#define WM_GETMINMAXINFO 0x0024
#define WM_GETICON 0x007F
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCACTIVATE 0x0086
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCLBUTTONDBLCLK 0x00A3
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_UNINITMENUPOPUP 0x0125
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_NCMOUSELEAVE 0x02A2
#define WM_MOUSELEAVE 0x02A3
#define WM_USER 0x0400
#define WM_APP 0x8000

// Hit-test codes
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTMINBUTTON 8
#define HTMAXBUTTON 9
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTTOPLEFT 13
#define HTTOPRIGHT 14
#define HTBOTTOM 15
#define HTBOTTOMLEFT 16
#define HTBOTTOMRIGHT 17
#define HTBORDER 18
#define HTCLOSE 20

// System commands
#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// Keys
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

// Show commands (the rest)
#define SW_MINIMIZE 6

// Dialog and message-box results, message-box types
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#define MB_OK 0x00000000L
#define MB_YESNO 0x00000004L
#define MB_ICONSTOP 0x00000010L
#define MB_ICONERROR MB_ICONSTOP

// Button notifications, styles and owner-draw states
#define BN_CLICKED 0
#define BS_PUSHBUTTON 0x00000000L
#define BS_OWNERDRAW 0x0000000BL
#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001
#define ODS_SELECTED 0x0001
#define ODS_FOCUS 0x0010

// Window styles
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_LAYERED 0x00080000L
#define DS_SETFONT 0x40L
#define DS_FIXEDSYS 0x0008L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)

// Layered windows
#define LWA_COLORKEY 0x00000001
#define LWA_ALPHA 0x00000002
#define ULW_COLORKEY 0x00000001
#define ULW_ALPHA 0x00000002
#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

// Icons and metrics
#define ICON_SMALL 0
#define ICON_BIG 1
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SPI_GETWORKAREA 0x0030

// DIB sections
#define BI_RGB 0L
#define DIB_RGB_COLORS 0

// Sizes, activation, leave tracking, menus
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define SIZE_MAXSHOW 3
#define SIZE_MAXHIDE 4
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define TME_LEAVE 0x00000002
#define TME_NONCLIENT 0x00000010
#define TPM_LEFTALIGN 0x0000L
#define MF_STRING 0x00000000L
#define DI_NORMAL 0x0003
#define TRANSPARENT 1

typedef struct tagNCCALCSIZE_PARAMS {
    RECT rgrc[3];
    void* lppos;
} NCCALCSIZE_PARAMS;

typedef struct tagMINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
} MINMAXINFO;

typedef struct tagTRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
} TRACKMOUSEEVENT;

// Resource types
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

#endif // _WINDOWS_

// Names the native headers do not spell out (or only in <windowsx.h>, whose macros would rename
// framework members such as CWnd::SubclassWindow).
#ifndef GET_X_LPARAM
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#endif
#ifndef WM_NCUAHDRAWCAPTION
#define WM_NCUAHDRAWCAPTION 0x00AE // the themed caption's redraw request
#endif
#ifndef WM_NCUAHDRAWFRAME
#define WM_NCUAHDRAWFRAME 0x00AF
#endif
#ifndef ICC_WIN95_CLASSES
#define ICC_WIN95_CLASSES 0x000000FF // <commctrl.h>
#endif
