// Network adapters on Windows (GetAdaptersInfo, IP Helper).
//
// Realises: IAdapterService, the list as the platform gives it. Does not realise: IPv6-only adapters
// (GetAdaptersInfo does not list them).
#include <windows.h>
#include <iphlpapi.h>

#include "framework/win32/win32_services.h"

#include <vector>

bool CWin32Adapters::GetAdapters(std::vector<CNetworkAdapter>& adapters) {
    ULONG nSize = 0;
    GetAdaptersInfo(nullptr, &nSize);
    if (nSize == 0) {
        return false;
    }
    std::vector<BYTE> buffer(nSize, 0);
    auto* pInfo = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(pInfo, &nSize) != ERROR_SUCCESS) {
        return false;
    }
    adapters.clear();
    for (const IP_ADAPTER_INFO* pAdapter = pInfo; pAdapter != nullptr; pAdapter = pAdapter->Next) {
        const UINT nLength = std::min<UINT>(pAdapter->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
        adapters.push_back(
            {pAdapter->AdapterName, std::vector<BYTE>(pAdapter->Address, pAdapter->Address + nLength)});
    }
    return true;
}
