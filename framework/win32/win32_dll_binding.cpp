// The binding of the system DLLs outside KnownDLLs (IP Helper, WinInet, GDI+, common controls,
// MSIMG32): the program links them through delay-import libraries (cmake/delay_imports.cmake), so
// its import table names KnownDLLs only, and the first call of one of their functions binds the DLL
// here, from System32 and nowhere else. A DLL or function that cannot be bound never ends the
// program: the call fails as that function reports failures.
//
// Realises: the delay-load helper's hooks (loading, failures) and the process's DLL search
// restricted to System32.
// Does not realise: unloading a bound DLL (they stay for the life of the process).
#include <windows.h>

#include <delayimp.h>

#include "framework/win32/win32_dll_binding.h"

#include <cstring>

static_assert(sizeof(void*) == 8, "the failure stubs rely on the x64 calling convention");

namespace {

HMODULE LoadSystemLibrary(const char* pszName) {
    return LoadLibraryExA(pszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// What a function of an unbound DLL does instead. Under the x64 calling convention the caller
// passes and removes the arguments, so a function that ignores them stands in for any function
// with an integer or pointer result.
INT_PTR WINAPI FailWithZero() {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return 0; // FALSE, a null handle or pointer
}

INT_PTR WINAPI FailWithNotSupported() {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return ERROR_NOT_SUPPORTED; // IP Helper's functions return an error number
}

INT_PTR WINAPI FailWithGdiplusNotInitialized() {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return 18; // Gdiplus::GdiplusNotInitialized: GDI+'s functions return a status
}

// GDI+'s C++ classes allocate themselves through GdipAlloc and construct the object without
// checking: without GDI+ they get memory of the process heap, and their calls then fail.
void* WINAPI AllocWithoutGdiplus(SIZE_T nSize) { return HeapAlloc(GetProcessHeap(), 0, nSize); }

void WINAPI FreeWithoutGdiplus(void* pMemory) {
    if (pMemory != nullptr) {
        HeapFree(GetProcessHeap(), 0, pMemory);
    }
}

template <typename TFunction>
FARPROC AsFarProc(TFunction pfnFunction) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(pfnFunction));
}

FARPROC FailureStubFor(const char* pszDll, const DelayLoadProc& proc) {
    const char* pszName = proc.fImportByName ? proc.szProcName : "";
    if (_stricmp(pszDll, "gdiplus.dll") == 0) {
        if (std::strcmp(pszName, "GdipAlloc") == 0) {
            return AsFarProc(AllocWithoutGdiplus);
        }
        if (std::strcmp(pszName, "GdipFree") == 0) {
            return AsFarProc(FreeWithoutGdiplus);
        }
        return AsFarProc(FailWithGdiplusNotInitialized);
    }
    if (_stricmp(pszDll, "iphlpapi.dll") == 0) {
        return AsFarProc(FailWithNotSupported);
    }
    return AsFarProc(FailWithZero);
}

FARPROC WINAPI OnDelayLoadNotice(unsigned nNotice, PDelayLoadInfo pInfo) {
    if (nNotice == dliNotePreLoadLibrary) {
        // The helper's own LoadLibrary would search the program's folder before System32.
        return reinterpret_cast<FARPROC>(LoadSystemLibrary(pInfo->szDll));
    }
    return nullptr;
}

FARPROC WINAPI OnDelayLoadFailure(unsigned nNotice, PDelayLoadInfo pInfo) {
    if (nNotice == dliFailLoadLib) {
        // The program's own module stands in for the missing DLL: it exports none of the DLL's
        // functions, so each of them then fails below, with its stub.
        return reinterpret_cast<FARPROC>(GetModuleHandleA(nullptr));
    }
    if (nNotice == dliFailGetProc) {
        return FailureStubFor(pInfo->szDll, pInfo->dlp);
    }
    return nullptr;
}

} // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = OnDelayLoadNotice;
PfnDliHook __pfnDliFailureHook2 = OnDelayLoadFailure;
}

void Win32RestrictDllSearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }
