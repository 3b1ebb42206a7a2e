#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE...: fails when an EXE imports a library that is not on Windows'
# KnownDLLs list. Any other library is looked for in the program's folder first, where a
# planted copy would run before any code of ours; those are loaded at run time by full path.
set -euo pipefail
objdump=$1; shift
known='^(advapi32|comdlg32|gdi32|imagehlp|imm32|kernel32|msctf|msvcrt|normaliz|nsi|ntdll|ole32|oleaut32|psapi|rpcrt4|sechost|setupapi|shell32|shlwapi|user32|wldap32|ws2_32)\.dll$'
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
  if [ -z "$dlls" ]; then echo "no imports found in $exe"; status=1; continue; fi
  bad=$(grep -vE "$known" <<< "$dlls" || true)
  if [ -n "$bad" ]; then
    echo "$exe imports libraries outside KnownDLLs: $(tr '\n' ' ' <<< "$bad")"; status=1
  else
    echo "$exe imports only: $(tr '\n' ' ' <<< "$dlls")"
  fi
done
exit "$status"
