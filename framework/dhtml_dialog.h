// CDHtmlDialog: a dialog whose client area is a browser, in the shape of the classic framework's.
#pragma once

#include "framework/browser.h"
#include "framework/dialog.h"

#define AFX_IDC_BROWSER 0xE800

// The part of the browser's IWebBrowser2 the program uses.
class CWebBrowserApp {
public:
    explicit CWebBrowserApp(HWND hBrowser) : m_hBrowser(hBrowser) {}
    HRESULT put_Silent(VARIANT_BOOL bSilent);
    HWND m_hBrowser;
};

class CDHtmlHostUIHandler;

class CDHtmlDialog : public CDialog {
public:
    CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID = 0, CWnd* pParentWnd = nullptr);
    ~CDHtmlDialog() override;

    // Creates the browser over the client area.
    BOOL OnInitDialog() override;
    void Navigate(const char* lpszURL, DWORD dwFlags = 0, const char* lpszTargetFrameName = nullptr,
                  const char* lpszHeaders = nullptr, void* lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    // Whether page scripts may use the host's automation object. No backend hands a page any host
    // object, whatever the answer.
    virtual BOOL CanAccessExternal();
    void EnableAutomation() { m_bAutomationEnabled = TRUE; }
    BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) override;

    // The page title becomes the window text after each completed document.
    BOOL m_bUseHtmlTitle = FALSE;
    CWebBrowserApp* m_pBrowserApp = nullptr;
    BOOL m_bAutomationEnabled = FALSE;
    // What the dialog's document host asks of the browser: the classic defaults, no 3-D border and
    // no scroll bars (the page still scrolls).
    DWORD m_dwHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;

protected:
    void OnSize(UINT nType, int cx, int cy) override;
    HWND m_hwndBrowser = nullptr;

private:
    CDHtmlHostUIHandler* m_pHostUIHandler = nullptr;
};
