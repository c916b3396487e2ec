#!/bin/bash
# usage: ./run.sh [--vm] [--wow64] [DATABASE-PATH]
# Builds the program and runs it in a private Wine prefix whose ODBC installer is Wine's own,
# with a stand-in for the Access driver's setup routine behind it; then prints the data
# source as the prefix's registry holds it (see scripts/wine/run-program.sh). Exits non-zero
# when the data source is missing or does not point at DATABASE-PATH.
#
# Plain, the prefix is 32-bit Windows (build/run-prefix). With --wow64 it is 64-bit Windows
# (build/run-prefix-wow64), where the program runs under WoW64: the data source is printed as
# the 32-bit registry view holds it, and the 64-bit view must have none.
#
# On a host that cannot run 32-bit x86 programs, or with --vm, builds here and runs the Wine
# half in a Debian 12 guest under QEMU (see scripts/guest/run.sh).
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
if [ "$guest" = yes ]; then
    scripts/install-dependencies.sh --program
else
    scripts/install-dependencies.sh --run
fi
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn access_setup launch -j "$(nproc)" >/dev/null
[ "$guest" = no ] || exec scripts/guest/run.sh scripts/wine/run-program.sh "$@"
exec scripts/wine/run-program.sh "$@"
