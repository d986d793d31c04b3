#include "framework/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

void AfxTraceStartup(const char* pszEvent, const char* pszDetail) {
    static const char* s_pszFile = std::getenv("DRELK_STARTUP_TRACE");
    if (s_pszFile == nullptr || *s_pszFile == '\0') {
        return;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    if (std::FILE* pFile = std::fopen(s_pszFile, "a")) {
        std::fprintf(
            pFile, "%s %s %lld\n", pszEvent, pszDetail != nullptr && *pszDetail != '\0' ? pszDetail : "-",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fclose(pFile);
    }
}
