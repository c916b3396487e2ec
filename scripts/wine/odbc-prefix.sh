#!/bin/bash
# usage: scripts/wine/odbc-prefix.sh SETUP-DLL
# Makes the Wine prefix that WINEPREFIX and WINEARCH name, started by scripts/wine/prefix.sh,
# a machine with the "Microsoft Access Driver (*.mdb)" installed, SETUP-DLL serving as its
# setup routine, and Wine's own ODBC installer. On 64-bit Windows the driver is a 32-bit
# one, as Access's is: its file lies in the 32-bit system directory and its registration in
# the 32-bit registry view.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=scripts/lib.sh
. "$here/../lib.sh"
# shellcheck source=scripts/wine/registry-view.sh
. "$here/registry-view.sh"
require_prefix
wine_settings
setup_dll=$1

cp "$setup_dll" "$WINEPREFIX/drive_c/windows/$system_folder/vornak_access_setup.dll"
driver='Microsoft Access Driver (*.mdb)'
file='C:\windows\system32\vornak_access_setup.dll'
key="HKLM\\Software\\ODBC\\ODBCINST.INI\\$driver"
wine reg add "$key" /v Driver /d "$file" /f "${view[@]}" >/dev/null
wine reg add "$key" /v Setup /d "$file" /f "${view[@]}" >/dev/null
wine reg add 'HKLM\Software\ODBC\ODBCINST.INI\ODBC Drivers' /v "$driver" /d Installed /f \
    "${view[@]}" >/dev/null
