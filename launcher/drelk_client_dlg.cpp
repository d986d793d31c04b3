#include "launcher/drelk_client_dlg.h"

#include "launcher/controllers_dlg.h"

#include "framework/resources.h"
#include "res/resource.h"

bool g_bControlsCreated = false;

namespace {
constexpr int kBackdropWidth = 1024;
constexpr int kBackdropHeight = 635;
} // namespace

CDrelkClientDlg::CDrelkClientDlg()
    : CDialog(IDD_DRELKCLIENT_DIALOG, nullptr), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)) {}

CDrelkClientDlg::~CDrelkClientDlg() { m_image.Destroy(); }

void CDrelkClientDlg::OnSysCommand(UINT nID, LPARAM lParam) { CDialog::OnSysCommand(nID, lParam); }

int CDrelkClientDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (!g_bControlsCreated) {
        m_pControls = new CControllersDlg;
        m_pControls->Create(IDD_CONTROLLERS, this);
        g_bControlsCreated = true;
    }
    return CDialog::OnCreate(lpCreateStruct);
}

void CDrelkClientDlg::OnMove(int x, int y) {
    PlaceControlsOverBackdrop();
    CDialog::OnMove(x, y);
}

void CDrelkClientDlg::PlaceControlsOverBackdrop() {
    CRect rect;
    GetWindowRect(&rect);
    if (m_pControls != nullptr) {
        m_pControls->MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        m_pControls->InvalidateRect(nullptr, FALSE);
    }
}

void DrawMinimizedIcon(CWnd* pWnd, HICON hIcon) {
    CPaintDC dc(pWnd);
    pWnd->SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    pWnd->GetClientRect(&rect);
    const int x = (rect.Width() - AfxGetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.Height() - AfxGetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, hIcon);
}

void CDrelkClientDlg::OnPaint() {
    if (IsIconic()) {
        DrawMinimizedIcon(this, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CDrelkClientDlg::OnQueryDragIcon() { return m_hIcon; }

LRESULT CDrelkClientDlg::OnNcHitTest(CPoint point) {
    const LRESULT nHit = CDialog::OnNcHitTest(point);
    return nHit == HTCLIENT ? HTCAPTION : nHit;
}

BOOL CDrelkClientDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN)) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CDrelkClientDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    ModifyStyleEx(0, WS_EX_LAYERED);

    const BYTE* pBytes = nullptr;
    std::size_t nSize = 0;
    if (AfxFindResource(IDB_BACKDROP, "PNG", pBytes, nSize)) {
        if (CMemoryStream* pStream = AfxCreateMemoryStream()) {
            pStream->SetSize(nSize);
            pStream->Write(pBytes, nSize);
            m_image.Load(pStream);
            pStream->Release();
        }
    }
    UpdateLayeredBackdrop();
    // The picture gave the backdrop its size without moving it. The centring that follows moves it,
    // and the controls window with it, only where the centre is not where the window already is: on a
    // work area at (0, 0) lower or narrower than the picture it stays put, so the controls window
    // takes the backdrop's final rectangle here.
    PlaceControlsOverBackdrop();
    if (m_pControls != nullptr) {
        m_pControls->ShowWindow(SW_SHOW);
    }
    return TRUE;
}

void CDrelkClientDlg::UpdateLayeredBackdrop() {
    CDC* pWindowDC = GetDC();
    CDC memoryDC;
    memoryDC.CreateCompatibleDC(pWindowDC);
    CBitmap surface;
    surface.CreateDIBSection(kBackdropWidth, kBackdropHeight);
    CBitmap* pOldBitmap = memoryDC.SelectObject(&surface);
    m_image.Draw(memoryDC, 0, 0);

    POINT ptSource{0, 0};
    SIZE size{kBackdropWidth, kBackdropHeight};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(pWindowDC, nullptr, &size, &memoryDC, &ptSource, 0, &blend, ULW_ALPHA);

    memoryDC.SelectObject(pOldBitmap);
    surface.DeleteObject();
    memoryDC.DeleteDC();
    ReleaseDC(pWindowDC);
}
