// CDUIButton: a windowless button its owner draws into its frame: one slice of a state strip,
// scaled into the button, and an optional caption centred on it.
#pragma once

#include "framework/geometry.h"
#include "framework/graphics.h"
#include "framework/wnd.h"

#include <string>

class CDUIButton {
public:
    CDUIButton() = default;
    CDUIButton(const CDUIButton&) = default;
    CDUIButton& operator=(const CDUIButton&) = default;
    virtual ~CDUIButton() = default;

    // Draws the slice of the current state and the caption onto the owner's surface.
    virtual void Draw(Gdi::Graphics& graphics);

    CRect m_rect;
    BOOL m_bHot = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bDisabled = FALSE;
    Gdi::Image* m_pImage = nullptr; // not owned
    UINT m_nStateCount = 1;         // slices left to right: normal, hot, pressed, disabled
    int m_nID = 0;
    CWnd* m_pOwner = nullptr; // not owned
    std::string m_strText;    // process code page
};

// The slice Draw uses for the flags (0 normal, 1 hot, 2 pressed, 3 disabled).
UINT SelectButtonSlice(BOOL bHot, BOOL bPressed, BOOL bDisabled, UINT nStateCount);
