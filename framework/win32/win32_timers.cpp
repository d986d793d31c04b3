// Timers, the tick count and the network watch on Windows: the window's own timers (SetTimer, whose
// WM_TIMER comes through the window procedure), GetTickCount64, and the IP Helper's notification of
// interface changes, whose callback (on a thread of the system's) posts the watchers' messages.
// IPHLPAPI is not a KnownDLL: it is bound at the first call, from System32 (win32_dll_binding.cpp).
//
// Realises: timers per window and id, the tick count, the network's return (an interface change
// while an interface is connected). Does not realise: telling a loss of the network from its return
// (every change is reported; the watchers look for themselves).
#include "framework/window_system.h"
#include "framework/wnd.h"

#include <winsock2.h>

#include <ws2ipdef.h>

#include <iphlpapi.h>
#include <netioapi.h>

#include <vector>

bool WsSetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT nElapse) {
    return ::SetTimer(hWnd, nIDEvent, nElapse, nullptr) != 0;
}

bool WsKillTimer(HWND hWnd, UINT_PTR nIDEvent) { return ::KillTimer(hWnd, nIDEvent) != FALSE; }

unsigned long long WsGetTickCount() { return GetTickCount64(); }

namespace {

struct CNetworkWatch {
    HWND hWnd;
    UINT message;
};

// The watchers, read by the notification's thread.
struct CNetworkWatches {
    CNetworkWatches() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::vector<CNetworkWatch> watches;
    HANDLE hNotification = nullptr;
};

CNetworkWatches& Watches() {
    static CNetworkWatches* s_pWatches = new CNetworkWatches; // lives as long as the process
    return *s_pWatches;
}

void WINAPI OnInterfaceChange(PVOID, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
    CNetworkWatches& watches = Watches();
    EnterCriticalSection(&watches.lock);
    for (const CNetworkWatch& watch : watches.watches) {
        PostMessageA(watch.hWnd, watch.message, 0, 0);
    }
    LeaveCriticalSection(&watches.lock);
}

} // namespace

BOOL WsWatchNetwork(HWND hWnd, UINT message) {
    if (!IsWindow(hWnd)) {
        return FALSE;
    }
    AfxUnwatchNetwork(hWnd);
    CNetworkWatches& watches = Watches();
    EnterCriticalSection(&watches.lock);
    watches.watches.push_back({hWnd, message});
    LeaveCriticalSection(&watches.lock);
    if (watches.hNotification != nullptr) {
        return TRUE;
    }
    if (NotifyIpInterfaceChange(AF_UNSPEC, OnInterfaceChange, nullptr, FALSE, &watches.hNotification) !=
        NO_ERROR) {
        watches.hNotification = nullptr;
        return FALSE;
    }
    return TRUE;
}

void WsUnwatchNetwork(HWND hWnd) {
    CNetworkWatches& watches = Watches();
    EnterCriticalSection(&watches.lock);
    std::erase_if(watches.watches, [&](const CNetworkWatch& watch) { return watch.hWnd == hWnd; });
    LeaveCriticalSection(&watches.lock);
}
