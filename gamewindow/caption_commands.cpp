// The game window's caption buttons: their creation, the clicks on the frame, their commands, the
// cache clearing and the confirmed close.
#include "gamewindow/htmlbrowser_dlg.h"

#include "gamewindow/resource_image_loader.h"

#include "app/drelk_client_app.h"
#include "launcher/close_question.h"
#include "launcher/operator_pages.h"
#include "launcher/process_launch.h"
#include "settings/client_config.h"

#include "framework/browser.h"
#include "framework/codepage.h"
#include "framework/url_cache.h"
#include "res/resource.h"

#include <cstdlib>

BOOL ChtmlbrowserDlg::OnNcCreate(LPCREATESTRUCT lpCreateStruct) {
    if (!CDHtmlDialog::OnNcCreate(lpCreateStruct)) {
        return FALSE;
    }
    AddCaptionButton(CRect(), nullptr, this, m_vecCaptionImages[2], IDC_CAPTION_CLOSE);
    AddCaptionButton(CRect(), nullptr, this, m_vecCaptionImages[1], IDC_CAPTION_MAXIMIZE);
    AddCaptionButton(CRect(), nullptr, this, m_vecCaptionImages[0], IDC_CAPTION_MINIMIZE);
    Gdi::Image* pFace = CResourceImageLoader::Instance()->GetImage(IDB_CAPTION_TEXT);
    AddCaptionButton(CRect(), AfxAnsiText(u"官网").c_str(), this, pFace, IDC_CAPTION_HOME);
    AddCaptionButton(CRect(), AfxAnsiText(u"充值").c_str(), this, pFace, IDC_CAPTION_CHARGE);
    AddCaptionButton(CRect(), AfxAnsiText(u"清理").c_str(), this, pFace, IDC_CAPTION_CLEAN);
    AddCaptionButton(CRect(), AfxAnsiText(u"刷新").c_str(), this, pFace, IDC_CAPTION_REFRESH);
    // Their places, from the right edge, as every later size gives them.
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    LayoutCaptionButtons(rcWindow.Width());
    return TRUE;
}

CDUIButton* ChtmlbrowserDlg::AddCaptionButton(const CRect& rect, const char* pszText, CWnd* pOwner,
                                              Gdi::Image* pImage, int nID) {
    CDUIButton button;
    button.m_rect = rect;
    button.m_strText = pszText != nullptr ? pszText : "";
    button.m_pImage = pImage;
    button.m_nStateCount = 3;
    button.m_nID = nID;
    button.m_pOwner = pOwner;
    m_mapButtons[nID] = button;
    return &m_mapButtons[nID];
}

void ChtmlbrowserDlg::OnNcLButtonDown(UINT, CPoint point) {
    const CPoint pt = WindowPoint(point);
    CRect rcButton;
    const int nID = ButtonFromPoint(pt, rcButton);
    if (nID != -1) {
        MakePressed(m_mapButtons[nID]);
        OnNcPaint();
        return;
    }
    if (m_rcIcon.PtInRect(pt)) {
        if (CMenu* pMenu = GetSystemMenu(FALSE)) {
            pMenu->TrackPopupMenu(0, point.x, point.y, this);
        }
        return;
    }
    Default();
}

void ChtmlbrowserDlg::OnNcLButtonUp(UINT, CPoint point) {
    CRect rcButton;
    const int nID = ButtonFromPoint(WindowPoint(point), rcButton);
    switch (nID) {
    case -1:
        Default();
        break;
    case IDC_CAPTION_HOME:
        OpenSettingInShell("home");
        break;
    case IDC_CAPTION_CHARGE:
        OpenSettingInShell("charge");
        break;
    case IDC_CAPTION_REFRESH:
        NavigateTo(static_cast<CDrelkClientApp*>(AfxGetApp())->m_strGameUrl);
        break;
    case IDC_CAPTION_CLEAN:
        if (MessageBox(AfxAnsiText(u"确定清理浏览器缓存？").c_str(), AfxAnsiText(u"清理提示").c_str(),
                       MB_YESNO) == IDYES) {
            ClearBrowserCache();
        }
        break;
    case IDC_CAPTION_CLOSE:
        SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case IDC_CAPTION_MAXIMIZE:
        SendMessage(WM_SYSCOMMAND, IsZoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    case IDC_CAPTION_MINIMIZE:
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    default:
        break;
    }
}

void ChtmlbrowserDlg::OnNcLButtonDblClk(UINT, CPoint point) {
    const CPoint pt = WindowPoint(point);
    CRect rcButton;
    const int nID = ButtonFromPoint(pt, rcButton);
    if (nID != -1) {
        MakePressed(m_mapButtons[nID]);
    } else {
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        if (pt.x >= 0 && pt.x < rcWindow.Width() && pt.y >= 0 && pt.y < m_nCaptionHeight) {
            ShowWindow(IsZoomed() ? SW_RESTORE : SW_SHOWMAXIMIZED);
        }
    }
    OnNcPaint();
}

void ChtmlbrowserDlg::NavigateTo(std::string strAddress) {
    if (AfxIsWebAddress(strAddress)) {
        Navigate(strAddress.c_str(), 0, nullptr, nullptr, nullptr, 0);
    }
}

void ChtmlbrowserDlg::ClearBrowserCache() {
    INTERNET_CACHE_ENTRY_INFOA* pEntry = nullptr;
    DWORD dwSize = 4096;
    HURLCACHEFIND hFind = nullptr;
    DWORD dwLastError = ERROR_INSUFFICIENT_BUFFER;
    for (;;) {
        BOOL bSucceeded = FALSE;
        if (dwLastError == 0) {
            if ((pEntry->CacheEntryType & COOKIE_CACHE_ENTRY) == 0) {
                AfxDeleteUrlCacheEntry(pEntry->lpszSourceUrlName);
            }
            DWORD dwBufferSize = dwSize;
            bSucceeded = AfxFindNextUrlCacheEntry(hFind, pEntry, &dwBufferSize);
            dwSize = bSucceeded ? dwSize : dwBufferSize;
        } else if (dwLastError == ERROR_INSUFFICIENT_BUFFER) {
            std::free(pEntry);
            pEntry = static_cast<INTERNET_CACHE_ENTRY_INFOA*>(std::malloc(dwSize));
            if (pEntry == nullptr) {
                break;
            }
            pEntry->dwStructSize = dwSize;
            DWORD dwBufferSize = dwSize;
            if (hFind == nullptr) {
                hFind = AfxFindFirstUrlCacheEntry(nullptr, pEntry, &dwBufferSize);
                bSucceeded = hFind != nullptr;
            } else {
                bSucceeded = AfxFindNextUrlCacheEntry(hFind, pEntry, &dwBufferSize);
            }
            dwSize = bSucceeded ? dwSize : dwBufferSize;
        } else {
            break;
        }
        dwLastError = bSucceeded ? 0 : AfxGetLastError();
    }
    std::free(pEntry);
    if (hFind != nullptr) {
        AfxFindCloseUrlCache(hFind);
    }
}

void ChtmlbrowserDlg::OnClose() {
    if (AskToLeaveTheGame(*this)) {
        RelaunchLauncher();
        CDialog::OnCancel();
    }
}
