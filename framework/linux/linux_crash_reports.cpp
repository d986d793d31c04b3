// Crash reports on Linux: a handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT, on a stack of
// its own (a stack overflow leaves none), writes the signal, the faulting address and a backtrace,
// then lets the signal end the process with its usual status.
//
// Realises: AfxInstallCrashReporter. Only async-signal-safe calls run in the handler (mkdir, open,
// write, close, backtrace_symbols_fd once the unwinder is loaded, sigaction, raise).
#include "framework/crash_reports.h"
#include "framework/linux/linux_services.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
char g_szReportPath[4096];
alignas(16) char g_alternateStack[64 * 1024];
void* g_frames[128];
volatile sig_atomic_t g_bReporting = 0;

void WriteText(int fd, const char* pszText) {
    std::size_t nLeft = std::strlen(pszText);
    while (nLeft > 0) {
        const ssize_t nWritten = write(fd, pszText, nLeft);
        if (nWritten <= 0) {
            return;
        }
        pszText += nWritten;
        nLeft -= static_cast<std::size_t>(nWritten);
    }
}

void WriteNumber(int fd, unsigned long long nValue, unsigned nBase) {
    char szDigits[32];
    char* p = szDigits + sizeof(szDigits) - 1;
    *p = '\0';
    do {
        *--p = "0123456789abcdef"[nValue % nBase];
        nValue /= nBase;
    } while (nValue != 0);
    WriteText(fd, p);
}

const char* SignalName(int nSignal) {
    switch (nSignal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

// The report's folders, from the root down.
void MakeFolders(char* pszPath) {
    char* pszLast = std::strrchr(pszPath, '/');
    for (char* p = std::strchr(pszPath + 1, '/'); p != nullptr && p <= pszLast; p = std::strchr(p + 1, '/')) {
        *p = '\0';
        mkdir(pszPath, 0700);
        *p = '/';
    }
}

void WriteReport(int nSignal, const siginfo_t* pInfo) {
    MakeFolders(g_szReportPath);
    const int fd = open(g_szReportPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        return;
    }
    WriteText(fd, "Drelk ended with a fault: signal ");
    WriteNumber(fd, static_cast<unsigned>(nSignal), 10);
    WriteText(fd, " (");
    WriteText(fd, SignalName(nSignal));
    WriteText(fd, "), address 0x");
    WriteNumber(fd, reinterpret_cast<unsigned long long>(pInfo != nullptr ? pInfo->si_addr : nullptr), 16);
    WriteText(fd, ", process ");
    WriteNumber(fd, static_cast<unsigned>(getpid()), 10);
    WriteText(fd, "\nbacktrace:\n");
    const int nFrames = backtrace(g_frames, static_cast<int>(sizeof(g_frames) / sizeof(g_frames[0])));
    backtrace_symbols_fd(g_frames, nFrames, fd);
    close(fd);
}

void OnFault(int nSignal, siginfo_t* pInfo, void*) {
    if (g_bReporting == 0) {
        g_bReporting = 1;
        WriteReport(nSignal, pInfo);
    }
    // The usual end: the default action, once this handler returns (the signal is blocked until
    // then; a fault's instruction faults again).
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(nSignal, &defaultAction, nullptr);
    raise(nSignal);
}

} // namespace

const char* AfxCrashReportSuffix() { return ".txt"; }

void AfxInstallCrashReporter(const std::string& strReportPath) {
    const std::string strPath = LinuxPath(strReportPath);
    if (strPath.empty() || strPath.size() >= sizeof(g_szReportPath)) {
        return;
    }
    std::memcpy(g_szReportPath, strPath.c_str(), strPath.size() + 1);
    // The unwinder is loaded now: a first backtrace may allocate, which a handler must not.
    backtrace(g_frames, 1);
    stack_t stack{};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof(g_alternateStack);
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int nSignal : kSignals) {
        sigaction(nSignal, &action, nullptr);
    }
}
