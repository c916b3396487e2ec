#!/bin/bash
# usage: scripts/odbc-prefix.sh SETUP-DLL
# Makes the Wine prefix that WINEPREFIX names (creating it on first use) a machine with the
# "Microsoft Access Driver (*.mdb)" installed, SETUP-DLL serving as its setup routine, and
# Wine's own ODBC installer. Expects a wineserver for that prefix to be running.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
    echo "odbc-prefix.sh: WINEPREFIX is not set; refusing to use ~/.wine" >&2
    exit 1
fi
setup_dll=$1

# Wine's services outlive this script: they must not hold on to the caller's output.
wine wineboot --init </dev/null >/dev/null 2>&1

cp "$setup_dll" "$WINEPREFIX/drive_c/windows/system32/vornak_access_setup.dll"
driver='Microsoft Access Driver (*.mdb)'
file='C:\windows\system32\vornak_access_setup.dll'
key="HKLM\\Software\\ODBC\\ODBCINST.INI\\$driver"
wine reg add "$key" /v Driver /d "$file" /f >/dev/null
wine reg add "$key" /v Setup /d "$file" /f >/dev/null
wine reg add 'HKLM\Software\ODBC\ODBCINST.INI\ODBC Drivers' /v "$driver" /d Installed /f >/dev/null
