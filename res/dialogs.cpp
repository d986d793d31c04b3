// The dialog templates, described once for every backend.
#include "framework/resources.h"
#include "res/resource.h"

namespace {
constexpr DWORD kOwnerDrawButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
}

const std::vector<CDialogTemplate> g_dialogTemplates = {
    // The launcher backdrop: its size is replaced by the picture's during initialisation.
    {IDD_DRELKCLIENT_DIALOG,
     WS_POPUP | WS_VISIBLE | WS_SYSMENU,
     WS_EX_APPWINDOW,
     0,
     0,
     319,
     200,
     "MS Shell Dlg",
     9,
     "",
     {}},
    // The launcher's controls: its real size is always the backdrop's.
    {IDD_CONTROLLERS,
     WS_POPUP,
     0,
     0,
     0,
     416,
     252,
     "MS Shell Dlg",
     8,
     "",
     {{IDC_BTN_CLOSE, "Button", kOwnerDrawButton, 390, 7, 21, 20},
      {IDC_EXPLORER1, "WebBrowser", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 210, 60, 200, 185},
      {IDC_BTN_FORUM, "Button", kOwnerDrawButton, 281, 28, 69, 19},
      {IDC_BTN_CHARGE, "Button", kOwnerDrawButton, 422, 28, 69, 19},
      {IDC_BTN_HOME, "Button", kOwnerDrawButton, 211, 28, 69, 19},
      {IDC_BTN_SERVICE, "Button", kOwnerDrawButton, 352, 28, 69, 19}}},
    // The game window: opened maximised; this is its restored size.
    {IDD_HTMLBROWSER,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT |
         DS_FIXEDSYS,
     WS_EX_APPWINDOW,
     0,
     0,
     836,
     428,
     "MS Shell Dlg",
     8,
     "Drelk",
     {}},
};
