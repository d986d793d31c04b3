// Process creation on Linux (posix_spawn).
//
// Realises: IProcessService (the argument vector as DESIGN.md fixes it, no executable suffix).
// Does not realise: waiting for or ending the started process (the system never does).
#include "framework/linux/linux_services.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

bool CLinuxProcesses::StartProcess(const CProcessStart& start) {
    const std::string strPath = LinuxPath(start.strApplication);
    std::vector<std::string> arguments{strPath};
    arguments.insert(arguments.end(), start.vecArguments.begin(), start.vecArguments.end());
    std::vector<char*> argv;
    for (std::string& strArgument : arguments) {
        argv.push_back(strArgument.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, strPath.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    // Nothing waits for the child; this thread collects its exit status so that it never lingers.
    std::thread([pid] {
        int nStatus = 0;
        while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

DWORD CLinuxProcesses::CurrentProcessId() { return static_cast<DWORD>(getpid()); }
