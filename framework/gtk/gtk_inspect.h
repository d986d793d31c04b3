// What tests of the GTK realisation read of a window's native side: the widget that shows a window,
// and the web views' data store. Read on the GTK thread; nothing here changes a window.
#pragma once

#include "framework/windefs.h"

#include <gtk/gtk.h>

typedef struct _WebKitWebsiteDataManager WebKitWebsiteDataManager;

// The GtkWindow of a top-level window, the widget of a child (the WebKitWebView of a browser item);
// null for a window that has none (or no longer exists).
GtkWidget* GtkInspectWidget(HWND hWnd);
// The data manager every web view of the process keeps its caches and cookies in.
WebKitWebsiteDataManager* GtkInspectWebsiteData();
