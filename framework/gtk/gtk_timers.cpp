// The model's clock, timers and network watch on GLib: one timeout source for the earliest timer,
// GLib's monotonic clock, and GIO's network monitor.
#include "framework/gtk/gtk_backend.h"

#include <gio/gio.h>

namespace {

guint g_nTimerSource = 0;

gboolean OnTimerSource(gpointer) {
    g_nTimerSource = 0;
    AfxCallAtBoundary(nullptr, [] { ModelRunDueTimers(); });
    return G_SOURCE_REMOVE;
}

void OnNetworkChanged(GNetworkMonitor*, gboolean bAvailable, gpointer) {
    if (bAvailable) {
        ModelNativeNetworkAvailable();
    }
}

} // namespace

unsigned long long BackendTickCount() {
    return static_cast<unsigned long long>(g_get_monotonic_time() / 1000);
}

void BackendTimersChanged() {
    if (g_nTimerSource != 0) {
        g_source_remove(g_nTimerSource);
        g_nTimerSource = 0;
    }
    unsigned long long nDue = 0;
    if (!ModelNextTimerDue(nDue)) {
        return;
    }
    const unsigned long long nNow = BackendTickCount();
    const guint nDelay = nDue > nNow ? static_cast<guint>(nDue - nNow) : 0;
    g_nTimerSource = g_timeout_add(nDelay, OnTimerSource, nullptr);
}

bool BackendWatchNetwork() {
    static const bool s_bWatching = [] {
        GNetworkMonitor* pMonitor = g_network_monitor_get_default();
        if (pMonitor == nullptr) {
            return false;
        }
        g_signal_connect(pMonitor, "network-changed", GtkGuarded<OnNetworkChanged>(), nullptr);
        return true;
    }();
    return s_bWatching;
}
