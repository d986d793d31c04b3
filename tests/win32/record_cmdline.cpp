// Test helper: writes its command-line text, exactly as the process received it, into the file
// named by DRELK_RECORD_FILE.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main() {
    const char* pszFile = std::getenv("DRELK_RECORD_FILE");
    if (pszFile == nullptr) {
        return 2;
    }
    const std::string strPartial = std::string(pszFile) + ".part";
    FILE* pFile = std::fopen(strPartial.c_str(), "wb");
    if (pFile == nullptr) {
        return 3;
    }
    const char* pszCommandLine = GetCommandLineA();
    std::fwrite(pszCommandLine, 1, std::strlen(pszCommandLine), pFile);
    std::fclose(pFile);
    return MoveFileA(strPartial.c_str(), pszFile) ? 0 : 4;
}
