#!/bin/bash
# usage: scripts/release/build-program.sh OUT-FILE
# Builds vornakdsn.exe as a release has it into OUT-FILE and prints the project's version
# (X.Y.Z). Builds in a fresh folder of its own, with no compiler or CMake setting from the
# environment and whatever the checkout's build/ holds, so that the program depends on the
# sources alone. Needs what scripts/install-dependencies.sh --release installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$1
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT

for name in CFLAGS CXXFLAGS CPPFLAGS LDFLAGS RCFLAGS $(compgen -e | grep '^CMAKE_' || true); do
    unset "$name"
done
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVORNAKDSN_TESTS=OFF -DVORNAKDSN_TOOLS=OFF >/dev/null
cmake --build "$build" --target vornakdsn >/dev/null
cp "$build/vornakdsn.exe" "$out"
sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt"
