// The program's entry on Linux: the locale, GTK, the application object, InitInstance.
#include "framework/app.h"

#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    // WebKit's accelerated compositing costs memory and buys nothing for these pages.
    g_setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", FALSE);
    gtk_init(&argc, &argv);
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return 1;
    }
    AfxWinInit(pApp, AfxJoinCommandLine(argc - 1, argv + 1));
    pApp->InitInstance();
    return 0;
}
