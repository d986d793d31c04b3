// Files on Linux: open-existing reads and appends, the system's `\` paths turned into `/`.
//
// Realises: IFileService (never creates a file; refuses one without write permission).
// Does not realise: sharing modes (POSIX has none; a file open elsewhere is simply shared).
#include "framework/linux/linux_services.h"

#include "framework/linux/file_descriptor.h"

#include "framework/startup_trace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

EAppendResult CLinuxFiles::AppendToExisting(const std::string& strPath, std::string_view bytes) {
    CFileDescriptor file(open(LinuxPath(strPath).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0 || flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        return EAppendResult::NotOpened;
    }
    // A file nobody may write is read-only, also for the superuser (as the read-only attribute is on
    // Windows); only a regular file is extended.
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return EAppendResult::NotOpened;
    }
    while (!bytes.empty()) {
        const ssize_t nWritten = write(file.Get(), bytes.data(), bytes.size());
        if (nWritten < 0) {
            if (errno == EINTR) {
                continue;
            }
            return EAppendResult::WriteFailed;
        }
        bytes.remove_prefix(static_cast<std::size_t>(nWritten));
    }
    return EAppendResult::Appended;
}

bool CLinuxFiles::ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                               DWORD& dwError) {
    CFileDescriptor file(open(LinuxPath(strPath).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        dwError = errno == ENOENT || errno == ENOTDIR ? kFileNotFound : static_cast<DWORD>(errno);
        return false;
    }
    AfxTraceStartup("file-read", strPath.c_str());
    strBytes.clear();
    char buffer[65536];
    while (strBytes.size() < nMaxBytes) {
        const std::size_t nWant = std::min(sizeof(buffer), nMaxBytes - strBytes.size());
        const ssize_t nRead = read(file.Get(), buffer, nWant);
        if (nRead < 0) {
            if (errno == EINTR) {
                continue;
            }
            dwError = static_cast<DWORD>(errno);
            return false;
        }
        if (nRead == 0) {
            break;
        }
        strBytes.append(buffer, static_cast<std::size_t>(nRead));
    }
    return true;
}

std::string CLinuxFiles::DescribeError(DWORD dwError) { return LinuxErrorText(static_cast<int>(dwError)); }

std::string LinuxErrorText(int nError) {
    char szText[256] = {};
    // The GNU strerror_r returns its text, which may or may not be the buffer.
    return strerror_r(nError, szText, sizeof(szText));
}
