#!/bin/bash
# usage: scripts/release.sh
# Installs what is missing, builds the program and writes build/release/: vornakdsn.exe,
# vornakdsn-X.Y.Z.msi and SHA256SUMS, X.Y.Z being the project's version. Signs both when
# VORNAKDSN_SIGN_PKCS12 and VORNAKDSN_SIGN_PASSWORD are set (see scripts/package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vornakdsn >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
scripts/package.sh build/vornakdsn.exe "$version" build/release
