// Windows that paint their own frame, and the browser cache.
//
// Realises: the frame surface shown as painted (clipped to the window's shape), the rounded shape as
// bounding and input shape (set when it changes), resize drags, maximise/minimise/restore, the system
// menu as a GTK popup, the URL cache as WebKit's website data (cookies and storage kept).
// Does not realise: a shape other than a rounded rectangle, menu items other than the system's four.
#include "framework/gtk/gtk_backend.h"

#include "framework/emulated/display_backend.h"

#include <webkit2/webkit2.h>

#include <memory>
#include <optional>

namespace {

constexpr const char* kWebCacheEntry = "drelk-web-cache:all";
constexpr const char* kCookieEntry = "Cookie:drelk-web-cookies";

GdkWindowEdge EdgeOf(int nHitTest) {
    switch (nHitTest) {
    case HTLEFT:
        return GDK_WINDOW_EDGE_WEST;
    case HTRIGHT:
        return GDK_WINDOW_EDGE_EAST;
    case HTTOP:
        return GDK_WINDOW_EDGE_NORTH;
    case HTTOPLEFT:
        return GDK_WINDOW_EDGE_NORTH_WEST;
    case HTTOPRIGHT:
        return GDK_WINDOW_EDGE_NORTH_EAST;
    case HTBOTTOM:
        return GDK_WINDOW_EDGE_SOUTH;
    case HTBOTTOMLEFT:
        return GDK_WINDOW_EDGE_SOUTH_WEST;
    default:
        return GDK_WINDOW_EDGE_SOUTH_EAST;
    }
}

// The window's shape as the model's row spans.
cairo_region_t* RoundedRegion(const CRect& rect, int nEllipse) {
    cairo_region_t* pRegion = cairo_region_create();
    for (int y = rect.top; y < rect.bottom; ++y) {
        const CRect span = ModelShapeRow(rect, nEllipse, y);
        const cairo_rectangle_int_t row{span.left, y, span.Width(), 1};
        if (row.width > 0) {
            cairo_region_union_rectangle(pRegion, &row);
        }
    }
    return pRegion;
}

void OnMenuItem(GtkMenuItem*, gpointer pData) {
    auto* pChoice = static_cast<UINT*>(g_object_get_data(G_OBJECT(pData), "drelk-choice"));
    *pChoice = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(pData), "drelk-command"));
}

} // namespace

void BackendBeginResizeDrag(HWND hWnd, int nHitTest, CPoint ptScreen) {
    if (CGtkWindow* pNative = GtkNative(hWnd); pNative != nullptr && ModelIsTopLevel(hWnd)) {
        gtk_window_begin_resize_drag(GTK_WINDOW(pNative->pWidget), EdgeOf(nHitTest), 1, ptScreen.x,
                                     ptScreen.y, gtk_get_current_event_time());
    }
}

cairo_region_t* GtkWindowRegion(HWND hWnd) {
    const std::optional<CWindowRegion> region = ModelRegion(hWnd);
    return region ? RoundedRegion(region->rect, region->nEllipse) : nullptr;
}

void BackendFrameChanged(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative != nullptr && ModelIsTopLevel(hWnd)) {
        gtk_widget_queue_draw(pNative->pWidget);
    }
}

void BackendShapeChanged(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr || !ModelIsTopLevel(hWnd)) {
        return;
    }
    if (cairo_region_t* pRegion = GtkWindowRegion(hWnd)) {
        // The bounding shape as well as the input shape, with or without a compositor: a window manager
        // frames the bounding shape, and a press outside it would reach the frame (a move in openbox).
        gtk_widget_shape_combine_region(pNative->pWidget, pRegion);
        gtk_widget_input_shape_combine_region(pNative->pWidget, pRegion);
        cairo_region_destroy(pRegion);
    }
    gtk_widget_queue_draw(pNative->pWidget);
}

void BackendStateChanged(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr || !ModelIsTopLevel(hWnd) || !ModelIsVisible(hWnd)) {
        return;
    }
    GtkWindow* pWindow = GTK_WINDOW(pNative->pWidget);
    if (ModelIsIconic(hWnd)) {
        gtk_window_iconify(pWindow);
        return;
    }
    gtk_window_deiconify(pWindow);
    ModelIsZoomed(hWnd) ? gtk_window_maximize(pWindow) : gtk_window_unmaximize(pWindow);
}

UINT BackendTrackSystemMenu(HWND hWnd, CPoint) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr) {
        return 0;
    }
    const bool bIconic = ModelIsIconic(hWnd);
    const bool bZoomed = ModelIsZoomed(hWnd);
    UINT nChoice = 0;
    GtkWidget* pMenu = gtk_menu_new();
    const struct {
        const char* pszLabel;
        UINT nCommand;
        bool bEnabled;
    } items[] = {{"还原", SC_RESTORE, bZoomed || bIconic},
                 {"最小化", SC_MINIMIZE, !bIconic},
                 {"最大化", SC_MAXIMIZE, !bZoomed},
                 {"关闭", SC_CLOSE, true}};
    for (const auto& item : items) {
        GtkWidget* pItem = gtk_menu_item_new_with_label(item.pszLabel);
        gtk_widget_set_sensitive(pItem, item.bEnabled);
        g_object_set_data(G_OBJECT(pItem), "drelk-choice", &nChoice);
        g_object_set_data(G_OBJECT(pItem), "drelk-command", GUINT_TO_POINTER(item.nCommand));
        g_signal_connect(pItem, "activate", GtkGuarded<OnMenuItem>(), pItem);
        gtk_menu_shell_append(GTK_MENU_SHELL(pMenu), pItem);
    }
    gtk_widget_show_all(pMenu);
    gtk_menu_attach_to_widget(GTK_MENU(pMenu), pNative->pWidget, nullptr);
    GMainLoop* pLoop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect_swapped(pMenu, "deactivate", G_CALLBACK(g_main_loop_quit), pLoop);
    GdkEvent* pTrigger = gtk_get_current_event();
    gtk_menu_popup_at_pointer(GTK_MENU(pMenu), pTrigger);
    if (pTrigger != nullptr) {
        gdk_event_free(pTrigger);
    }
    if (gtk_widget_get_visible(pMenu)) {
        g_main_loop_run(pLoop);
    }
    // Let the chosen item's activation arrive (it follows the deactivation).
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_main_loop_unref(pLoop);
    gtk_widget_destroy(pMenu);
    return nChoice;
}

namespace {

// Clears the data of the given types and waits (bounded) for the data manager to finish.
bool ClearWebsiteData(WebKitWebsiteDataTypes types) {
    // Shared with the completion, which may come after a wait that gave up.
    auto* pDone = new std::shared_ptr<bool>(std::make_shared<bool>(false));
    const std::shared_ptr<bool> bDone = *pDone;
    webkit_website_data_manager_clear(
        GtkWebsiteDataManager(), types, 0, nullptr,
        [](GObject* pSource, GAsyncResult* pResult, gpointer pData) {
            auto* pFlag = static_cast<std::shared_ptr<bool>*>(pData);
            webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(pSource), pResult, nullptr);
            **pFlag = true;
            delete pFlag;
        },
        pDone);
    // A timer wakes the wait at its end, whatever else happens.
    GSource* pWake = g_timeout_source_new_seconds(10);
    g_source_set_callback(
        pWake, [](gpointer) { return gboolean(G_SOURCE_REMOVE); }, nullptr, nullptr);
    g_source_attach(pWake, nullptr);
    const gint64 nDeadline = g_get_monotonic_time() + 10 * G_TIME_SPAN_SECOND;
    while (!*bDone && g_get_monotonic_time() < nDeadline) {
        g_main_context_iteration(nullptr, TRUE);
    }
    g_source_destroy(pWake);
    g_source_unref(pWake);
    return *bDone;
}
} // namespace

// The web view's cache shows as two entries: everything but the cookies, and the cookies.
std::vector<CUrlCacheEntry> BackendUrlCacheEntries() {
    return {{kWebCacheEntry, NORMAL_CACHE_ENTRY, 0}, {kCookieEntry, COOKIE_CACHE_ENTRY, 0}};
}

bool BackendDeleteUrlCacheEntry(const std::string& strUrl) {
    if (strUrl != kWebCacheEntry) {
        return false;
    }
    // What the platform's URL cache holds, and no more: cookies, local and session storage, IndexedDB,
    // Web SQL and service-worker registrations (a game's saved data) stay.
    const auto types = static_cast<WebKitWebsiteDataTypes>(
        WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE |
        WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE | WEBKIT_WEBSITE_DATA_DOM_CACHE);
    // The network process may still be writing entries of the last load when the first pass runs;
    // a second pass removes what those writes left.
    const bool bCleared = ClearWebsiteData(types) && ClearWebsiteData(types);
    GtkCachesCleared();
    return bCleared;
}
