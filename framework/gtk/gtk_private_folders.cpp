// The browser's data (cookies, local storage, the HSTS list) and caches are the player's alone: their
// folders are made 0700, and every folder in them 0700 and file 0600 at the start of a run and at its
// end. The modes are set on the files themselves, never through the umask, which the game client and
// a relaunched launcher would inherit. While a run lasts, what the engine adds is already out of other
// users' reach inside the 0700 folders.
#include "framework/gtk/gtk_backend.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& PrivateFolders() {
    static std::vector<std::string> s_folders;
    return s_folders;
}

void SetMode(const fs::path& path, fs::perms mode) {
    std::error_code error;
    fs::permissions(path, mode, fs::perm_options::replace | fs::perm_options::nofollow, error);
}

// Links are left as they are: a mode is never set through one.
void Tighten(const std::string& strFolder) {
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(strFolder, error))) {
        return;
    }
    SetMode(strFolder, fs::perms::owner_all);
    for (auto it = fs::recursive_directory_iterator(strFolder, error); !error && it != fs::end(it);
         it.increment(error)) {
        const fs::file_status status = it->symlink_status(error);
        if (fs::is_directory(status)) {
            SetMode(it->path(), fs::perms::owner_all);
        } else if (fs::is_regular_file(status)) {
            SetMode(it->path(), fs::perms::owner_read | fs::perms::owner_write);
        }
    }
}

void TightenAll() {
    for (const std::string& strFolder : PrivateFolders()) {
        Tighten(strFolder);
    }
}

} // namespace

void GtkMakePrivateFolder(const std::string& strFolder) {
    g_mkdir_with_parents(strFolder.c_str(), 0700);
    Tighten(strFolder);
    PrivateFolders().push_back(strFolder);
    static std::once_flag s_atExit;
    std::call_once(s_atExit, [] { std::atexit(TightenAll); });
}
