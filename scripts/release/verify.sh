#!/bin/bash
# usage: scripts/release/verify.sh FOLDER
# Checks a release against this checkout: rebuilds its program here, in a folder of its own,
# and compares (see compare.sh). FOLDER must hold exactly vornakdsn.exe, vornakdsn-X.Y.Z.msi,
# the deployment recipes, build-info.txt and SHA256SUMS, built from this checkout's commit. Prints a line for
# build-info.txt, then compare.sh's, one per file. Needs neither root nor Wine: only what
# scripts/install-dependencies.sh --release installs.
# Exits 0 when every file matches and every signature holds, 1 on a mismatch, 2 when it cannot
# compare (missing tools, a release of another commit, a file that is not there).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$root/scripts/release/lib.sh"
[ $# -eq 1 ] || die 2 "usage: scripts/release/verify.sh FOLDER"
folder=$(realpath -e -- "$1" 2>/dev/null) && [ -d "$folder" ] || die 2 "no folder $1"
"$root/scripts/install-dependencies.sh" --release || exit 2

# The files that every release has; the recipes, and any other, are compare.sh's to name.
msi=$(cd "$folder" && ls vornakdsn-*.msi 2>/dev/null)
[ "$(wc -w <<<"$msi")" = 1 ] || die 2 "$folder holds no one vornakdsn-X.Y.Z.msi"
for name in vornakdsn.exe build-info.txt SHA256SUMS; do
    [ -f "$folder/$name" ] || die 2 "$folder has no $name"
done

# The release's own commit and time; the same commit here, or nothing to compare with.
info=$folder/build-info.txt
built_from=$(awk '$1 == "commit" { print $2 }' "$info")
SOURCE_DATE_EPOCH=$(awk '$1 == "SOURCE_DATE_EPOCH" { print $2 }' "$info")
[[ $built_from =~ ^[0-9a-f]{40}(\+changes)?$ ]] && [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
    die 2 "$info does not say which commit and time the release was built from"
export SOURCE_DATE_EPOCH
here=$("$root/scripts/release/build-info.sh") || die 2 "cannot tell what this checkout is"
checkout=$(awk '$1 == "commit" { print $2 }' <<<"$here")
[[ $built_from != *+changes ]] ||
    die 2 "the release was built from changes that no commit holds: nothing can rebuild it"
[ "$built_from" = "$checkout" ] ||
    die 2 "the release was built from commit $built_from, this checkout is $checkout:" \
          "git checkout $built_from (with no changes) and run this again"
echo "match: build-info.txt, commit $built_from"
while read -r name there ours; do
    echo "note: the release was built with $name $there; this machine has ${ours:-none}:" \
         "the bytes may differ for that alone"
done < <(join -a 1 <(sort "$info") <(sort <<<"$here") |
         awk '$1 != "SOURCE_DATE_EPOCH" && $1 != "commit" && $2 != $3')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$("$root/scripts/release/build-program.sh" "$work/vornakdsn.exe") ||
    die 2 "cannot build the program"
"$root/scripts/release/compare.sh" "$folder" "$work/vornakdsn.exe" "$version"
