#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE: fails when EXE imports a DLL that Windows does not ship.
set -euo pipefail
objdump=$1 exe=$2
system='^(kernel32|user32|gdi32|shell32|comdlg32|comctl32|advapi32|version|msvcrt|shlwapi|ole32|oleaut32|ntdll|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$dlls" ] || { echo "no imports found in $exe"; exit 1; }
bad=$(grep -vE "$system" <<< "$dlls" || true)
if [ -n "$bad" ]; then
  echo "$exe imports non-system DLLs: $bad"; exit 1
fi
echo "$exe imports only: $(tr '\n' ' ' <<< "$dlls")"
