// The program's resources: pictures and dialog templates, found by id and type.
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#include <cstddef>
#include <string>
#include <vector>

struct CResourceEntry {
    UINT nID;
    const char* pszType; // "PNG", "BITMAP", "ICON" or "HTML"
    UINT nScale;         // 1; 2 for a picture drawn at twice the size, for a display at scale 2
    const BYTE* pData;
    std::size_t nSize;
};

// lpType is a type name ("PNG") or one of RT_BITMAP, RT_GROUP_ICON. Always the version drawn in the
// program's own pixels.
bool AfxFindResource(UINT nID, const char* lpType, const BYTE*& pData, std::size_t& nSize);
// The version of a picture for a display of nScale device pixels per pixel of the program: the one
// drawn for that scale if there is one, otherwise the largest version whose scale divides nScale
// (so that the caller enlarges it by a whole factor, nScale / nFoundScale), at least the 1x one.
// A scale below 1 is taken as 1. Only Linux has versions beyond 1x (on Windows one pixel is one
// device pixel).
bool AfxFindResourceForScale(UINT nID, const char* lpType, int nScale, const BYTE*& pData, std::size_t& nSize,
                             int& nFoundScale);

// A dialog item: class "Button", "WebBrowser" (the browser control) or "Static".
struct CDialogItemTemplate {
    UINT nID;
    const char* pszClass;
    DWORD dwStyle;
    int x, y, cx, cy; // dialog units
};

struct CDialogTemplate {
    UINT nID;
    DWORD dwStyle;
    DWORD dwExStyle;
    int x, y, cx, cy; // dialog units
    const char* pszFont;
    int nPointSize;
    const char* pszTitle;
    std::vector<CDialogItemTemplate> items; // in creation and tab order
};

const CDialogTemplate* AfxFindDialogTemplate(UINT nID);
// Dialog units to pixels for the template's font.
CRect AfxDialogUnitsToPixels(const CDialogTemplate& dialog, int x, int y, int cx, int cy);

// Provided by res/: every embedded resource and dialog template.
extern const CResourceEntry g_resourceTable[];
extern const std::size_t g_nResourceCount;
extern const std::vector<CDialogTemplate> g_dialogTemplates;
