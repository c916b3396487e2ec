#!/bin/bash
# Installs what is missing, builds, and runs every test, the Windows ones under Wine with a
# virtual display for the message boxes. Ends with ctest's summary; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" ctest --preset default
