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
    const BYTE* pData;
    std::size_t nSize;
};

// lpType is a type name ("PNG") or one of RT_BITMAP, RT_GROUP_ICON.
bool AfxFindResource(UINT nID, const char* lpType, const BYTE*& pData, std::size_t& nSize);

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
