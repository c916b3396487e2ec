#!/bin/bash
# usage: scripts/release.sh
# Installs what is missing, builds the program and writes build/release/: vornakdsn.exe,
# vornakdsn-X.Y.Z.msi, build-info.txt and SHA256SUMS, X.Y.Z being the project's version.
# Signs and time-stamps both as the VORNAKDSN_SIGN_* variables say (see scripts/release/package.sh),
# files in them named relative to the folder it is started in; a release that cannot be
# signed as they say leaves build/release/ without them. The same commit gives the same
# unsigned files on any machine, at any time (scripts/verify-release.sh checks a release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The password reaches the packaging alone, not the builds before it.
password=${VORNAKDSN_SIGN_PASSWORD-}
unset VORNAKDSN_SIGN_PASSWORD

version=$("$root/scripts/release/build-program.sh")
VORNAKDSN_SIGN_PASSWORD=$password \
    "$root/scripts/release/package.sh" "$root/build/vornakdsn.exe" "$version" "$root/build/release"
