#!/bin/bash
# usage: scripts/release/make.sh
# Installs what is missing (as root; otherwise says what is), builds the program and writes
# build/release/: vornakdsn.exe, vornakdsn-X.Y.Z.msi, the deployment recipes (deployment/),
# build-info.txt and SHA256SUMS, X.Y.Z being the project's version. Signs and time-stamps the
# program, the package and the PowerShell recipes as the VORNAKDSN_SIGN_* variables
# say (see scripts/release/sign.sh), files in them named relative to the folder it is started
# in; a release that cannot be signed as they say leaves build/release/ without them. The same
# commit gives the same unsigned files on any machine, at any time, whatever the checkout's
# build/ holds (scripts/release/verify.sh checks a release). Needs neither Wine nor 32-bit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/release/lib.sh
. "$root/scripts/release/lib.sh"
# The password reaches the packaging alone, not the builds before it.
take_password

"$root/scripts/install-dependencies.sh" --release
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$("$root/scripts/release/build-program.sh" "$work/vornakdsn.exe")
VORNAKDSN_SIGN_PASSWORD=$password \
    "$root/scripts/release/package.sh" "$work/vornakdsn.exe" "$version" "$root/build/release"
