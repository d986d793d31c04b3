// The GTK window system: each top-level window is an undecorated GtkWindow holding a GtkFixed; a
// button is a GtkDrawingArea in it. Per-pixel alpha and colour keys are shown with an RGBA visual
// plus shapes built from the pixels. Native input becomes the framework's messages.
//
// Realised: top-level and owned windows (transient, kept above their owner), moves from the window
// manager (WM_MOVE), painting by WM_PAINT, layered surfaces and colour keys (bounding and input
// shapes, with or without a compositor), presses routed by WM_NCHITTEST (HTCAPTION starts a
// move drag past the drag threshold), keys through PreTranslateMessage, message boxes as modal
// dialogs, shell open through the desktop's default handler, the work area.
// Not realised: minimised icons drawn by the program (the window manager shows its own).
#include "framework/gtk/gtk_backend.h"

#include "framework/codepage.h"
#include "framework/startup_trace.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <cstring>
#include <optional>
#include <vector>

// A GtkFixed whose size is the window's own, whatever its children's positions (a browser parked
// outside the window must not make the window grow).
struct DrelkFixed {
    GtkFixed parent;
};
struct DrelkFixedClass {
    GtkFixedClass parentClass;
};
G_DEFINE_TYPE(DrelkFixed, drelk_fixed, GTK_TYPE_FIXED)

namespace {

void NoPreferredSize(GtkWidget*, gint* pMinimum, gint* pNatural) { *pMinimum = *pNatural = 1; }

} // namespace

static void drelk_fixed_class_init(DrelkFixedClass* pClass) {
    GTK_WIDGET_CLASS(pClass)->get_preferred_width = NoPreferredSize;
    GTK_WIDGET_CLASS(pClass)->get_preferred_height = NoPreferredSize;
}

static void drelk_fixed_init(DrelkFixed*) {}

namespace {

constexpr const char* kWindowKey = "drelk-window";

void SetTopLevelSize(HWND hWnd, CGtkWindow* pNative) {
    const CRect rect = ModelWindowRect(hWnd);
    const int nWidth = std::max(1, rect.Width());
    const int nHeight = std::max(1, rect.Height());
    if (!ModelIsSizable(hWnd)) {
        // The smallest and largest size are the asked one: no window manager squeezes the window, and
        // tiling ones float it.
        GdkGeometry hints{};
        hints.min_width = hints.max_width = nWidth;
        hints.min_height = hints.max_height = nHeight;
        gtk_window_set_geometry_hints(GTK_WINDOW(pNative->pWidget), nullptr, &hints,
                                      GdkWindowHints(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
    }
    gtk_window_resize(GTK_WINDOW(pNative->pWidget), nWidth, nHeight);
}

struct CPendingDrag {
    HWND hWnd = nullptr;
    CPoint ptStart;
    guint32 nTime = 0;
};
CPendingDrag g_drag;

// A colour-keyed window's content as the window system shows it: key pixels see-through. The
// painted pixels are opaque, so they are cairo's as they are.
void ApplyColourKey(cairo_surface_t* pSurface, COLORREF crKey) {
    const std::uint32_t nKey = 0xFF000000u | (std::uint32_t(GetRValue(crKey)) << 16) |
                               (std::uint32_t(GetGValue(crKey)) << 8) | GetBValue(crKey);
    cairo_surface_flush(pSurface);
    unsigned char* pData = cairo_image_surface_get_data(pSurface);
    const int nStride = cairo_image_surface_get_stride(pSurface);
    const int nWidth = cairo_image_surface_get_width(pSurface);
    for (int y = 0; y < cairo_image_surface_get_height(pSurface); ++y) {
        auto* pRow = reinterpret_cast<std::uint32_t*>(pData + y * nStride);
        for (int x = 0; x < nWidth; ++x) {
            if ((pRow[x] | 0xFF000000u) == nKey) {
                pRow[x] = 0;
            }
        }
    }
    cairo_surface_mark_dirty(pSurface);
}

// The region of the pixels with some alpha, as row spans.
cairo_region_t* OpaqueRegion(cairo_surface_t* pSurface) {
    cairo_region_t* pRegion = cairo_region_create();
    cairo_surface_flush(pSurface);
    const unsigned char* pData = cairo_image_surface_get_data(pSurface);
    const int nStride = cairo_image_surface_get_stride(pSurface);
    const int nWidth = cairo_image_surface_get_width(pSurface);
    for (int y = 0; y < cairo_image_surface_get_height(pSurface); ++y) {
        const auto* pRow = reinterpret_cast<const std::uint32_t*>(pData + y * nStride);
        int x = 0;
        while (x < nWidth) {
            while (x < nWidth && (pRow[x] >> 24) == 0) {
                ++x;
            }
            const int nStart = x;
            while (x < nWidth && (pRow[x] >> 24) != 0) {
                ++x;
            }
            if (x > nStart) {
                const cairo_rectangle_int_t span{nStart, y, x - nStart, 1};
                cairo_region_union_rectangle(pRegion, &span);
            }
        }
    }
    return pRegion;
}

// The content of a colour-keyed window as shown (key pixels transparent), or empty.
CSurfaceRef KeyedContent(HWND hWnd) {
    const CRect rect = ModelWindowRect(hWnd);
    CSurfaceRef surface = ModelCreateSurface(rect.Width(), rect.Height());
    if (surface) {
        ModelPaintWindow(hWnd, surface);
        if (const std::optional<COLORREF> key = ModelColorKey(hWnd)) {
            ApplyColourKey(surface.Get(), *key);
        }
    }
    return surface;
}

// What a layered window shows: the copy of its DIB that the window keeps, premultiplied in place
// when it changed. Nothing on this window system reads its straight colours again (the shape needs
// only the alpha, which stays), and a converted copy beside it would hold another 2.5 MiB.
cairo_surface_t* ShownLayeredSurface(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    const CSurfaceRef layered = ModelLayeredSurface(hWnd);
    if (pNative->premultiplied.Get() != layered.Get()) {
        ModelPremultiplyInPlace(layered.Get());
        pNative->premultiplied = layered;
    }
    return pNative->premultiplied.Get();
}

CPoint RootPoint(double x, double y) { return CPoint(static_cast<int>(x), static_cast<int>(y)); }

// The start-up trace's name for a top-level window.
const char* TraceKind(HWND hWnd) { return ModelLayeredSurface(hWnd) ? "layered" : "plain"; }

gboolean OnMapEvent(GtkWidget*, GdkEvent*, gpointer pData) {
    if (const HWND hWnd = static_cast<HWND>(pData); ModelIsWindow(hWnd)) {
        AfxTraceStartup("map", TraceKind(hWnd));
    }
    return FALSE;
}

// Work waiting for the first paint of every shown top-level window. It is looked at when the loop
// is idle (the windows are shown by then, even when the work was asked for while they were being
// made) and after each first paint; past the patience it runs whatever the windows' state.
std::vector<std::function<void()>> g_afterFirstPaint;
guint g_nAfterPaintSource = 0;
guint g_nAfterPaintTimeout = 0;
bool g_bPatienceOver = false;

bool ShownWindowsPainted() {
    bool bPainted = true;
    GList* pList = gtk_window_list_toplevels();
    for (GList* p = pList; p != nullptr && bPainted; p = p->next) {
        const HWND hWnd = GtkWindowOfWidget(GTK_WIDGET(p->data));
        bPainted =
            hWnd == nullptr || !ModelIsVisible(hWnd) || ModelIsIconic(hWnd) || GtkNative(hWnd)->bPainted;
    }
    g_list_free(pList);
    return bPainted;
}

gboolean RunAfterFirstPaint(gpointer) {
    g_nAfterPaintSource = 0;
    if (!g_bPatienceOver && !ShownWindowsPainted()) {
        return G_SOURCE_REMOVE; // a first paint looks again
    }
    if (g_nAfterPaintTimeout != 0) {
        g_source_remove(g_nAfterPaintTimeout);
        g_nAfterPaintTimeout = 0;
    }
    g_bPatienceOver = false;
    std::vector<std::function<void()>> work;
    work.swap(g_afterFirstPaint);
    for (const std::function<void()>& fnWork : work) {
        AfxCallAtBoundary(nullptr, fnWork);
    }
    return G_SOURCE_REMOVE;
}

// Never inside a paint: the check runs when the loop is next idle.
void ScheduleAfterFirstPaint() {
    if (g_nAfterPaintSource == 0 && !g_afterFirstPaint.empty()) {
        g_nAfterPaintSource = g_idle_add(RunAfterFirstPaint, nullptr);
    }
}

gboolean OnAfterPaintTimeout(gpointer) {
    g_nAfterPaintTimeout = 0;
    g_bPatienceOver = true;
    ScheduleAfterFirstPaint();
    return G_SOURCE_REMOVE;
}

gboolean OnDraw(GtkWidget*, cairo_t* pCairo, gpointer pData) {
    const HWND hWnd = static_cast<HWND>(pData);
    if (!ModelIsWindow(hWnd)) {
        return FALSE;
    }
    if (ModelIsTopLevel(hWnd) && !GtkNative(hWnd)->bPainted) {
        GtkNative(hWnd)->bPainted = true;
        AfxTraceStartup("draw", TraceKind(hWnd));
        ScheduleAfterFirstPaint();
    }
    cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
    if (ModelLayeredSurface(hWnd)) {
        cairo_set_source_surface(pCairo, ShownLayeredSurface(hWnd), 0, 0);
        cairo_paint(pCairo);
        return FALSE;
    }
    if (const CSurfaceRef frame = ModelFrameSurface(hWnd)) {
        // A window that paints its own frame: the frame, with the client content above it. Outside the
        // window's shape every pixel is transparent, which is what shows it under a compositor (without
        // one, the bounding shape does). The frame surface is shown as it is: no conversion.
        cairo_save(pCairo);
        cairo_set_source_rgba(pCairo, 0, 0, 0, 0);
        cairo_paint(pCairo);
        if (cairo_region_t* pShape = GtkWindowRegion(hWnd)) {
            gdk_cairo_region(pCairo, pShape);
            cairo_clip(pCairo);
            cairo_region_destroy(pShape);
        }
        cairo_set_source_surface(pCairo, frame.Get(), 0, 0);
        cairo_paint(pCairo);
        // The client area is the window's own WM_PAINT, as for every window.
        const CRect rcClient = ModelClientRect(hWnd);
        CSurfaceRef client =
            rcClient.IsRectEmpty() ? CSurfaceRef() : ModelCreateSurface(rcClient.Width(), rcClient.Height());
        if (client) {
            ModelPaintWindow(hWnd, client);
            cairo_set_operator(pCairo, CAIRO_OPERATOR_OVER);
            cairo_set_source_surface(pCairo, client.Get(), rcClient.left, rcClient.top);
            cairo_paint(pCairo);
        }
        cairo_restore(pCairo);
        return FALSE;
    }
    CSurfaceRef content = KeyedContent(hWnd);
    if (content) {
        cairo_set_source_surface(pCairo, content.Get(), 0, 0);
        cairo_paint(pCairo);
    }
    return FALSE;
}

void RaiseOwnedWindows(HWND hOwner);
void CheckOwnedWindowsAbove(HWND hOwner);

gboolean OnConfigure(GtkWidget* pWidget, GdkEventConfigure* pEvent, gpointer pData) {
    const HWND hWnd = static_cast<HWND>(pData);
    if (ModelIsWindow(hWnd) && gtk_widget_get_window(pWidget) != nullptr) {
        int x = 0;
        int y = 0;
        gdk_window_get_root_origin(gtk_widget_get_window(pWidget), &x, &y);
        ModelNativeMoved(hWnd, CRect(x, y, x + pEvent->width, y + pEvent->height));
        // A window manager raises what it moves or restacks; the owned windows go back above it.
        if (ModelIsWindow(hWnd)) {
            RaiseOwnedWindows(hWnd);
        }
    }
    return FALSE;
}

struct CLastPress {
    guint32 nTime = 0;
    CPoint pt;
    bool bValid = false;
};
CLastPress g_lastPress;

gboolean OnButtonPress(GtkWidget* pWidget, GdkEventButton* pEvent, gpointer pData) {
    const HWND hWnd = static_cast<HWND>(pData);
    if (!ModelIsWindow(hWnd) || pEvent->button != 1) {
        return TRUE;
    }
    const CPoint pt = RootPoint(pEvent->x_root, pEvent->y_root);
    if (pEvent->type == GDK_2BUTTON_PRESS) {
        g_lastPress.bValid = false;
        ModelMouseDoubleClick(hWnd, pt);
        return TRUE;
    }
    if (pEvent->type != GDK_BUTTON_PRESS) {
        return TRUE;
    }
    // The second press of a double-click arrives as a double-click only, as on Windows.
    int nDoubleTime = 400;
    int nDoubleDistance = 5;
    g_object_get(gtk_widget_get_settings(pWidget), "gtk-double-click-time", &nDoubleTime,
                 "gtk-double-click-distance", &nDoubleDistance, nullptr);
    if (g_lastPress.bValid && pEvent->time - g_lastPress.nTime <= static_cast<guint32>(nDoubleTime) &&
        std::abs(pt.x - g_lastPress.pt.x) <= nDoubleDistance &&
        std::abs(pt.y - g_lastPress.pt.y) <= nDoubleDistance) {
        g_lastPress.bValid = false;
        return TRUE;
    }
    g_lastPress = CLastPress{pEvent->time, pt, true};
    g_drag = CPendingDrag{};
    g_drag.nTime = pEvent->time;
    ModelMousePress(hWnd, pt);
    return TRUE;
}

// Coming back from a child (the page) into the frame brings no motion event: the entry is one.
gboolean OnEnter(GtkWidget*, GdkEventCrossing* pEvent, gpointer pData) {
    if ((pEvent->state & GDK_BUTTON1_MASK) == 0) {
        ModelMouseHover(static_cast<HWND>(pData), RootPoint(pEvent->x_root, pEvent->y_root));
    }
    return FALSE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing*, gpointer pData) {
    ModelMouseLeftFrame(static_cast<HWND>(pData));
    return FALSE;
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* pEvent, gpointer pData) {
    const HWND hWnd = static_cast<HWND>(pData);
    ModelNativeActivated(hWnd, pEvent->in != 0);
    // Activation raises the window; its owned windows stay above it.
    if (pEvent->in != 0 && ModelIsWindow(hWnd)) {
        RaiseOwnedWindows(hWnd);
        CheckOwnedWindowsAbove(hWnd);
    }
    return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* pEvent, gpointer pData) {
    const bool bIconic = (pEvent->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    const bool bZoomed = (pEvent->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    ModelNativeStateChanged(static_cast<HWND>(pData), bIconic, bZoomed);
    return FALSE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* pEvent, gpointer pData) {
    g_drag = CPendingDrag{};
    if (pEvent->button == 1) {
        ModelMouseRelease(static_cast<HWND>(pData), RootPoint(pEvent->x_root, pEvent->y_root));
    }
    return TRUE;
}

gboolean OnMotion(GtkWidget* pWidget, GdkEventMotion* pEvent, gpointer pData) {
    const CPoint pt = RootPoint(pEvent->x_root, pEvent->y_root);
    if (ModelIsWindow(g_drag.hWnd)) {
        int nThreshold = 8;
        g_object_get(gtk_widget_get_settings(pWidget), "gtk-dnd-drag-threshold", &nThreshold, nullptr);
        if (std::abs(pt.x - g_drag.ptStart.x) > nThreshold ||
            std::abs(pt.y - g_drag.ptStart.y) > nThreshold) {
            CGtkWindow* pNative = GtkNative(g_drag.hWnd);
            gtk_window_begin_move_drag(GTK_WINDOW(pNative->pWidget), 1, g_drag.ptStart.x, g_drag.ptStart.y,
                                       g_drag.nTime);
            g_drag = CPendingDrag{};
        }
        return TRUE;
    }
    if ((pEvent->state & GDK_BUTTON1_MASK) != 0) {
        ModelMouseMove(static_cast<HWND>(pData), pt);
    } else {
        ModelMouseHover(static_cast<HWND>(pData), pt);
    }
    return TRUE;
}

WPARAM VirtualKey(guint nKeyval) {
    switch (nKeyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return VK_RETURN;
    case GDK_KEY_Escape:
        return VK_ESCAPE;
    default:
        return gdk_keyval_to_upper(nKeyval) < 0x80 ? gdk_keyval_to_upper(nKeyval) : 0;
    }
}

gboolean OnKeyPress(GtkWidget* pWidget, GdkEventKey* pEvent, gpointer pData) {
    const HWND hWnd = static_cast<HWND>(pData);
    if (!ModelIsWindow(hWnd)) {
        return FALSE;
    }
    HWND hTarget = hWnd;
    if (GtkWidget* pFocus = gtk_window_get_focus(GTK_WINDOW(pWidget))) {
        for (GtkWidget* p = pFocus; p != nullptr; p = gtk_widget_get_parent(p)) {
            if (const HWND hOfWidget = GtkWindowOfWidget(p)) {
                hTarget = hOfWidget;
                break;
            }
        }
    }
    MSG msg{hTarget, WM_KEYDOWN, VirtualKey(pEvent->keyval), 1, pEvent->time, {0, 0}};
    CNativeEventScope native(&msg);
    ModelTranslateAndDispatch(&msg);
    // Not delivered: the key was handled (or swallowed) before it reached its target.
    return native.bDeliverNatively ? FALSE : TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer pData) {
    AfxSendMessage(static_cast<HWND>(pData), WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
}

void CreateTopLevel(HWND hWnd, CGtkWindow* pNative) {
    GtkWidget* pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    pNative->pWidget = pWindow;
    gtk_window_set_decorated(GTK_WINDOW(pWindow), FALSE);
    gtk_widget_set_app_paintable(pWindow, TRUE);
    if (GdkVisual* pVisual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(pWindow))) {
        gtk_widget_set_visual(pWindow, pVisual);
    }
    gtk_window_set_title(GTK_WINDOW(pWindow), GtkUtf8FromSystem(ModelWindowText(hWnd)).c_str());
    if (const HWND hOwner = ModelOwner(hWnd); ModelIsWindow(hOwner) && GtkNative(hOwner) != nullptr) {
        gtk_window_set_transient_for(GTK_WINDOW(pWindow), GTK_WINDOW(GtkNative(hOwner)->pWidget));
        gtk_window_set_skip_taskbar_hint(GTK_WINDOW(pWindow), TRUE);
        gtk_window_set_skip_pager_hint(GTK_WINDOW(pWindow), TRUE);
    }
    gtk_widget_add_events(pWindow, GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_FOCUS_CHANGE_MASK |
                                       GDK_STRUCTURE_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK | GDK_STRUCTURE_MASK | GDK_KEY_PRESS_MASK);
    pNative->pFixed = GTK_WIDGET(g_object_new(drelk_fixed_get_type(), nullptr));
    gtk_container_add(GTK_CONTAINER(pWindow), pNative->pFixed);
    gtk_widget_show(pNative->pFixed);
    g_signal_connect(pWindow, "draw", GtkGuarded<OnDraw>(), hWnd);
    g_signal_connect(pWindow, "configure-event", GtkGuarded<OnConfigure>(), hWnd);
    g_signal_connect(pWindow, "button-press-event", GtkGuarded<OnButtonPress>(), hWnd);
    g_signal_connect(pWindow, "button-release-event", GtkGuarded<OnButtonRelease>(), hWnd);
    g_signal_connect(pWindow, "motion-notify-event", GtkGuarded<OnMotion>(), hWnd);
    g_signal_connect(pWindow, "key-press-event", GtkGuarded<OnKeyPress>(), hWnd);
    g_signal_connect(pWindow, "delete-event", GtkGuarded<OnDelete>(), hWnd);
    g_signal_connect(pWindow, "map-event", GtkGuarded<OnMapEvent>(), hWnd);
    g_signal_connect(pWindow, "leave-notify-event", GtkGuarded<OnLeave>(), hWnd);
    g_signal_connect(pWindow, "enter-notify-event", GtkGuarded<OnEnter>(), hWnd);
    g_signal_connect(pWindow, "focus-in-event", GtkGuarded<OnFocus>(), hWnd);
    g_signal_connect(pWindow, "focus-out-event", GtkGuarded<OnFocus>(), hWnd);
    g_signal_connect(pWindow, "window-state-event", GtkGuarded<OnWindowState>(), hWnd);
    GtkAttachWidget(hWnd, pWindow);
    const CRect rect = ModelWindowRect(hWnd);
    gtk_window_move(GTK_WINDOW(pWindow), rect.left, rect.top);
    SetTopLevelSize(hWnd, pNative);
}

GdkPixbuf* PixbufFromIcon(HICON hIcon) {
    const CIconObject* pIcon = ModelIconObject(hIcon);
    if (pIcon == nullptr || !pIcon->surface) {
        return nullptr;
    }
    return gdk_pixbuf_get_from_surface(pIcon->surface.Get(), 0, 0, pIcon->surface.Width(),
                                       pIcon->surface.Height());
}

// Owned windows stay above their owner.
void RaiseOwnedWindows(HWND hOwner) {
    GList* pList = gtk_window_list_toplevels();
    for (GList* p = pList; p != nullptr; p = p->next) {
        GtkWidget* pWidget = GTK_WIDGET(p->data);
        const HWND hWnd = GtkWindowOfWidget(pWidget);
        if (hWnd != nullptr && ModelOwner(hWnd) == hOwner && ModelIsVisible(hWnd) &&
            gtk_widget_get_window(pWidget) != nullptr) {
            gdk_window_raise(gtk_widget_get_window(pWidget));
        }
    }
    g_list_free(pList);
}

// The visible owned top-level windows of a window that have a native window.
std::vector<GtkWidget*> VisibleOwnedWindows(HWND hOwner) {
    std::vector<GtkWidget*> owned;
    GList* pList = gtk_window_list_toplevels();
    for (GList* p = pList; p != nullptr; p = p->next) {
        GtkWidget* pWidget = GTK_WIDGET(p->data);
        const HWND hWnd = GtkWindowOfWidget(pWidget);
        if (hWnd != nullptr && ModelOwner(hWnd) == hOwner && ModelIsVisible(hWnd) &&
            gtk_widget_get_mapped(pWidget)) {
            owned.push_back(pWidget);
        }
    }
    g_list_free(pList);
    return owned;
}

// Some window managers (i3) leave a raise request unanswered and raise only the window they
// activate, so a click on the owner buries its owned windows. Once the window manager has had
// time to restack, an owned window found below its owner is activated: that raises it there.
constexpr guint kStackCheckDelayMs = 150;

gboolean OnStackCheck(gpointer pData) {
    const HWND hOwner = static_cast<HWND>(pData);
    if (!ModelIsWindow(hOwner) || GtkNative(hOwner) == nullptr) {
        return G_SOURCE_REMOVE;
    }
    CGtkWindow* pOwner = GtkNative(hOwner);
    pOwner->nStackCheckSource = 0;
    GdkWindow* pOwnerWindow = gtk_widget_get_window(pOwner->pWidget);
    const std::vector<GtkWidget*> owned = VisibleOwnedWindows(hOwner);
    if (pOwnerWindow == nullptr || owned.empty()) {
        return G_SOURCE_REMOVE;
    }
    // Bottom first; empty where the window manager publishes no stacking order (and on Wayland).
    GList* pStack = gdk_screen_get_window_stack(gtk_widget_get_screen(pOwner->pWidget));
    const int nOwner = g_list_index(pStack, pOwnerWindow);
    if (nOwner >= 0) {
        for (GtkWidget* pWidget : owned) {
            const int nOwned = g_list_index(pStack, gtk_widget_get_window(pWidget));
            if (nOwned >= 0 && nOwned < nOwner) {
                gtk_window_present(GTK_WINDOW(pWidget));
            }
        }
    }
    g_list_free_full(pStack, g_object_unref);
    return G_SOURCE_REMOVE;
}

void CheckOwnedWindowsAbove(HWND hOwner) {
    CGtkWindow* pOwner = GtkNative(hOwner);
    if (pOwner == nullptr || pOwner->nStackCheckSource != 0 || VisibleOwnedWindows(hOwner).empty()) {
        return;
    }
    pOwner->nStackCheckSource =
        g_timeout_add(kStackCheckDelayMs, &CGuardedCallback<OnStackCheck>::Call, hOwner);
}

} // namespace

CGtkWindow* GtkNative(HWND hWnd) { return static_cast<CGtkWindow*>(ModelBackendData(hWnd)); }

HWND GtkWindowOfWidget(GtkWidget* pWidget) {
    const auto hWnd = static_cast<HWND>(g_object_get_data(G_OBJECT(pWidget), kWindowKey));
    return ModelIsWindow(hWnd) ? hWnd : nullptr;
}

void GtkAttachWidget(HWND hWnd, GtkWidget* pWidget) {
    g_object_set_data(G_OBJECT(pWidget), kWindowKey, hWnd);
}

void GtkPlaceChild(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    const HWND hParent = ModelParent(hWnd);
    CGtkWindow* pParent = ModelIsWindow(hParent) ? GtkNative(hParent) : nullptr;
    if (pNative == nullptr || pNative->pWidget == nullptr || pParent == nullptr ||
        pParent->pFixed == nullptr) {
        return;
    }
    // Child rectangles are in the parent's client coordinates.
    const CRect rect = ModelWindowRect(hWnd);
    const CRect rcParentClient = ModelClientRect(hParent);
    const int x = rect.left + rcParentClient.left;
    const int y = rect.top + rcParentClient.top;
    if (gtk_widget_get_parent(pNative->pWidget) == nullptr) {
        gtk_fixed_put(GTK_FIXED(pParent->pFixed), pNative->pWidget, x, y);
    } else {
        gtk_fixed_move(GTK_FIXED(pParent->pFixed), pNative->pWidget, x, y);
    }
    gtk_widget_set_size_request(pNative->pWidget, std::max(1, rect.Width()), std::max(1, rect.Height()));
    // GTK has no widget of no size: an empty rectangle is shown as nothing at all.
    gtk_widget_set_child_visible(pNative->pWidget, !rect.IsRectEmpty());
}

std::string GtkUtf8FromSystem(const std::string& strText) {
    return AfxUtf16ToCodePage(CP_UTF8, AfxCodePageToUtf16(CP_ACP, strText));
}

std::string GtkUtf8FromUtf16(const std::u16string& strText) { return AfxUtf16ToCodePage(CP_UTF8, strText); }

std::u16string GtkUtf16FromUtf8(const char* pszText) {
    return AfxCodePageToUtf16(CP_UTF8, pszText != nullptr ? pszText : "");
}

void GtkAfterFirstPaint(std::function<void()> fnWork) {
    g_afterFirstPaint.push_back(std::move(fnWork));
    ScheduleAfterFirstPaint();
    if (g_nAfterPaintTimeout == 0) {
        // A window that is never drawn (not mapped by the window manager) holds nothing back long.
        g_bPatienceOver = false;
        g_nAfterPaintTimeout = g_timeout_add(kAfterPaintPatienceMs, OnAfterPaintTimeout, nullptr);
    }
}

void GtkShapeChanged(HWND hWnd) {
    const HWND hTopLevel = ModelIsTopLevel(hWnd) ? hWnd : ModelParent(hWnd);
    if (CGtkWindow* pNative = ModelIsWindow(hTopLevel) ? GtkNative(hTopLevel) : nullptr) {
        pNative->bShapeDirty = true;
    }
}

namespace {

void ApplyWindowShape(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr || !ModelIsTopLevel(hWnd) || (ModelExStyle(hWnd) & WS_EX_LAYERED) == 0) {
        return;
    }
    const CSize size = ModelWindowRect(hWnd).Size();
    if (!pNative->bShapeDirty && pNative->shapeSize.cx == size.cx && pNative->shapeSize.cy == size.cy) {
        return;
    }
    cairo_region_t* pRegion = nullptr;
    if (const CSurfaceRef layered = ModelLayeredSurface(hWnd)) {
        pRegion = OpaqueRegion(layered.Get());
    } else if (ModelColorKey(hWnd)) {
        // What the window paints itself, less the key colour, plus its visible children.
        CSurfaceRef content = KeyedContent(hWnd);
        if (!content || !ModelIsWindow(hWnd)) {
            return; // nothing painted, or the paint destroyed the window
        }
        pRegion = OpaqueRegion(content.Get());
        for (HWND hChild : ModelChildren(hWnd)) {
            if (ModelIsVisible(hChild)) {
                const CRect rcChild = ModelWindowRect(hChild);
                const cairo_rectangle_int_t rect{rcChild.left, rcChild.top, rcChild.Width(),
                                                 rcChild.Height()};
                cairo_region_union_rectangle(pRegion, &rect);
            }
        }
    } else {
        return;
    }
    pNative->bShapeDirty = false;
    pNative->shapeSize = size;
    // The bounding shape as well as the input shape, with or without a compositor: a window manager
    // frames the bounding shape, and a press outside it would reach the frame (a move in openbox).
    gtk_widget_shape_combine_region(pNative->pWidget, pRegion);
    gtk_widget_input_shape_combine_region(pNative->pWidget, pRegion);
    cairo_region_destroy(pRegion);
    AfxTraceStartup("shape", TraceKind(hWnd));
}

// Top-level windows whose shape is to be recomputed when the main loop is next idle.
std::vector<HWND> g_shapesPending;
guint g_nShapeSource = 0;

gboolean ApplyPendingShapes(gpointer) {
    g_nShapeSource = 0;
    std::vector<HWND> pending;
    pending.swap(g_shapesPending);
    for (HWND hWnd : pending) {
        if (ModelIsWindow(hWnd)) {
            ApplyWindowShape(hWnd);
        }
    }
    return G_SOURCE_REMOVE;
}

} // namespace

// The shape of a visible window follows at the next idle moment, before GTK lays out and draws, so
// that the many changes of one handler (a dialog placing its items) cost one computation; a hidden
// window gets its shape when it is shown.
void GtkUpdateWindowShape(HWND hWnd) {
    if (GtkNative(hWnd) == nullptr || !ModelIsTopLevel(hWnd) || !ModelIsVisible(hWnd)) {
        return;
    }
    if (std::find(g_shapesPending.begin(), g_shapesPending.end(), hWnd) == g_shapesPending.end()) {
        g_shapesPending.push_back(hWnd);
    }
    if (g_nShapeSource == 0) {
        g_nShapeSource = g_idle_add_full(G_PRIORITY_HIGH_IDLE,
                                         reinterpret_cast<GSourceFunc>(GtkGuarded<ApplyPendingShapes>()),
                                         nullptr, nullptr);
    }
}

void BackendWindowCreated(HWND hWnd) {
    auto* pNative = new CGtkWindow;
    ModelSetBackendData(hWnd, pNative);
    if (ModelIsTopLevel(hWnd)) {
        CreateTopLevel(hWnd, pNative);
        return;
    }
    if (ModelWindowClass(hWnd) == "Button") {
        // No events of its own: presses reach the top-level window, which routes them.
        pNative->pWidget = gtk_drawing_area_new();
        g_signal_connect(pNative->pWidget, "draw", GtkGuarded<OnDraw>(), hWnd);
        GtkAttachWidget(hWnd, pNative->pWidget);
        GtkPlaceChild(hWnd);
    }
}

void BackendWindowDestroyed(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr) {
        return;
    }
    if (g_drag.hWnd == hWnd) {
        g_drag = CPendingDrag{};
    }
    if (pNative->nStackCheckSource != 0) {
        g_source_remove(pNative->nStackCheckSource);
        pNative->nStackCheckSource = 0;
    }
    if (pNative->pWidget != nullptr) {
        g_signal_handlers_disconnect_matched(pNative->pWidget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                             hWnd);
        g_object_set_data(G_OBJECT(pNative->pWidget), kWindowKey, nullptr);
        gtk_widget_destroy(pNative->pWidget);
    }
    delete pNative;
    ModelSetBackendData(hWnd, nullptr);
}

void BackendWindowMoved(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr || pNative->pWidget == nullptr) {
        return;
    }
    if (ModelIsTopLevel(hWnd)) {
        const CRect rect = ModelWindowRect(hWnd);
        gtk_window_move(GTK_WINDOW(pNative->pWidget), rect.left, rect.top);
        SetTopLevelSize(hWnd, pNative);
        GtkUpdateWindowShape(hWnd);
    } else {
        GtkPlaceChild(hWnd);
        GtkShapeChanged(hWnd);
        GtkUpdateWindowShape(ModelParent(hWnd));
    }
}

void BackendWindowShown(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative == nullptr || pNative->pWidget == nullptr) {
        return;
    }
    if (!ModelIsVisible(hWnd)) {
        gtk_widget_hide(pNative->pWidget);
    } else if (ModelIsTopLevel(hWnd)) {
        if (const HICON hIcon = ModelBigIcon(hWnd)) {
            if (GdkPixbuf* pIcon = PixbufFromIcon(hIcon)) {
                gtk_window_set_icon(GTK_WINDOW(pNative->pWidget), pIcon);
                g_object_unref(pIcon);
            }
        }
        GtkShapeChanged(hWnd);
        ApplyWindowShape(hWnd); // before the map, so that the window appears in its shape
        if (ModelIsSizable(hWnd)) {
            const CSize minimum = ModelMinTrackSize(hWnd);
            GdkGeometry hints{};
            hints.min_width = std::max(1, static_cast<int>(minimum.cx));
            hints.min_height = std::max(1, static_cast<int>(minimum.cy));
            gtk_window_set_geometry_hints(GTK_WINDOW(pNative->pWidget), nullptr, &hints, GDK_HINT_MIN_SIZE);
        }
        AfxTraceStartup("show", TraceKind(hWnd));
        gtk_widget_show(pNative->pWidget);
        BackendStateChanged(hWnd);
        RaiseOwnedWindows(hWnd);
    } else {
        gtk_widget_show(pNative->pWidget);
    }
    if (!ModelIsTopLevel(hWnd)) {
        GtkShapeChanged(hWnd);
        GtkUpdateWindowShape(ModelParent(hWnd));
    }
}

void BackendWindowInvalidated(HWND hWnd) {
    if (CGtkWindow* pNative = GtkNative(hWnd); pNative != nullptr && pNative->pWidget != nullptr) {
        const CRect rcInvalid = ModelInvalidRect(hWnd);
        const CRect rcClient = ModelClientRect(hWnd);
        const CPoint ptClient = rcClient.TopLeft();
        if (rcInvalid == CRect(0, 0, rcClient.Width(), rcClient.Height())) {
            gtk_widget_queue_draw(pNative->pWidget); // the whole client area: the window drawn again
            return;
        }
        gtk_widget_queue_draw_area(pNative->pWidget, ptClient.x + rcInvalid.left, ptClient.y + rcInvalid.top,
                                   rcInvalid.Width(), rcInvalid.Height());
    }
}

void BackendPaintNow(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    GdkWindow* pWindow =
        pNative != nullptr && pNative->pWidget != nullptr ? gtk_widget_get_window(pNative->pWidget) : nullptr;
    if (pWindow != nullptr) {
        // The one way GTK 3 has to draw a window's queued part before returning.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_updates(pWindow, FALSE);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
}

void BackendLayeredChanged(HWND hWnd) {
    GtkShapeChanged(hWnd);
    GtkUpdateWindowShape(hWnd);
    if (CGtkWindow* pNative = GtkNative(hWnd); pNative != nullptr && pNative->pWidget != nullptr) {
        gtk_widget_queue_draw(pNative->pWidget);
    }
}

void BackendTextChanged(HWND hWnd) {
    CGtkWindow* pNative = GtkNative(hWnd);
    if (pNative != nullptr && ModelIsTopLevel(hWnd)) {
        gtk_window_set_title(GTK_WINDOW(pNative->pWidget), GtkUtf8FromSystem(ModelWindowText(hWnd)).c_str());
    }
}

void BackendSetFocus(HWND hWnd) {
    if (CGtkWindow* pNative = GtkNative(hWnd); pNative != nullptr && pNative->pWidget != nullptr) {
        gtk_widget_grab_focus(pNative->pWidget);
    }
}

void BackendBeginMoveDrag(HWND hWnd, CPoint ptScreen) {
    // The drag starts once the pointer has gone past the drag threshold, so clicks stay clicks.
    const guint32 nTime = g_drag.nTime;
    g_drag.hWnd = hWnd;
    g_drag.ptStart = ptScreen;
    g_drag.nTime = nTime;
}

bool BackendWaitForEvents() {
    g_main_context_iteration(nullptr, TRUE);
    return true;
}

void BackendWakeUp() { g_main_context_wakeup(nullptr); }

int BackendMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType) {
    GtkWindow* pParent = nullptr;
    for (HWND hWnd = hOwner; ModelIsWindow(hWnd); hWnd = ModelParent(hWnd)) {
        if (ModelIsTopLevel(hWnd) && GtkNative(hWnd) != nullptr) {
            pParent = GTK_WINDOW(GtkNative(hWnd)->pWidget);
        }
    }
    const bool bYesNo = (nType & 0x0F) == MB_YESNO;
    GtkWidget* pDialog = gtk_message_dialog_new(
        pParent, GTK_DIALOG_MODAL, (nType & MB_ICONSTOP) != 0 ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
        bYesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", GtkUtf8FromSystem(strText).c_str());
    gtk_window_set_title(GTK_WINDOW(pDialog), GtkUtf8FromSystem(strCaption).c_str());
    // As on Windows, the first button (Yes) is the default.
    const int nDefault = bYesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK;
    gtk_dialog_set_default_response(GTK_DIALOG(pDialog), nDefault);
    // and has the focus, so Enter picks it however the box was activated.
    if (GtkWidget* pButton = gtk_dialog_get_widget_for_response(GTK_DIALOG(pDialog), nDefault)) {
        gtk_widget_grab_focus(pButton);
    }
    const int nResponse = gtk_dialog_run(GTK_DIALOG(pDialog));
    gtk_widget_destroy(pDialog);
    if (bYesNo) {
        return nResponse == GTK_RESPONSE_YES ? IDYES : IDNO;
    }
    return IDOK;
}

bool BackendShellOpen(const std::string& strUrl) {
    GError* pError = nullptr;
    const bool bOpened =
        g_app_info_launch_default_for_uri(GtkUtf8FromSystem(strUrl).c_str(), nullptr, &pError);
    if (pError != nullptr) {
        g_error_free(pError);
    }
    return bOpened;
}

CRect BackendWorkArea() {
    GdkDisplay* pDisplay = gdk_display_get_default();
    GdkMonitor* pMonitor = pDisplay != nullptr ? gdk_display_get_primary_monitor(pDisplay) : nullptr;
    if (pMonitor == nullptr && pDisplay != nullptr) {
        pMonitor = gdk_display_get_monitor(pDisplay, 0);
    }
    if (pMonitor == nullptr) {
        return CRect(0, 0, 1024, 768);
    }
    GdkRectangle area{};
    gdk_monitor_get_workarea(pMonitor, &area);
    return CRect(area.x, area.y, area.x + area.width, area.y + area.height);
}

int BackendSystemMetric(int nIndex) {
    switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        GdkDisplay* pDisplay = gdk_display_get_default();
        GdkMonitor* pMonitor = pDisplay != nullptr ? gdk_display_get_monitor(pDisplay, 0) : nullptr;
        GdkRectangle area{0, 0, 1024, 768};
        if (pMonitor != nullptr) {
            gdk_monitor_get_geometry(pMonitor, &area);
        }
        return nIndex == SM_CXSCREEN ? area.width : area.height;
    }
    default:
        return 0;
    }
}
