// The program's entry on Linux: the locale, GTK, the application object, InitInstance.
//
// Realises: the framework's entry point (AfxWinInit with the joined command line, InitInstance inside
// the dispatch boundary). Does not realise: restart registration (a player starts the launcher again).
#include "framework/app.h"
#include "framework/emulated/surfaces.h"
#include "framework/exception.h"
#include "framework/resources.h"
#include "framework/startup_trace.h"

#include <gtk/gtk.h>

#include <malloc.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// The program's pictures are decoded on the second core while GTK and WebKit start on this one.
void DecodePicturesAhead() {
    std::vector<std::pair<const BYTE*, std::size_t>> pictures;
    for (std::size_t i = 0; i < g_nResourceCount; ++i) {
        pictures.emplace_back(g_resourceTable[i].pData, g_resourceTable[i].nSize);
    }
    AfxDecodeAhead(pictures);
}

} // namespace

int main(int argc, char** argv) {
    AfxTraceStartup("main");
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
    AfxCallAtBoundary(nullptr, [pApp] { pApp->InitInstance(); });
    return 0;
}
