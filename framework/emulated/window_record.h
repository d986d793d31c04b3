// What the window model keeps for a window behind its handle. Only the model's own files
// (framework/emulated/*.cpp) read and write a record; display backends and tests go through the
// Model... functions of window_core.h.
#pragma once

#include "framework/emulated/window_core.h"
#include "framework/resources.h"

#include <memory>
#include <string>
#include <vector>

class CBrowserControl;

struct CWindowRecord : HWND__ {
    CWnd* pWnd = nullptr;           // the attached object; null for a plain item
    std::unique_ptr<CWnd> pWrapper; // the plain object GetDlgItem handed out for an item without one
    std::string strClass;           // "#32770" (dialog), "Button", "WebBrowser"
    std::string strText;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    UINT nID = 0;
    CRect rcWindow;  // screen coordinates for a top-level window, parent client coordinates for a child
    CRect rcClient;  // the client area in window coordinates, as WM_NCCALCSIZE answered
    CRect rcRestore; // a maximised window's restored rectangle
    HWND hParent = nullptr; // a child's parent
    HWND hOwner = nullptr;  // a top-level window's owner
    std::vector<HWND> children;
    bool bVisible = false;
    bool bIconic = false;
    bool bZoomed = false;
    bool bDestroyed = false;
    HICON hIconBig = nullptr;
    HICON hIconSmall = nullptr;
    // Layered windows: a colour key, or a per-pixel-alpha surface.
    bool bColorKey = false;
    COLORREF crKey = 0;
    // The DIB's bytes, as UpdateLayeredWindow was given them (the GTK backend premultiplies them in
    // place for showing).
    CSurfaceRef layeredSurface;
    // Buttons: pushed while the mouse button is held over it.
    bool bPushed = false;
    bool bTrackingPress = false;
    // Dialogs.
    const CDialogTemplate* pTemplate = nullptr;
    bool bDialogEnded = false;
    INT_PTR nDialogResult = -1;
    // A hosted control (the browser), owned by the record.
    std::unique_ptr<CBrowserControl> pControl;
    // Painting: the surface a WM_PAINT draws into; the frame a window paints itself (WM_NCPAINT).
    HDC hPaintDC = nullptr;
    CRect rcInvalid; // the part of the client area marked for the next paint (client coordinates)
    CSurfaceRef frameSurface;
    // The window's shape: a rounded rectangle (window coordinates), when set.
    bool bHasRegion = false;
    CRect rcRegion;
    int nRegionEllipse = 0;
    bool bTrackingLeave = false; // a non-client leave report was asked for
    bool bActive = false;
    void* pNative = nullptr; // the backend's data

    bool IsTopLevel() const { return hParent == nullptr; }
    CRect ScreenRect() const; // the window rectangle in screen coordinates
};

// The record of a live window, or null.
CWindowRecord* ModelGetRecord(HWND hWnd);
