#!/bin/sh
# Drelk.exe's import table names KnownDLLs only: Windows loads those from System32 whatever lies
# beside the program. Every other system DLL is bound at run time from System32. The program that
# imports MSIMG32 the ordinary way must be caught by the same check.
#
#   import_table_test.sh OBJDUMP DRELK_EXE UNPROTECTED_EXE
set -eu
objdump="$1"
drelk="$2"
unprotected="$3"

# The KnownDLLs of current Windows that a program of ours may import (GDI+, WinInet, IP Helper,
# MSIMG32 and common controls are not among them).
known="advapi32 clbcatq combase comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32"

# Prints the DLLs of the import table that are not KnownDLLs.
unknown_imports() {
    "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sed 's/\.dll$//' |
        while read -r dll; do
            case " $(echo $known) " in
            *" $dll "*) ;;
            *) echo "$dll" ;;
            esac
        done
}

imports="$("$objdump" -p "$drelk" | sed -n 's/^[[:space:]]*DLL Name: //p')"
[ -n "$imports" ] || { echo "no import table read from $drelk" >&2; exit 1; }
bad="$(unknown_imports "$drelk")"
if [ -n "$bad" ]; then
    echo "Drelk.exe imports DLLs outside KnownDLLs:" $bad >&2
    exit 1
fi
if [ "$(unknown_imports "$unprotected")" != "msimg32" ]; then
    echo "the check did not catch the unprotected program's MSIMG32" >&2
    exit 1
fi
echo "Drelk.exe imports only KnownDLLs:" $imports
