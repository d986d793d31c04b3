// CExplorer1: the window wrapper of the WebBrowser control, calling its members by dispatch id.
#pragma once

#include "framework/browser.h"
#include "framework/wnd.h"

class CExplorer1 : public CWnd {
public:
    // Hosts the WebBrowser control; the class name is not used.
    virtual BOOL Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);

    void Navigate(const char* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                  VARIANT* Headers);
    void Stop();
    IDispatch* get_Document(); // the caller owns the reference; null without a document
    void put_Visible(BOOL newValue);
    void put_Silent(BOOL newValue);
};
