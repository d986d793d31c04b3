// A program that installs the crash reporter the launcher installs and then faults as asked:
//     drelk_test_crash REPORT-PATH segv|abort|fpe
// (not the shipped program: the tests must make it crash).
#include "framework/crash_reports.h"
#include "framework/linux/linux_services.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

// A real fault, which the undefined-behaviour checks of the sanitizer build must not stop first.
__attribute__((noinline, no_sanitize("undefined"))) void WriteThroughNull(volatile int* pValue) {
    *pValue = 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    AfxInstallCrashReporter(LinuxSystemPath(argv[1]));
    if (std::strcmp(argv[2], "segv") == 0) {
        WriteThroughNull(nullptr);
    } else if (std::strcmp(argv[2], "abort") == 0) {
        std::abort();
    } else if (std::strcmp(argv[2], "fpe") == 0) {
        std::raise(SIGFPE);
    }
    return 0;
}
