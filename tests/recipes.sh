#!/bin/bash
# usage: recipes.sh SOURCE-DIR POWERSHELL-FOLDER
# What can be held of the deployment recipes (deployment/) without Windows: the README shows
# each as it stands in its file; the Ansible play passes ansible-playbook --syntax-check with
# Debian's ansible and its ansible.windows collection; every PowerShell script parses without
# an error in PowerShell 7's own parser (from POWERSHELL-FOLDER, see
# scripts/install-powershell.sh; skipped where it could not be installed).
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
pwsh=$2/pwsh
recipes=$source_dir/deployment

# Each fenced block of the README, by the number of its first line, as it stands between its
# fences.
name_case shown_in_readme
blocks=$(mktemp -d)
trap 'rm -rf "$blocks"' EXIT
awk -v out="$blocks" '/^```/ { if (file) { close(file); file = "" } else file = out "/" NR; next }
                      file { print > file }' "$source_dir/README.md"
for recipe in "$recipes"/*; do
    found=no
    for block in "$blocks"/*; do
        if cmp -s <(tr -d '\r' <"$recipe") "$block"; then
            found=yes
            break
        fi
    done
    [ "$found" = yes ] || fail "the README shows no block that is ${recipe#"$source_dir"/} as it stands"
done
tally

name_case ansible_syntax
inventory=$(mktemp)
printf '[windows]\nwindows-host\n' >"$inventory"
said=$(ANSIBLE_COLLECTIONS_PATH=/usr/lib/python3/dist-packages ansible-playbook --syntax-check \
       -i "$inventory" "$recipes/vornakdsn-playbook.yml" 2>&1) || fail "ansible-playbook says: $said"
rm -f "$inventory"
tally

name_case powershell_parses
if [ ! -x "$pwsh" ]; then
    skip "no PowerShell in ${pwsh%/pwsh} (scripts/install-powershell.sh installs it where the .NET SDK is)"
else
    for script in "$recipes"/*.ps1; do
        said=$(script=$script "$pwsh" -NoProfile -NonInteractive -Command '
            $errors = $null
            $null = [System.Management.Automation.Language.Parser]::ParseFile($env:script, [ref]$null, [ref]$errors)
            $errors | ForEach-Object { "line $($_.Extent.StartLineNumber): $($_.Message)" }' 2>&1) ||
            fail "PowerShell ended with $?"
        [ -z "$said" ] || fail "${script##*/}: $said"
    done
fi
tally

summary
