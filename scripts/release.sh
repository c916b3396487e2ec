#!/bin/bash
# usage: scripts/release.sh
# Installs what is missing, builds the program and writes build/release/: vornakdsn.exe,
# vornakdsn-X.Y.Z.msi and SHA256SUMS, X.Y.Z being the project's version. Signs and
# time-stamps both as the VORNAKDSN_SIGN_* variables say (see scripts/package.sh); a release
# that cannot be signed as they say leaves build/release/ without them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
scripts/package.sh build/vornakdsn.exe "$version" build/release
