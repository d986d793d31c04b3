// CDialog: a window built from a dialog template of the program's resources, run modally (DoModal)
// or modeless (Create).
#pragma once

#include "framework/wnd.h"

struct CDialogTemplate;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches rControl to the dialog item nIDC (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog, runs it until EndDialog or the quit message and destroys it. The result is
    // EndDialog's, or -1 when the loop ended otherwise.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless, owned by pParentWnd's window.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The dialog manager's keys: Enter is IDOK, Escape is IDCANCEL.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL CreateFromTemplate(CWnd* pOwner);

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

private:
    void CreateHostedItems();
    const CDialogTemplate* m_pCreatingTemplate = nullptr;
    CRect m_rectBeforeInit; // where the window was when WM_INITDIALOG came
};

// Centres a window on the primary screen's work area, then pushes it back inside it.
void AfxCenterOnWorkArea(CWnd* pWnd);
