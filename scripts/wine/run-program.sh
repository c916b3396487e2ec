#!/bin/bash
# usage: scripts/wine/run-program.sh [--wow64] [DATABASE-PATH]
# The Wine half of ./run.sh, on a build that is there: runs build/vornakdsn.exe for
# DATABASE-PATH (C:\Data\orders.mdb) in a private Wine prefix whose ODBC installer is Wine's
# own, with the Access setup stand-in (build/tools/access_setup.dll) behind it, the path
# handed over exactly by build/tools/launch.exe; then prints the data source as the prefix's
# registry holds it. Exits non-zero when the data source is missing or does not point at
# DATABASE-PATH. Plain, the prefix is 32-bit Windows (build/wine/run-prefix); with --wow64 it
# is 64-bit Windows (build/wine/run-prefix-wow64): the data source is printed as the 32-bit
# registry view holds it, and the 64-bit view must have none.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib.sh
. scripts/lib.sh
arch=win32
prefix=build/wine/run-prefix
if [ "${1-}" = --wow64 ]; then
    arch=win64
    prefix=build/wine/run-prefix-wow64
    shift
fi
database=${1-'C:\Data\orders.mdb'}

export WINEPREFIX=$PWD/$prefix WINEARCH=$arch WINEDEBUG=-all
wine_settings
scripts/wine/prefix.sh start
trap 'scripts/wine/prefix.sh stop' EXIT
scripts/wine/odbc-prefix.sh build/tools/access_setup.dll

# Wine would turn the path into the Unix locale's characters; the launcher hands it over as
# given, whatever its characters.
command_line="\"$(winepath -w build/vornakdsn.exe)\" \"$database\""
status=0
wine build/tools/launch.exe 300 "$(printf '%s' "$command_line" | od -An -tx1 | tr -d ' \n')" ||
    status=$?
echo "vornakdsn.exe exited with status $status"
stored=$(scripts/wine/show-data-source.sh) || die 1 "the data source vornakDsnStore is missing"
[ "$arch" = win32 ] || echo "32-bit registry view:"
echo "$stored"
grep -qxF "    DBQ    REG_SZ    $database" <<<"$stored" ||
    die 1 "the data source does not point at $database"
[ "$arch" = win64 ] || exit 0

key='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'
! wine reg query "$key" /reg:64 >/dev/null 2>&1 || die 1 "the 64-bit registry view has $key too"
echo "64-bit registry view: no $key"
