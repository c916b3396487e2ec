#!/bin/bash
# usage: scripts/release/build-program.sh
# Installs what is missing and builds build/vornakdsn.exe as a release has it; prints the
# project's version (X.Y.Z).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-dependencies.sh >&2
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn >/dev/null
sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt
