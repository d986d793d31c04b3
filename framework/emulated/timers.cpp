// Window timers and the network watch of the model. Timers run on the backend's clock: a due timer
// sends WM_TIMER to its window (at the dispatch boundary) and is due again one period later, as
// Windows does; a window's timers end with it.
#include "framework/emulated/window_core.h"
#include "framework/window_system.h"

#include <algorithm>
#include <vector>

namespace {

struct CTimer {
    HWND hWnd;
    UINT_PTR nID;
    UINT nElapse;
    unsigned long long nDue;
};

std::vector<CTimer>& Timers() {
    static std::vector<CTimer> s_timers;
    return s_timers;
}

struct CNetworkWatch {
    HWND hWnd;
    UINT message;
};

std::vector<CNetworkWatch>& Watches() {
    static std::vector<CNetworkWatch> s_watches;
    return s_watches;
}

bool RemoveTimer(HWND hWnd, UINT_PTR nID) {
    auto& timers = Timers();
    const auto it = std::find_if(timers.begin(), timers.end(),
                                 [&](const CTimer& timer) { return timer.hWnd == hWnd && timer.nID == nID; });
    if (it == timers.end()) {
        return false;
    }
    timers.erase(it);
    return true;
}

} // namespace

bool WsSetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse) {
    if (!ModelIsWindow(hWnd)) {
        return false;
    }
    RemoveTimer(hWnd, nIDEvent);
    Timers().push_back({hWnd, nIDEvent, nElapse, BackendTickCount() + nElapse});
    BackendTimersChanged();
    return true;
}

bool WsKillTimer(HWND hWnd, UINT_PTR nIDEvent) {
    if (!RemoveTimer(hWnd, nIDEvent)) {
        return false;
    }
    BackendTimersChanged();
    return true;
}

void ModelForgetWindowTimers(HWND hWnd) {
    auto& timers = Timers();
    const auto nBefore = timers.size();
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [&](const CTimer& timer) { return timer.hWnd == hWnd; }),
        timers.end());
    if (timers.size() != nBefore) {
        BackendTimersChanged();
    }
}

bool ModelNextTimerDue(unsigned long long& nDue) {
    const auto& timers = Timers();
    if (timers.empty()) {
        return false;
    }
    nDue = std::min_element(timers.begin(), timers.end(), [](const CTimer& a, const CTimer& b) {
               return a.nDue < b.nDue;
           })->nDue;
    return true;
}

void ModelRunDueTimers() {
    const unsigned long long nNow = BackendTickCount();
    // A handler may set or kill timers: each due one is looked up again before it is sent.
    std::vector<CTimer> due;
    for (const CTimer& timer : Timers()) {
        if (timer.nDue <= nNow) {
            due.push_back(timer);
        }
    }
    for (const CTimer& timer : due) {
        auto& timers = Timers();
        const auto it = std::find_if(timers.begin(), timers.end(), [&](const CTimer& other) {
            return other.hWnd == timer.hWnd && other.nID == timer.nID && other.nDue <= nNow;
        });
        if (it == timers.end()) {
            continue;
        }
        it->nDue = nNow + std::max<UINT>(it->nElapse, 1);
        AfxSendMessage(timer.hWnd, WM_TIMER, timer.nID, 0);
    }
    BackendTimersChanged();
}

unsigned long long WsGetTickCount() { return BackendTickCount(); }

BOOL WsWatchNetwork(HWND hWnd, UINT message) {
    if (!ModelIsWindow(hWnd)) {
        return FALSE;
    }
    AfxUnwatchNetwork(hWnd);
    Watches().push_back({hWnd, message});
    return BackendWatchNetwork() ? TRUE : FALSE;
}

void WsUnwatchNetwork(HWND hWnd) {
    auto& watches = Watches();
    watches.erase(std::remove_if(watches.begin(), watches.end(),
                                 [&](const CNetworkWatch& watch) { return watch.hWnd == hWnd; }),
                  watches.end());
}

void ModelNativeNetworkAvailable() {
    for (const CNetworkWatch& watch : Watches()) {
        AfxPostMessage(watch.hWnd, watch.message, 0, 0);
    }
}
