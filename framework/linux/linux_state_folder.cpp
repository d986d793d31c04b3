// The player's state folder on Linux, where a run leaves its log and crash reports.
//
// Realises: IStateFolderService (XDG_STATE_HOME or ~/.local/state; modes set explicitly, not through
// the umask, which the game client and the relaunch inherit).
#include "framework/linux/file_descriptor.h"
#include "framework/linux/linux_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace {

class COutputFile : public IOutputFile {
public:
    explicit COutputFile(int fd) : m_file(fd) {}
    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t nWritten = write(m_file.Get(), bytes.data(), bytes.size());
            if (nWritten < 0 && errno == EINTR) {
                continue;
            }
            if (nWritten <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(nWritten));
        }
        return true;
    }

private:
    CFileDescriptor m_file;
};

} // namespace

std::string LinuxStateFolder() {
    // An XDG variable that is not an absolute path is to be ignored.
    const char* pszState = std::getenv("XDG_STATE_HOME");
    if (pszState != nullptr && pszState[0] == '/') {
        return std::string(pszState) + "/drelk";
    }
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && pszHome[0] == '/') {
        return std::string(pszHome) + "/.local/state/drelk";
    }
    return {};
}

std::string CLinuxStateFolder::FolderPath(const std::string& strName) {
    const std::string strFolder = LinuxStateFolder();
    return strFolder.empty() ? std::string() : LinuxSystemPath(strFolder + "/" + strName);
}

bool CLinuxStateFolder::MakeFolder(const std::string& strFolder) {
    const std::string strPath = LinuxPath(strFolder);
    for (std::size_t nSlash = strPath.find('/', 1);; nSlash = strPath.find('/', nSlash + 1)) {
        const std::string strPart = strPath.substr(0, nSlash);
        if (mkdir(strPart.c_str(), 0700) == 0) {
            chmod(strPart.c_str(), 0700);
        }
        if (nSlash == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    return stat(strPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<std::string> CLinuxStateFolder::ListFiles(const std::string& strFolder) {
    std::vector<std::string> names;
    DIR* pDirectory = opendir(LinuxPath(strFolder).c_str());
    if (pDirectory == nullptr) {
        return names;
    }
    while (const dirent* pEntry = readdir(pDirectory)) {
        if (pEntry->d_type == DT_REG || pEntry->d_type == DT_UNKNOWN) {
            names.emplace_back(pEntry->d_name);
        }
    }
    closedir(pDirectory);
    return names;
}

bool CLinuxStateFolder::RemoveFile(const std::string& strPath) {
    return unlink(LinuxPath(strPath).c_str()) == 0;
}

std::unique_ptr<IOutputFile> CLinuxStateFolder::CreateNewFile(const std::string& strPath) {
    const int fd = open(LinuxPath(strPath).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        return nullptr;
    }
    fchmod(fd, 0600);
    return std::make_unique<COutputFile>(fd);
}
