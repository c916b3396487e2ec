#!/bin/bash
# usage: package-tables.sh PACKAGES
# Checks the packages that packages.sh built into PACKAGES where Wine's msiexec cannot: in
# the package's own tables (Wine runs every custom action as one user, logs success for an
# action whose file is gone, and never runs the user-interface sequence of a silent
# install), and their signatures.
set -uo pipefail
packages=$1
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
msi=$packages/unsigned/vornakdsn-$version.msi

# has TABLE ROW: the table has the row, its fields joined by tabs.
has() {
    msiinfo export "$msi" "$1" | tr -d '\r' | grep -qxF "$2" || fail "$1 lacks: ${2//$'\t'/ | }"
}
row() {
    local IFS=$'\t'
    echo "$*"
}

name_case program_action
# Deferred (18 + 0x400), as the local system (0x800), its exit status checked (no 0x40).
has CustomAction "$(row RegisterDataSource 3090 vornakdsn.exe '"[DATABASEPATH]"' '')"
# On a first install and on a repair, asked for or made by an install command; never on a
# removal, where the program is gone.
has InstallExecuteSequence "$(row RegisterDataSource 'NOT Installed OR REINSTALL' 4001)"
tally

name_case path_in_both_sequences
recall='NOT DATABASEPATH AND REMEMBEREDDATABASEPATH'
converge='Installed AND NOT REMOVE AND NOT REINSTALL AND DATABASEPATH'
converge="$converge AND DATABASEPATH <> CurrentDatabasePath"
for sequence in InstallUISequence InstallExecuteSequence; do
    has "$sequence" "$(row RecallDatabasePath "$recall" 51)"
    has "$sequence" "$(row ConvergeReinstallMode "$converge" 52)"
    has "$sequence" "$(row ConvergeReinstall "$converge" 53)"
done
has CustomAction "$(row ConvergeReinstall 51 REINSTALL ALL '')"
has CustomAction "$(row ConvergeReinstallMode 51 REINSTALLMODE vomus '')"
tally

# Wine's msiexec cannot pass a quote inside a property value, so that half of the refusal is
# checked here: a path that holds one, or ends in a backslash, fails the launch conditions.
name_case refused_paths
msiinfo export "$msi" LaunchCondition | tr -d '\r' | grep -qxF "$(row \
    'REMOVE = "ALL" OR NOT (DATABASEPATH >> "\" OR DATABASEPATH >< QuoteCharacter)' \
    'vornakdsn cannot use DATABASEPATH=[DATABASEPATH]: the path of a database file ends in its name, not in a backslash, and holds no quote ("). Give the file'"'"'s full path, for example DATABASEPATH="C:\Data\orders.mdb"')" ||
    fail "no launch condition refuses a quote or a trailing backslash"
has Property "$(row QuoteCharacter '"')"
tally

# Event Viewer reads the program's sentences from the file named by a REG_EXPAND_SZ ("#%"),
# for all three types of event (7, a DWORD: "#").
name_case event_source
source='SYSTEM\CurrentControlSet\Services\EventLog\Application\vornakdsn'
registry=$(msiinfo export "$msi" Registry | tr -d '\r' | cut -f2-)
for expected in "$(row 2 "$source" EventMessageFile '#%[#vornakdsn.exe]' EventSource)" \
                "$(row 2 "$source" TypesSupported '#7' EventSource)"; do
    grep -qxF "$expected" <<<"$registry" || fail "Registry lacks: ${expected//$'\t'/ | }"
done
tally

name_case properties
# DATABASEPATH reaches the installing service in a managed install too.
msiinfo export "$msi" Property | grep -q '^SecureCustomProperties.*DATABASEPATH' ||
    fail "DATABASEPATH is not a secure property"
# One feature, nothing to choose: Programs and Features offers no Change.
has Property "$(row ARPNOMODIFY 1)"
tally

# Windows refuses a package whose product code is installed under another package code (1638),
# which Wine's msiexec lets pass: no two of the builds share either code.
name_case codes_follow_content
codes=$(for build in unsigned/vornakdsn-$version.msi higher/vornakdsn-$next_version.msi signed/vornakdsn-$version.msi; do
            msiinfo export "$packages/$build" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }'
            msiinfo suminfo "$packages/$build" | sed -n 's/^Revision number (UUID): //p'
        done | tr -d '\r')
[ "$(grep -c . <<<"$codes")" = 6 ] && [ "$(sort -u <<<"$codes" | grep -c .)" = 6 ] ||
    fail "the product and package codes are not six different ones: $(tr '\n' ' ' <<<"$codes")"
tally

name_case signatures
for file in vornakdsn.exe vornakdsn-$version.msi; do
    osslsigncode verify -CAfile "$packages/cert.pem" -in "$packages/signed/$file" >/dev/null 2>&1 ||
        fail "osslsigncode does not verify the signed $file"
    osslsigncode verify -CAfile "$packages/cert.pem" -in "$packages/unsigned/$file" >/dev/null 2>&1 &&
        fail "the unsigned $file has a signature"
done
tally

summary
