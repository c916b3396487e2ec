#!/bin/bash
# usage: ./run.sh [--vm] [--wow64] [DATABASE-PATH]
# Builds the program and runs it in a private Wine prefix whose ODBC installer is Wine's own,
# with a stand-in for the Access driver's setup routine behind it; then prints the data
# source as the prefix's registry holds it. Exits non-zero when the data source is missing or
# does not point at DATABASE-PATH.
#
# Plain, the prefix is 32-bit Windows (build/run-prefix). With --wow64 it is 64-bit Windows
# (build/run-prefix-wow64), where the program runs under WoW64: the data source is printed as
# the 32-bit registry view holds it, and the 64-bit view must have none.
#
# On a host that cannot run 32-bit x86 programs, or with --vm, does all of it in a Debian 12
# guest under QEMU (see scripts/guest/run.sh).
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1-}" = --vm ]; then
    shift
    exec scripts/guest/run.sh ./run.sh "$@"
fi
scripts/runs-32-bit.sh || exec scripts/guest/run.sh ./run.sh "$@"
arch=win32
prefix=build/run-prefix
if [ "${1-}" = --wow64 ]; then
    arch=win64
    prefix=build/run-prefix-wow64
    shift
fi
database=${1-'C:\Data\orders.mdb'}

scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn access_setup launch -j "$(nproc)" >/dev/null

export WINEPREFIX=$PWD/$prefix WINEARCH=$arch WINEDEBUG=-all
# shellcheck source=scripts/lib.sh
. scripts/lib.sh
wine_settings
scripts/wine/prefix.sh start
trap 'scripts/wine/prefix.sh stop' EXIT
scripts/wine/odbc-prefix.sh build/tools/access_setup.dll

# Wine would turn the path into the Unix locale's characters; the launcher hands it over as
# given, whatever its characters.
command_line="\"$(winepath -w build/vornakdsn.exe)\" \"$database\""
status=0
wine build/tools/launch.exe 60 "$(printf '%s' "$command_line" | od -An -tx1 | tr -d ' \n')" ||
    status=$?
echo "vornakdsn.exe exited with status $status"
if ! stored=$(scripts/wine/show-data-source.sh); then
    echo "the data source vornakDsnStore is missing" >&2
    exit 1
fi
[ "$arch" = win32 ] || echo "32-bit registry view:"
echo "$stored"
if ! grep -qxF "    DBQ    REG_SZ    $database" <<<"$stored"; then
    echo "the data source does not point at $database" >&2
    exit 1
fi
[ "$arch" = win64 ] || exit 0

key='HKLM\Software\ODBC\ODBC.INI\vornakDsnStore'
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then
    echo "the 64-bit registry view has $key too" >&2
    exit 1
fi
echo "64-bit registry view: no $key"
