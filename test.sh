#!/bin/bash
# usage: ./test.sh [--vm]
# Installs what is missing, builds, and runs every test, the Windows ones under Wine with a
# virtual display for the message boxes. Ends with ctest's summary; non-zero on any failure.
# On a host that cannot run 32-bit x86 programs, or with --vm, does all of it in a Debian 12
# guest under QEMU (see scripts/guest/run.sh).
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1-}" = --vm ]; then
    exec scripts/guest/run.sh ./test.sh
fi
scripts/runs-32-bit.sh || exec scripts/guest/run.sh ./test.sh
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" ctest --preset default
