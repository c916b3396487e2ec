#!/bin/bash
# usage: scripts/show-data-source.sh [NAME]
# Prints the system data source NAME (vornakDsnStore) as the registry of the prefix that
# WINEPREFIX names holds it for 32-bit programs, one value per line, and its entry in
# "ODBC Data Sources".
set -uo pipefail
name=${1:-vornakDsnStore}
# shellcheck source=scripts/registry-view.sh
. "$(dirname "$0")/registry-view.sh"
query() {
    wine reg query "$1" "${view[@]}" 2>/dev/null | tr -d '\r' | grep -v '^$'
}
query "HKLM\\Software\\ODBC\\ODBC.INI\\$name" || exit 1
query 'HKLM\Software\ODBC\ODBC.INI\ODBC Data Sources' | grep -E "^HKEY|^    $name    "
