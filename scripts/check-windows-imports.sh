#!/bin/sh
# Checks that a Windows program is an x86-64 executable that needs no DLL
# beyond those every Windows has (the system's C runtime and kernel), so that
# it runs on a plain Windows as it is.
#
#   scripts/check-windows-imports.sh build-win/n64zirelcnv.exe [objdump]
#
# objdump: one that reads PE files, by default x86_64-w64-mingw32-objdump.
set -eu
exe=$1
objdump=${2:-x86_64-w64-mingw32-objdump}

header=$("$objdump" -f "$exe")
case $header in
  *"file format pei-x86-64"*) ;;
  *) echo "$exe: not an x86-64 Windows executable"; echo "$header"; exit 1 ;;
esac

dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ -z "$dlls" ]; then
  echo "$exe: no imported DLLs found"
  exit 1
fi
status=0
for dll in $dlls; do
  case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
    *) echo "$exe: needs $dll, which Windows does not have"; status=1 ;;
  esac
done
[ "$status" = 0 ] && echo "$exe imports only:" $dlls
exit "$status"
