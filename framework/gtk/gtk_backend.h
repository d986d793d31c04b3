// The GTK backend's shared pieces: the native side of a window and text conversions.
#pragma once

#include "framework/exception.h"
#include "framework/emulated/browser_model.h"
#include "framework/emulated/window_core.h"

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <type_traits>

// A native callback that contains every failure of its function F (reported with the framework's
// error box, the callback then answering 0): connect GtkGuarded<F>() instead of G_CALLBACK(F).
template <auto F>
struct CGuardedCallback;
template <typename TResult, typename... TArgs, TResult (*F)(TArgs...)>
struct CGuardedCallback<F> {
    static TResult Call(TArgs... args) noexcept {
        if constexpr (std::is_void_v<TResult>) {
            AfxCallAtBoundary(nullptr, [&] { F(args...); });
        } else {
            return AfxCallAtBoundary(nullptr, TResult{}, [&] { return F(args...); });
        }
    }
};
template <auto F>
GCallback GtkGuarded() {
    return reinterpret_cast<GCallback>(&CGuardedCallback<F>::Call);
}

struct CGtkWindow {
    GtkWidget* pWidget = nullptr; // the GtkWindow of a top-level window, the widget of a child
    GtkWidget* pFixed = nullptr;  // a top-level window's container of children
    // The layered surface already premultiplied for cairo (converted in place once per update).
    CSurfaceRef premultiplied;
    // The shape is recomputed only when what gives it changed (content, size, visibility).
    bool bShapeDirty = true;
    CSize shapeSize;
    bool bPainted = false;       // a top-level window has been drawn once
    guint nStackCheckSource = 0; // the look at the stacking order after the window's activation
};

// The native side of a window (the model's backend data); it stays while BackendWindowDestroyed runs.
CGtkWindow* GtkNative(HWND hWnd);
// The live window a widget realises, or null.
HWND GtkWindowOfWidget(GtkWidget* pWidget);
void GtkAttachWidget(HWND hWnd, GtkWidget* pWidget);
// Places a child widget at its window's rectangle inside the parent's container.
void GtkPlaceChild(HWND hWnd);

// Text of the process code page to and from the UTF-8 that GTK speaks.
std::string GtkUtf8FromSystem(const std::string& strText);
std::string GtkUtf8FromUtf16(const std::u16string& strText);
std::u16string GtkUtf16FromUtf8(const char* pszText);

typedef struct _WebKitWebsiteDataManager WebKitWebsiteDataManager;
typedef struct _WebKitWebContext WebKitWebContext;
// Makes a folder of the browser's data the player's alone (0700, what is in it 0700 / 0600), now and
// at the end of the run.
void GtkMakePrivateFolder(const std::string& strFolder);
// Asks the player where each download of the context's pages goes (the desktop's save dialog).
void GtkAskBeforeDownloads(WebKitWebContext* pContext);
// The file name offered for a download: the last part of the page's suggestion ("download" if none).
std::string GtkDownloadFileName(const char* pszSuggested);
// The data manager of every web view of the process (persistent, with cookie storage).
WebKitWebsiteDataManager* GtkWebsiteDataManager();
// Tells the browsers that the caches were cleared (their next load of the page on show bypasses what
// the engine still holds).
void GtkCachesCleared();

// The window's shape (SetWindowRgn) in window coordinates, or null when it has none; the caller frees it.
cairo_region_t* GtkWindowRegion(HWND hWnd);

// Recomputes the visible and clickable shape of a top-level window when what gives it changed.
void GtkUpdateWindowShape(HWND hWnd);
// Marks the shape of a layered top-level window (or of a child's top-level parent) as out of date.
void GtkShapeChanged(HWND hWnd);

// Runs the work from the main loop once every shown top-level window has been painted (so that no
// window stays unpainted on the screen while it blocks), or after kAfterPaintPatienceMs at the latest.
constexpr unsigned kAfterPaintPatienceMs = 250;
void GtkAfterFirstPaint(std::function<void()> fnWork);
