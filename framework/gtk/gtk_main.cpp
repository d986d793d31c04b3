// The program's entry on Linux: the locale, GTK, the application object, InitInstance.
//
// Window-system checklist (the same names open every realisation's main file; x = realised):
//   [x] windows       top-level and child windows, owners, styles, text, focus
//   [x] messages      send, post, dispatch, the quit message, PreTranslateMessage
//   [x] dialogs       from the framework's templates, their items, modal loops, EndDialog
//   [x] non-client    WM_NCCALCSIZE, WM_NCHITTEST, WM_NCPAINT, non-client mouse and leave
//   [x] painting      WM_PAINT, InvalidateRect (client area), UpdateWindow, window and client DCs
//   [x] layered       colour key, per-pixel alpha (UpdateLayeredWindow)
//   [x] regions       a window's shape (SetWindowRgn)
//   [x] input         mouse press, release, move, double-click, keys, move and size drags
//   [x] states        maximise, minimise, restore, activation, the system menu
//   [x] timers        WM_TIMER, the network's return
//   [x] drawing       DCs, bitmaps, BitBlt, AlphaBlend, icons, clipping; Gdi:: images and text
//   [x] resources     dialog templates, bitmaps, pictures, icons, HTML pages
//   [x] browser       the WebBrowser item: calls, events 250 / 259 / 271, title, UI handler, own pages
//   [x] page process  the page's process ending (DISPID_PAGEPROCESSENDED)
//   [x] desktop       message boxes, shell open, work area, system metrics
//   [x] URL cache     the browser's cache entries, enumerated and deleted
// Differences:
//   - non-client: WM_NCCALCSIZE is asked when the frame is recalculated (SWP_FRAMECHANGED), not at
//     creation; the default hit test answers HTCAPTION for the whole caption band.
//   - non-client: WM_NCPAINT is never sent; a window paints its frame itself (CWindowDC) and the
//     model shows that surface.
//   - layered: without a compositor (Xvfb) the see-through pixels come from the window's shape.
//   - browser: WebKitGTK behind the model's control; NavigateError and the 30-s bound are the model's.
//   - geometry: a window the player cannot size has fixed size hints, and a configure event of another
//     size than the asked one (a window manager's step on the way) does not reach the system.
//   - URL cache: WebKit keeps its cache per site, filled only by loading: no entry is made by address.
//
// Realises: the framework's entry point (AfxWinInit with the joined command line, InitInstance inside
// the dispatch boundary, the crash reporter, the run's first and last log lines). Does not realise: restart
// registration (a player starts the launcher again).
#include "framework/app.h"
#include "framework/crash_reports.h"
#include "framework/emulated/surfaces.h"
#include "framework/exception.h"
#include "framework/run_log.h"
#include "framework/resources.h"
#include "framework/startup_trace.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <malloc.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// The display scale the windows will most likely have, before GTK can say: the player's GDK_SCALE.
UINT LikelyDisplayScale() {
    const char* pszScale = g_getenv("GDK_SCALE");
    const int nScale = pszScale != nullptr ? std::atoi(pszScale) : 1;
    return nScale > 1 ? static_cast<UINT>(nScale) : 1;
}

// The program's pictures are decoded on the second core while GTK and WebKit start on this one:
// the 1x versions, which the system's own pixels always need, and those drawn for the likely display
// scale. A decoded picture nobody asks for would be kept to the end, so no other version is.
void DecodePicturesAhead() {
    const UINT nLikelyScale = LikelyDisplayScale();
    std::vector<std::pair<const BYTE*, std::size_t>> pictures;
    for (std::size_t i = 0; i < g_nResourceCount; ++i) {
        const CResourceEntry& entry = g_resourceTable[i];
        if (entry.nScale == 1 || entry.nScale == nLikelyScale) {
            pictures.emplace_back(entry.pData, entry.nSize);
        }
    }
    ModelDecodeAhead(pictures);
}

// "Linux, GTK 3.24.38, WebKitGTK 2.44.2, GdkX11Display"
std::string PlatformText() {
    char szText[160];
    GdkDisplay* pDisplay = gdk_display_get_default();
    std::snprintf(szText, sizeof(szText), "Linux, GTK %u.%u.%u, WebKitGTK %u.%u.%u, %s",
                  gtk_get_major_version(), gtk_get_minor_version(), gtk_get_micro_version(),
                  webkit_get_major_version(), webkit_get_minor_version(), webkit_get_micro_version(),
                  pDisplay != nullptr ? G_OBJECT_TYPE_NAME(pDisplay) : "no display");
    return szText;
}

// The primary monitor: "1280 x 800, work area 0,0 1280 x 800, scale 1"
std::string ScreenText() {
    GdkDisplay* pDisplay = gdk_display_get_default();
    GdkMonitor* pMonitor = pDisplay != nullptr ? gdk_display_get_primary_monitor(pDisplay) : nullptr;
    if (pMonitor == nullptr && pDisplay != nullptr) {
        pMonitor = gdk_display_get_monitor(pDisplay, 0);
    }
    if (pMonitor == nullptr) {
        return "unknown";
    }
    GdkRectangle geometry{};
    GdkRectangle work{};
    gdk_monitor_get_geometry(pMonitor, &geometry);
    gdk_monitor_get_workarea(pMonitor, &work);
    char szText[160];
    std::snprintf(szText, sizeof(szText), "%d x %d, work area %d,%d %d x %d, scale %d", geometry.width,
                  geometry.height, work.x, work.y, work.width, work.height,
                  gdk_monitor_get_scale_factor(pMonitor));
    return szText;
}

} // namespace

int main(int argc, char** argv) {
    AfxTraceStartup("main");
    AfxInstallCrashReporter(AfxGetRunLog().CrashReportPath(AfxCrashReportSuffix()));
    // Window-sized pictures come and go during start-up (decoded, copied, drawn for the shapes).
    // glibc raises its mmap threshold after the first such block is freed, and later ones then stay
    // in the heap once freed; a fixed threshold hands each one back to the system.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    DecodePicturesAhead();
    std::setlocale(LC_ALL, "");
    // WebKit's accelerated compositing costs memory and buys nothing for these pages.
    g_setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", FALSE);
    // The desktop matches the windows to the entry named after the program's id: by that id (the
    // Wayland app id) or by the X11 class, which stays Drelk (the entry's StartupWMClass).
    g_set_prgname(DRELK_APP_ID);
    // The launcher's two windows stay together only where a program places its windows: on a Wayland
    // session that is XWayland. A GDK_BACKEND the player set still decides.
    if (g_getenv("GDK_BACKEND") == nullptr) {
        gdk_set_allowed_backends("x11,*");
    }
    if (!gtk_init_check(&argc, &argv)) {
        const char* pszDisplay = g_getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open the X display %s\n", argc > 0 ? argv[0] : "drelk",
                     pszDisplay != nullptr && *pszDisplay != '\0' ? pszDisplay : "(DISPLAY is not set)");
        return 1;
    }
    gdk_set_program_class("Drelk");
    AfxTraceStartup("gtk-ready");
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return 1;
    }
    AfxWinInit(pApp, AfxJoinCommandLine(argc - 1, argv + 1));
    AfxLogRunStart(PlatformText(), ScreenText());
    AfxCallAtBoundary(nullptr, [pApp] { pApp->InitInstance(); });
    AfxLogRunEnd(0);
    return 0;
}
