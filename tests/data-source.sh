#!/bin/bash
# usage: data-source.sh PROGRAM SETUP-DLL PREFIX win32|win64
# Runs the program twice through Wine's own ODBC installer, with a stale value left in the
# data source between the runs: the second run must remove the data source and add it anew,
# leaving exactly the five fixed values and the second path. On 64-bit Windows all of it
# must lie in the 32-bit registry view, and the 64-bit view must have no data source.
set -uo pipefail
program=$1
setup_dll=$2
export WINEPREFIX=$3 WINEARCH=$4 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree=;mshtml='
# Without a display a message box returns at once: a fault cannot leave the test waiting.
unset DISPLAY
here=$(dirname "$0")
# shellcheck source=scripts/registry-view.sh
. "$here/../scripts/registry-view.sh"
"$here/../scripts/wine-prefix.sh" start || exit 1
trap '"$here/../scripts/wine-prefix.sh" stop' EXIT
"$here/../scripts/odbc-prefix.sh" "$setup_dll" || exit 1
wine reg delete 'HKLM\Software\ODBC\ODBC.INI' /f "${view[@]}" >/dev/null 2>&1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

wine "$program" 'C:\Data\first.mdb' || fail "first run exited with status $?"
wine reg add 'HKLM\Software\ODBC\ODBC.INI\vornakDsnStore' /v UID /d stale /f "${view[@]}" >/dev/null
wine "$program" 'C:\Other Data\second.mdb' || fail "second run exited with status $?"

stored=$(wine reg query 'HKLM\Software\ODBC\ODBC.INI' /s "${view[@]}" | tr -d '\r' | grep -v '^$')
expected='HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI\ODBC Data Sources
    vornakDsnStore    REG_SZ    Microsoft Access Driver (*.mdb)
HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI\vornakDsnStore
    DBQ    REG_SZ    C:\Other Data\second.mdb
    Driver    REG_SZ    C:\windows\system32\vornak_access_setup.dll
    FIL    REG_SZ    MS Access
    MaxBufferSize    REG_SZ    2048
    PageTimeout    REG_SZ    5'
# reg lists the key itself first, without values of its own.
stored=$(grep -vxF 'HKEY_LOCAL_MACHINE\Software\ODBC\ODBC.INI' <<<"$stored")
[ "$stored" = "$expected" ] || fail "the registry holds:
$stored"

if [ "$WINEARCH" = win64 ]; then
    # What 64-bit programs see: neither the data source nor its entry.
    wine reg query 'HKLM\Software\ODBC\ODBC.INI\vornakDsnStore' /reg:64 >/dev/null 2>&1 &&
        fail "the 64-bit registry view has vornakDsnStore"
    wine reg query 'HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources' /v vornakDsnStore /reg:64 \
        >/dev/null 2>&1 && fail "the 64-bit registry view lists vornakDsnStore"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "one data source, five values, the second path"
