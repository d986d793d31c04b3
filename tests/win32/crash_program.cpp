// A program that installs the crash reporter Drelk.exe installs and then faults:
//     drelk_test_crash.exe REPORT-PATH
// (not the shipped program: the tests must make it crash).
#include <windows.h>

#include "framework/crash_reports.h"

namespace {

__attribute__((noinline)) void WriteThroughNull(volatile int* pValue) { *pValue = 1; }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    AfxInstallCrashReporter(argv[1]);
    WriteThroughNull(nullptr);
    return 0;
}
