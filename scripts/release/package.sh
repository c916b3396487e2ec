#!/bin/bash
# usage: scripts/release/package.sh PROGRAM VERSION OUTPUT-FOLDER
# Writes into OUTPUT-FOLDER the program as vornakdsn.exe, the Windows Installer package
# vornakdsn-VERSION.msi that installs it, the deployment recipes (deployment/ as it stands),
# build-info.txt (see build-info.sh) and SHA256SUMS for the program, the package and the
# recipes. The same program and sources give the same package
# anywhere: its time stamps are SOURCE_DATE_EPOCH (the last commit's time unless the
# environment gives it), and its product and package codes follow its content. Signs the
# program before it goes into the package, the package, and the recipes that are PowerShell
# scripts (which engines may run only when signed), as the VORNAKDSN_SIGN_* variables say (see
# sign.sh). Signing settings that are refused, and a signature or time stamp that cannot be
# made, leave OUTPUT-FOLDER without any of its files.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$(dirname "$0")/lib.sh"
program=$(realpath "$1")
version=$2
out=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
wxs=$root/package/vornakdsn.wxs
msi=vornakdsn-$version.msi

# Whatever an earlier run left would pass for this run's result.
mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out/vornakdsn.exe" "$out"/vornakdsn-*.msi "$out/build-info.txt" "$out/SHA256SUMS"
recipes=()
for recipe in "$root"/deployment/*; do
    recipes+=("${recipe##*/}")
    rm -f "$out/${recipe##*/}"
done

SOURCE_DATE_EPOCH=$(source_date_epoch)
export SOURCE_DATE_EPOCH
[[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
    die 1 "SOURCE_DATE_EPOCH is '$SOURCE_DATE_EPOCH', not seconds since 1970, and no commit gives it"

# Only the signing is told the password, not the tools that build the package.
take_password
sign() {
    VORNAKDSN_SIGN_PASSWORD=$password "$root/scripts/release/sign.sh" "$@"
}
signing=$(sign --check)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# wixl and msibuild write the time they run into the package, and the cabinet keeps the
# program's time in local time: all of them run with the clock stopped at the source's time,
# in UTC.
at_source_time() {
    TZ=UTC LC_ALL=C faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"
}
property() {
    msiinfo export "$work/$msi" Property | tr -d '\r' | awk -F'\t' -v name="$1" '$1 == name { print $2 }'
}
# A code of the package's own, named by TEXT within the upgrade code's namespace.
name_uuid() {
    python3 -c 'import sys, uuid
print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$1" "$2"
}
set_summary() {
    at_source_time msibuild "$work/$msi" -s "vornakdsn $version" vornakdsn "Intel;1033" "$1"
}

cp "$program" "$work/vornakdsn.exe"
[ "$signing" = unsigned ] || sign "$work/vornakdsn.exe"
touch -d "@$SOURCE_DATE_EPOCH" "$work/vornakdsn.exe"

# wixl finds the program the package names in the folder it runs in. It would draw the
# product code at random: a fixed one stands in until the content is known.
placeholder=00000000-0000-0000-0000-000000000000
(cd "$work" &&
 at_source_time wixl -a x86 -D Version="$version" -D ProductCode="$placeholder" -o "$msi" "$wxs")
# wixl writes SecureCustomProperties itself and cannot be told to add to it. Listed there,
# DATABASEPATH reaches the installing service also when the install is a managed one.
secure=$(property SecureCustomProperties)
at_source_time msibuild "$work/$msi" -q "UPDATE Property SET Value = '${secure:+$secure;}DATABASEPATH' WHERE Property = 'SecureCustomProperties'"
# wixl writes every string as REG_SZ; the event log's EventMessageFile is a REG_EXPAND_SZ,
# which a value that starts with "#%" is.
at_source_time msibuild "$work/$msi" -q "UPDATE Registry SET Value = '#%[#vornakdsn.exe]' WHERE Name = 'EventMessageFile'"
# Another build of this same version replaces an installed one as a newer version does:
# wixl's upgrade row leaves the version itself out, so the row is made again with it
# (attribute 0x200). Attributes is part of the table's key: the row is replaced, not updated.
upgrade_code=$(property UpgradeCode)
at_source_time msibuild "$work/$msi" \
    -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'" \
    -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
# The codes follow the package's whole content, the program's signature included: Windows
# refuses a package whose product code is installed under another package code, so two
# packages that differ in any byte never share one.
set_summary "{$placeholder}"
digest=$(sha256sum "$work/$msi" | cut -c1-64)
at_source_time msibuild "$work/$msi" -q "UPDATE Property SET Value = '$(name_uuid "$upgrade_code" "ProductCode $digest")' WHERE Property = 'ProductCode'"
set_summary "$(name_uuid "$upgrade_code" "PackageCode $digest")"
[ "$signing" = unsigned ] || sign "$work/$msi"
for recipe in "${recipes[@]}"; do
    cp "$root/deployment/$recipe" "$work/"
    [ "$signing" = unsigned ] || [[ $recipe != *.ps1 ]] || sign "$work/$recipe"
done
(cd "$work" && sha256sum vornakdsn.exe "$msi" "${recipes[@]}" >SHA256SUMS)
"$root/scripts/release/build-info.sh" >"$work/build-info.txt"

# The checksums last: a folder with SHA256SUMS holds a whole release.
mv "$work/vornakdsn.exe" "$work/$msi" "${recipes[@]/#/$work/}" "$work/build-info.txt" "$out/"
mv "$work/SHA256SUMS" "$out/"
case $signing in
unsigned) echo "not signed: set VORNAKDSN_SIGN_PKCS12, or a token's VORNAKDSN_SIGN_PKCS11_* variables, to sign" ;;
signed) echo "signed without a time stamp: the signatures stop verifying when the certificate expires" ;;
*) echo "signed, with time stamps from $VORNAKDSN_SIGN_TIMESTAMP_URL" ;;
esac
echo "wrote $out: vornakdsn.exe $msi ${recipes[*]} build-info.txt SHA256SUMS"
