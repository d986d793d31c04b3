// The GTK realisation's inspection API for tests, read from the windows' native side.
#include "framework/gtk/gtk_inspect.h"

#include "framework/gtk/gtk_backend.h"

GtkWidget* GtkInspectWidget(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    return pNative != nullptr ? pNative->pWidget : nullptr;
}

WebKitWebsiteDataManager* GtkInspectWebsiteData() { return GtkWebsiteDataManager(); }
