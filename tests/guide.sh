#!/bin/bash
# usage: guide.sh SOURCE-DIR BUILD-DIR
# Holds the developers' guide's table of what proves what (HACKING.md) against the tests: each
# row's file is there, its test is one that ctest has, its case one that the file names (a
# GoogleTest SUITE.NAME as a TEST or TEST_P of it; a shell test's "GROUP: NAME" by its group and
# its name, a pattern by what stands before its "*"), and its command runs that test and case.
# Also that the version the README and the recipes name in their examples is the project's.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
tests_here=$(ctest --test-dir "$2" -N | sed -n 's/^ *Test *#[0-9]*: //p')

name_case table_rows
rows=0
while IFS='|' read -r _ behaviour file test case alone _; do
    file=$(sed 's/^ *`//; s/` *$//' <<<"$file")
    test=$(sed 's/^ *`//; s/` *$//' <<<"$test")
    case=$(sed 's/^ *`//; s/` *$//; s/^ *$//' <<<"$case")
    alone=$(sed 's/^ *`//; s/` *$//' <<<"$alone")
    [[ $file == tests/* ]] || continue
    rows=$((rows + 1))
    row="row '$(sed 's/^ *//; s/ *$//' <<<"$behaviour")'"
    [ -f "$source_dir/$file" ] || { fail "$row: no $file"; continue; }
    grep -qx "$test" <<<"$tests_here" || fail "$row: ctest has no test $test"
    [[ $alone == *"-R '^$test\$'"* ]] || fail "$row: its command does not run $test alone"
    [ -n "$case" ] || continue
    [[ $alone == *"$case"* ]] || fail "$row: its command does not choose the case $case"
    if [[ $case =~ ^([A-Za-z]+)\.([A-Za-z]+)$ ]]; then
        grep -qE "^TEST(_P)?\\(${BASH_REMATCH[1]}, ${BASH_REMATCH[2]}\\)" "$source_dir/$file" ||
            fail "$row: $file has no case $case"
        continue
    fi
    name=${case%\*}
    group=
    if [[ $name == *": "* ]]; then
        group=${name%%: *}
        name=${name#*: }
    fi
    { [ -z "$group" ] || grep -qF "\"$group: " "$source_dir/$file"; } &&
        { [ -z "$name" ] || grep -qw -- "$name" "$source_dir/$file"; } ||
        fail "$row: $file names no case $case"
done <"$source_dir/HACKING.md"
[ "$rows" -gt 0 ] || fail "HACKING.md has no table of what proves what"
tally

name_case versions_named
others=$(cd "$source_dir" && grep -noE 'vornakdsn[- ][0-9]+\.[0-9]+\.[0-9]+' README.md HACKING.md deployment/* |
         grep -vE "vornakdsn[- ]${version//./\\.}\$")
[ -z "$others" ] || fail "not the project's version ($version): $others"
tally

summary
