// Test helper: a program that imports a function of MSIMG32 (not a KnownDLL) the ordinary way and
// leaves Windows' DLL search as it is, as Drelk.exe once did. It ends at once.
#include <windows.h>

int main() {
    auto* volatile pfnAlphaBlend = &AlphaBlend; // keeps the import
    return pfnAlphaBlend != nullptr ? 0 : 1;
}
