// The running program's path on Linux (/proc/self/exe), in the system's `\` form.
//
// Realises: IModuleService. Does not realise: module handles other than the executable's.
#include "framework/linux/linux_services.h"

#include <unistd.h>

#include <vector>

std::string LinuxPath(const std::string& strSystemPath) {
    std::string strPath = strSystemPath;
    for (char& ch : strPath) {
        if (ch == '\\') {
            ch = '/';
        }
    }
    return strPath;
}

std::string LinuxSystemPath(const std::string& strLinuxPath) {
    std::string strPath = strLinuxPath;
    for (char& ch : strPath) {
        if (ch == '/') {
            ch = '\\';
        }
    }
    return strPath;
}

std::string CLinuxModule::GetModulePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t nLength = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (nLength < 0) {
            return {};
        }
        if (static_cast<std::size_t>(nLength) < buffer.size()) {
            return LinuxSystemPath(std::string(buffer.data(), static_cast<std::size_t>(nLength)));
        }
        buffer.resize(buffer.size() * 2);
    }
}
