#!/bin/bash
# usage: scripts/guest/unpacked.sh ADMIN-DIR PACKAGE...
# Exits 0 when the dpkg database in ADMIN-DIR has each PACKAGE at least unpacked, set up or
# not; otherwise names the first that is not, with status 1.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../lib.sh"
admin=$1
shift
for package in "$@"; do
    status=$(dpkg-query --admindir="$admin" -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status =~ ^install\ ok\ (installed|unpacked|half-configured|triggers-(awaited|pending))$ ]] ||
        die 1 "$package is not unpacked in the guest (${status:-not there}): its download or" \
              "the disk failed, so the guest is not kept; try again"
done
