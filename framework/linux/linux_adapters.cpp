// Network adapters on Linux (getifaddrs).
//
// Realises: IAdapterService, with the order DESIGN.md fixes (physical devices first, loopback left out).
// Does not realise: adapter descriptions or IP addresses (the report uses the hardware address only).
#include "framework/linux/linux_services.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <tuple>

bool CLinuxAdapters::GetAdapters(std::vector<CNetworkAdapter>& adapters) {
    ifaddrs* pList = nullptr;
    if (getifaddrs(&pList) != 0) {
        return false;
    }
    struct CCandidate {
        bool bPhysical;
        int nIndex;
        CNetworkAdapter adapter;
    };
    std::vector<CCandidate> candidates;
    for (const ifaddrs* pEntry = pList; pEntry != nullptr; pEntry = pEntry->ifa_next) {
        if (pEntry->ifa_addr == nullptr || pEntry->ifa_addr->sa_family != AF_PACKET ||
            (pEntry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const auto* pLink = reinterpret_cast<const sockaddr_ll*>(pEntry->ifa_addr);
        const std::size_t nLength = std::min<std::size_t>(pLink->sll_halen, sizeof(pLink->sll_addr));
        std::vector<BYTE> address(pLink->sll_addr, pLink->sll_addr + nLength);
        if (std::all_of(address.begin(), address.end(), [](BYTE b) { return b == 0; })) {
            continue;
        }
        const std::string strName = pEntry->ifa_name;
        const bool bPhysical = access(("/sys/class/net/" + strName + "/device").c_str(), F_OK) == 0;
        candidates.push_back({bPhysical, pLink->sll_ifindex, {strName, std::move(address)}});
    }
    freeifaddrs(pList);
    std::stable_sort(candidates.begin(), candidates.end(), [](const CCandidate& a, const CCandidate& b) {
        return std::make_tuple(!a.bPhysical, a.nIndex) < std::make_tuple(!b.bPhysical, b.nIndex);
    });
    adapters.clear();
    for (CCandidate& candidate : candidates) {
        adapters.push_back(std::move(candidate.adapter));
    }
    return true;
}
