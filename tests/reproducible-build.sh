#!/bin/bash
# Builds the program from two copies of the sources in two different folders and checks that
# the two images are the same bytes: no link time and no folder name may reach the image.
set -eu
source_dir=$1
toolchain=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() {
    local copy=$work/$1/vornakdsn
    mkdir -p "$copy"
    tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
    cmake -S "$copy" -B "$copy/out-$1" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DVORNAKDSN_TESTS=OFF -DVORNAKDSN_TOOLS=OFF >/dev/null
    cmake --build "$copy/out-$1" --target vornakdsn >/dev/null
    echo "$copy/out-$1/vornakdsn.exe"
}

first=$(build one)
second=$(build second-folder)
if ! cmp "$first" "$second"; then
    echo "FAIL: two builds of the same sources differ"
    exit 1
fi
if grep -aq -e "$work" -e "$source_dir" "$first"; then
    echo "FAIL: a build folder's name is in the image"
    exit 1
fi
echo "two builds in different folders are identical: $(sha256sum <"$first" | cut -c1-16)"
