// How Drelk.exe binds the system DLLs that are not KnownDLLs. Include after <windows.h>.
#pragma once

// Restricts the DLLs this process loads by name to System32 (SetDefaultDllDirectories): the
// program's own folder and the current folder are no longer searched. Called first thing.
void Win32RestrictDllSearch();
