// Test helper: records how it was started into the file named by DRELK_RECORD_FILE, as
// NUL-terminated fields: the working directory, its own module path, then each argument.
#include "framework/linux/linux_services.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* pszFile = std::getenv("DRELK_RECORD_FILE");
    if (pszFile == nullptr) {
        return 2;
    }
    char szDirectory[4096] = {};
    if (getcwd(szDirectory, sizeof(szDirectory)) == nullptr) {
        return 3;
    }
    std::string strRecord = std::string(szDirectory) + '\0' + CLinuxModule().GetModulePath() + '\0';
    for (int i = 1; i < argc; ++i) {
        strRecord += std::string(argv[i]) + '\0';
    }
    // Written aside and renamed, so a reader never sees half a record.
    const std::string strPartial = std::string(pszFile) + ".part";
    FILE* pFile = std::fopen(strPartial.c_str(), "wb");
    if (pFile == nullptr) {
        return 4;
    }
    std::fwrite(strRecord.data(), 1, strRecord.size(), pFile);
    std::fclose(pFile);
    return std::rename(strPartial.c_str(), pszFile) == 0 ? 0 : 5;
}
