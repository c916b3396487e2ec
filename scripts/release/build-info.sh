#!/bin/bash
# usage: scripts/release/build-info.sh
# Prints what a release is built from and with, one "name value" a line: the source commit
# (with "+changes" when the checkout differs from it), SOURCE_DATE_EPOCH (the commit's time
# unless the environment gives it), and the Debian versions of the tools that shape the
# release's bytes. The same checkout and tools print the same text anywhere.
set -euo pipefail
# shellcheck source=scripts/release/lib.sh
. "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/../.."

commit=$(git rev-parse HEAD 2>/dev/null) || commit=unknown
if [ "$commit" != unknown ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    commit+=+changes
fi
echo "commit $commit"
echo "SOURCE_DATE_EPOCH $(source_date_epoch)"
for tool in "${release_tools[@]}"; do
    echo "$tool $(dpkg-query -W -f='${Version}' "$tool" 2>/dev/null || echo missing)"
done
