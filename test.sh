#!/bin/bash
# usage: ./test.sh [--vm]
# Installs what is missing, builds, and runs every test, the Windows ones under Wine with a
# virtual display for the message boxes. Ends with ctest's summary; non-zero on any failure.
# On a host that cannot run 32-bit x86 programs, or with --vm, builds and runs the tests that
# need no Wine here, and those that do in a Debian 12 guest under QEMU (see
# scripts/guest/run.sh), with all that Wine writes on the guest's own disk, where the Wine
# prefixes that every run starts from are made once and kept.
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1-}" != --vm ] && scripts/runs-32-bit.sh; then
    scripts/install-dependencies.sh
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$(nproc)"
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" ctest --preset default
fi
scripts/install-dependencies.sh --build
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
status=0
ctest --preset default --label-exclude wine || status=$?
# The packages that the Windows tests install were built just now, here.
scripts/guest/run.sh --local build/wine \
    xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    ctest --preset default --label-regex wine --fixture-exclude-any packages || status=$?
exit "$status"
