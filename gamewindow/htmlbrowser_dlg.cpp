#include "gamewindow/htmlbrowser_dlg.h"

#include "gamewindow/resource_image_loader.h"

#include "app/drelk_client_app.h"
#include "launcher/process_launch.h"
#include "settings/client_config.h"

#include "framework/codepage.h"
#include "framework/url_cache.h"
#include "res/resource.h"

#include <cstdlib>

namespace {

constexpr int kLogoWidth = 218;
constexpr int kEndCapWidth = 50;

// The caption buttons' places: x of the left and right edges from the window's right edge.
struct CCaptionPlace {
    int nID;
    int nLeftFromRight;
    int nRightFromRight;
};
constexpr CCaptionPlace kCaptionPlaces[] = {
    {IDC_CAPTION_MINIMIZE, 74, 54}, {IDC_CAPTION_MAXIMIZE, 52, 32}, {IDC_CAPTION_CLOSE, 30, 10},
    {IDC_CAPTION_HOME, 265, 225},   {IDC_CAPTION_CHARGE, 220, 180}, {IDC_CAPTION_CLEAN, 175, 135},
    {IDC_CAPTION_REFRESH, 130, 90},
};
constexpr int kCaptionButtonTop = 10;
constexpr int kCaptionButtonBottom = 30;

} // namespace

ChtmlbrowserDlg::ChtmlbrowserDlg()
    : CDHtmlDialog(IDD_HTMLBROWSER, 0, nullptr), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)), m_nCaptionHeight(39),
      m_nBorderWidth(3), m_pSkinImage(nullptr), m_nHotButton(-1), m_bTracking(FALSE),
      m_pageRecovery(this, "game page", [this](const std::string& strUrl) {
          Navigate(strUrl.c_str(), 0, nullptr, nullptr, nullptr, 0);
      }) {
    for (int nID : {IDB_CAPTION_MINIMIZE, IDB_CAPTION_MAXIMIZE, IDB_CAPTION_CLOSE}) {
        m_vecCaptionImages.push_back(CResourceImageLoader::Instance()->GetImage(nID));
    }
    m_pSkinImage = CResourceImageLoader::Instance()->GetImage(IDB_SKIN);
    m_rcIcon = CRect(15, 13, 15 + AfxGetSystemMetrics(SM_CXSMICON), 13 + AfxGetSystemMetrics(SM_CYSMICON));
}

ChtmlbrowserDlg::~ChtmlbrowserDlg() = default;

BOOL ChtmlbrowserDlg::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, TRUE);
    EnableAutomation();
    m_bUseHtmlTitle = TRUE;
    m_pBrowserApp->put_Silent(VARIANT_TRUE);
    m_pageRecovery.Start(m_hwndBrowser);
    NavigateTo(static_cast<CDrelkClientApp*>(AfxGetApp())->m_strGameUrl);
    ShowWindow(SW_SHOWMAXIMIZED);
    return TRUE;
}

BOOL ChtmlbrowserDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        AfxDispatchMessage(pMsg);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void ChtmlbrowserDlg::OnOK() {}
void ChtmlbrowserDlg::OnCancel() {}
BOOL ChtmlbrowserDlg::CanAccessExternal() { return TRUE; }
HCURSOR ChtmlbrowserDlg::OnQueryDragIcon() { return m_hIcon; }
int ChtmlbrowserDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CDHtmlDialog::OnCreate(lpCreateStruct);
}

BOOL ChtmlbrowserDlg::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) {
    if (idCtrl == AFX_IDC_BROWSER) {
        const CEventParams params(pParams);
        switch (dispid) {
        case DISPID_NAVIGATEERROR:
            if (m_pageRecovery.OnNavigateError(params.Dispatch(0), BrowserEventText(params.VariantRef(1)),
                                               BrowserEventStatus(params.VariantRef(3)))) {
                if (VARIANT_BOOL* pCancel = params.BoolRef(4)) {
                    *pCancel = VARIANT_TRUE;
                }
            }
            return TRUE;
        case DISPID_PAGEPROCESSENDED:
            m_pageRecovery.OnPageProcessEnded();
            return TRUE;
        case DISPID_BEFORENAVIGATE2:
            m_pageRecovery.OnBeforeNavigate2(BrowserEventText(params.VariantRef(1)));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            m_pageRecovery.OnDocumentComplete(params.Dispatch(0), BrowserEventText(params.VariantRef(1)));
            break;
        default:
            break;
        }
    }
    return CDHtmlDialog::OnEvent(idCtrl, dispid, pParams);
}

void ChtmlbrowserDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kPageRetryTimer) {
        m_pageRecovery.OnTimer(nIDEvent);
        return;
    }
    CDHtmlDialog::OnTimer(nIDEvent);
}

void ChtmlbrowserDlg::OnDestroy() {
    m_pageRecovery.Stop();
    CDHtmlDialog::OnDestroy();
}

LRESULT ChtmlbrowserDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNetworkAvailableMessage) {
        m_pageRecovery.OnNetworkAvailable();
        return 0;
    }
    if (message == WM_UNINITMENUPOPUP) {
        OnNcPaint();
        return CDHtmlDialog::WindowProc(message, wParam, lParam);
    }
    if (message == WM_NCUAHDRAWCAPTION || message == WM_NCUAHDRAWFRAME) {
        OnNcPaint();
        return 0;
    }
    return CDHtmlDialog::WindowProc(message, wParam, lParam);
}

void ChtmlbrowserDlg::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) {
    if (!bCalcValidRects) {
        return;
    }
    RECT& r = lpncsp->rgrc[0];
    if (r.left > 0 || r.right > 0 || r.top > 0 || r.bottom > 0) {
        r.top += m_nCaptionHeight;
        r.left += m_nBorderWidth;
        r.right -= m_nBorderWidth;
        r.bottom -= m_nBorderWidth;
        return;
    }
    Default();
}

void ChtmlbrowserDlg::OnNcPaint() {
    CWindowDC dc(this);
    if (m_pSkinImage == nullptr) {
        return;
    }
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int W = rcWindow.Width();
    const int H = rcWindow.Height();
    CRect rcClient;
    GetClientRect(&rcClient);
    rcClient.OffsetRect(m_nBorderWidth, m_nCaptionHeight);
    dc.ExcludeClipRect(&rcClient);

    CDC memoryDC;
    memoryDC.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, W, H);
    CBitmap* pOldBitmap = memoryDC.SelectObject(&bitmap);
    memoryDC.SetBkMode(TRANSPARENT);
    {
        Gdi::Graphics graphics(memoryDC.GetSafeHdc());
        const float SW = static_cast<float>(m_pSkinImage->GetWidth());
        const float SH = static_cast<float>(m_pSkinImage->GetHeight());
        const float fW = static_cast<float>(W);
        const float fH = static_cast<float>(H);
        const float c = static_cast<float>(m_nCaptionHeight);
        const float b = static_cast<float>(m_nBorderWidth);
        const float fLogo = static_cast<float>(kLogoWidth);
        const float fCap = static_cast<float>(kEndCapWidth);
        const auto slice = [&](Gdi::RectF dst, float sx, float sy, float sw, float sh) {
            graphics.DrawImage(m_pSkinImage, dst, sx, sy, sw, sh, Gdi::UnitPixel);
        };
        slice(Gdi::RectF(0, fH - b, fW, b), c, SH - b, b, b);            // bottom border
        slice(Gdi::RectF(fW - c, fH - c, c, c), SW - c, SH - c, c, c);   // bottom-right corner
        slice(Gdi::RectF(0, fH - c, c, c), 0, SH - c, c, c);             // bottom-left corner
        slice(Gdi::RectF(0, c, b, fH - 2 * c), 0, c, b, b);              // left border
        slice(Gdi::RectF(fW - b, c, b, fH - 2 * c), SW - b, c, b, b);    // right border
        slice(Gdi::RectF(0, 0, fW, c), fLogo, 0, 1, c);                  // caption background
        slice(Gdi::RectF(0, 0, fLogo, c), 0, 0, fLogo, c);               // logo
        slice(Gdi::RectF(fW - fCap, 0, fCap, c), SW - fCap, 0, fCap, c); // right end cap

        if (const auto hSmallIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL, 0))) {
            memoryDC.DrawIconEx(m_rcIcon.left, m_rcIcon.top, hSmallIcon, m_rcIcon.Width(), m_rcIcon.Height());
        }
        const std::string strTitle = GetWindowText();
        if (!strTitle.empty()) {
            const Gdi::Font font(u"宋体", -12, 700);
            Gdi::StringFormat format;
            format.SetFormatFlags(Gdi::StringFormatFlagsNoWrap);
            format.SetAlignment(Gdi::StringAlignmentNear);
            format.SetLineAlignment(Gdi::StringAlignmentNear);
            const Gdi::SolidBrush brush(0xFFFFFFFF);
            graphics.DrawString(AfxCodePageToUtf16(CP_ACP, strTitle), &font, Gdi::RectF(97, 15, 0, 0),
                                &format, &brush);
        }
        CRect rcClip;
        dc.GetClipBox(&rcClip);
        for (auto& [nID, button] : m_mapButtons) {
            CRect rcCommon;
            if (rcClip.IsRectEmpty() || rcCommon.IntersectRect(button.m_rect, rcClip)) {
                button.Draw(graphics);
            }
        }
    }
    dc.BitBlt(0, 0, W, H, &memoryDC, 0, 0, SRCCOPY);
    dc.SelectClipRgn(nullptr);
    memoryDC.SelectObject(pOldBitmap);
    bitmap.DeleteObject();
    memoryDC.DeleteDC();
}

void ChtmlbrowserDlg::LayoutCaptionButtons(int nWidth) {
    for (const CCaptionPlace& place : kCaptionPlaces) {
        auto it = m_mapButtons.find(place.nID);
        if (it != m_mapButtons.end()) {
            it->second.m_rect = CRect(nWidth - place.nLeftFromRight, kCaptionButtonTop,
                                      nWidth - place.nRightFromRight, kCaptionButtonBottom);
        }
    }
}

int ChtmlbrowserDlg::ButtonFromPoint(CPoint pt, CRect& rcButton) const {
    for (const auto& [nID, button] : m_mapButtons) {
        if (button.m_rect.PtInRect(pt)) {
            rcButton = button.m_rect;
            return button.m_nID;
        }
    }
    return -1;
}

CPoint ChtmlbrowserDlg::WindowPoint(CPoint ptScreen) const {
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    return CPoint(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
}

LRESULT ChtmlbrowserDlg::OnNcHitTest(CPoint point) {
    const CPoint pt = WindowPoint(point);
    CRect rcButton;
    switch (ButtonFromPoint(pt, rcButton)) {
    case IDC_CAPTION_CLOSE:
        return HTCLOSE;
    case IDC_CAPTION_MAXIMIZE:
        return HTMAXBUTTON;
    case IDC_CAPTION_MINIMIZE:
        return HTMINBUTTON;
    case -1:
        if (m_rcIcon.PtInRect(pt)) {
            return HTSYSMENU;
        }
        return CDHtmlDialog::OnNcHitTest(point);
    default:
        return CDHtmlDialog::OnNcHitTest(point);
    }
}

void ChtmlbrowserDlg::Invalidate(CDUIButton& button) {
    // The rectangle is in window coordinates, read as client ones: the frame itself is not repainted.
    if (button.m_pOwner != nullptr) {
        button.m_pOwner->InvalidateRect(&button.m_rect, TRUE);
    }
}

void ChtmlbrowserDlg::MakeHot(CDUIButton& button) {
    if (!button.m_bDisabled) {
        button.m_bHot = TRUE;
        Invalidate(button);
    }
}

void ChtmlbrowserDlg::MakePressed(CDUIButton& button) {
    if (!button.m_bDisabled) {
        button.m_bPressed = TRUE;
        Invalidate(button);
    }
}

void ChtmlbrowserDlg::ResetButton(CDUIButton& button) {
    if (!button.m_bDisabled) {
        button.m_bPressed = FALSE;
        button.m_bHot = FALSE;
        Invalidate(button);
    }
}

void ChtmlbrowserDlg::OnNcMouseMove(UINT nHitTest, CPoint point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0};
        m_bTracking = AfxTrackMouseEvent(&track);
    }
    if ((nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT) || nHitTest == HTCAPTION) {
        Default();
    }
    CRect rcButton;
    const int nID = ButtonFromPoint(WindowPoint(point), rcButton);
    if (nID == m_nHotButton) {
        return;
    }
    if (m_nHotButton != -1) {
        ResetButton(m_mapButtons[m_nHotButton]);
        m_nHotButton = -1;
    }
    if (nID != -1) {
        m_nHotButton = nID;
        MakeHot(m_mapButtons[nID]);
    }
    OnNcPaint();
}

void ChtmlbrowserDlg::OnNcMouseLeave() {
    m_bTracking = FALSE;
    if (m_nHotButton != -1) {
        ResetButton(m_mapButtons[m_nHotButton]);
        m_nHotButton = -1;
    }
}

void ChtmlbrowserDlg::OnSize(UINT nType, int cx, int cy) {
    CDHtmlDialog::OnSize(nType, cx, cy);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (nType != SIZE_MINIMIZED && nType != SIZE_MAXHIDE) {
        m_rgnWindow.DeleteObject();
        m_rgnWindow.CreateRoundRectRgn(0, 0, rcWindow.Width() + 1, rcWindow.Height() + 1, 5, 5);
        SetWindowRgn(m_rgnWindow, TRUE);
    }
    LayoutCaptionButtons(rcWindow.Width());
    if (nType == SIZE_RESTORED || nType == SIZE_MAXIMIZED) {
        OnNcPaint();
    }
}

void ChtmlbrowserDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if (nID != SC_CLOSE) {
        OnNcPaint();
    }
    CDHtmlDialog::OnSysCommand(nID, lParam);
}

BOOL ChtmlbrowserDlg::OnNcActivate(BOOL) {
    OnNcPaint();
    return TRUE;
}

void ChtmlbrowserDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CDHtmlDialog::OnActivate(nState, pWndOther, bMinimized);
    OnNcPaint();
}

void ChtmlbrowserDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
    lpMMI->ptMinTrackSize.y = m_nBorderWidth + m_nCaptionHeight;
    Default();
}
