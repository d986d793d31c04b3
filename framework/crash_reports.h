// The process's last word on a fault that ends it (a bad address, an illegal instruction, an
// abort; on Windows any unhandled exception): a report for the support desk, after which the process
// ends as the fault would have ended it. Linux writes the signal, the faulting address and a
// backtrace as text; Windows writes a minidump with the thread list.
#pragma once

#include <string>

// The report's file name suffix on this platform (".txt" or ".dmp").
const char* AfxCrashReportSuffix();
// Installs the handler. The report goes to strReportPath (the system's path form), its folders made
// only when it is written; an empty path installs nothing.
void AfxInstallCrashReporter(const std::string& strReportPath);
