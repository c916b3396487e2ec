#!/bin/bash
# usage: scripts/wine/show-data-source.sh [NAME]
# Prints the system data source NAME (vornakDsnStore) as the registry of the prefix that
# WINEPREFIX names holds it for 32-bit programs, one value per line, and its entry in
# "ODBC Data Sources", every character as stored.
set -uo pipefail
name=${1:-vornakDsnStore}
# shellcheck source=scripts/wine/registry-view.sh
. "$(dirname "$0")/registry-view.sh"
exact_key "HKLM\\Software\\ODBC\\ODBC.INI\\$name" || exit 1
exact_key 'HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources' | grep -E "^HKEY|^    $name    "
