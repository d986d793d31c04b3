// Process creation on Windows (CreateProcessA).
//
// Realises: IProcessService (the program and command line as the system composes them, the .exe
// suffix).
// Does not realise: waiting for or ending the started process (the system never does).
#include <windows.h>

#include "framework/win32/win32_services.h"

#include <vector>

bool CWin32Processes::StartProcess(const CProcessStart& start) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(start.nShowCmd);
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> commandLine(start.strCommandLine.begin(), start.strCommandLine.end());
    commandLine.push_back('\0');
    char* pszCommandLine = start.strCommandLine.empty() ? nullptr : commandLine.data();
    if (!CreateProcessA(start.strApplication.c_str(), pszCommandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
