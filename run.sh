#!/bin/bash
# usage: ./run.sh [--vm] [--wow64] [DATABASE-PATH]
# Builds the program and runs it in a private Wine prefix whose ODBC installer is Wine's own,
# with a stand-in for the Access driver's setup routine behind it; then prints the data
# source as the prefix's registry holds it (see scripts/wine/run-program.sh). Exits non-zero
# when the data source is missing or does not point at DATABASE-PATH.
#
# Plain, the prefix is 32-bit Windows (build/wine/run-prefix). With --wow64 it is 64-bit
# Windows (build/wine/run-prefix-wow64), where the program runs under WoW64: the data source is
# printed as the 32-bit registry view holds it, and the 64-bit view must have none.
#
# On a host that cannot run 32-bit x86 programs, or with --vm, builds here, making the guest
# meanwhile where it is not made yet, and runs the Wine half in a Debian 12 guest under QEMU
# (see scripts/guest/run.sh), with build/wine on the guest's own disk.
set -euo pipefail
cd "$(dirname "$0")"
guest=no
if [ "${1-}" = --vm ]; then
    guest=yes
    shift
elif ! scripts/runs-32-bit.sh; then
    guest=yes
fi
# Only what running needs: the tests' packages are ./test.sh's to install.
if [ "$guest" = no ]; then
    scripts/install-dependencies.sh --run
else
    scripts/install-dependencies.sh --program --guest-tools
    # The guest, where it is still to make, is made while the program builds.
    scripts/guest/image.sh >/dev/null &
    image=$!
    trap 'kill "$image" 2>/dev/null || true' EXIT
fi
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn access_setup launch -j "$(nproc)" >/dev/null
[ "$guest" = yes ] || exec scripts/wine/run-program.sh "$@"
wait "$image" || true
trap - EXIT
exec scripts/guest/run.sh --local build/wine scripts/wine/run-program.sh "$@"
