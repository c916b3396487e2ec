#!/bin/bash
# usage: ./run.sh [DATABASE-PATH]
# Builds the program and runs it in a private Wine prefix (build/run-prefix) whose ODBC
# installer is Wine's own, with a stand-in for the Access driver's setup routine behind it;
# then prints the data source as the prefix's registry holds it. Exits non-zero when the
# data source is missing or does not point at DATABASE-PATH.
set -euo pipefail
cd "$(dirname "$0")"
database=${1-'C:\Data\orders.mdb'}

scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn access_setup -j "$(nproc)" >/dev/null

export WINEPREFIX=$PWD/build/run-prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree=;mshtml='
wineserver --persistent </dev/null >/dev/null 2>&1 || true
trap 'wineserver --kill 2>/dev/null || true' EXIT
scripts/odbc-prefix.sh build/tools/access_setup.dll

status=0
wine build/vornakdsn.exe "$database" || status=$?
echo "vornakdsn.exe exited with status $status"
if ! stored=$(scripts/show-data-source.sh); then
    echo "the data source vornakDsnStore is missing" >&2
    exit 1
fi
echo "$stored"
if ! grep -qxF "    DBQ    REG_SZ    $database" <<<"$stored"; then
    echo "the data source does not point at $database" >&2
    exit 1
fi
