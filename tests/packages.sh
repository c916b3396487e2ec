#!/bin/bash
# usage: packages.sh PROGRAM OUT
# Builds into OUT, as a release does, the packages the MSI tests install: unsigned/ (the
# project's version, VORNAKDSN_VERSION), higher/ (the next, VORNAKDSN_NEXT_VERSION), and signed/
# (the project's version, signed with a throwaway certificate, cert.pem). ctest sets both.
set -euo pipefail
program=$(realpath "$1")
out=$2
version=${VORNAKDSN_VERSION:?is not set, as ctest sets it}
next_version=${VORNAKDSN_NEXT_VERSION:?is not set, as ctest sets it}
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
rm -rf "$out"
mkdir -p "$out"
"$scripts/release/package.sh" "$program" "$version" "$out/unsigned" >/dev/null
"$scripts/release/package.sh" "$program" "$next_version" "$out/higher" >/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vornakdsn test signer' \
    -addext extendedKeyUsage=codeSigning -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -passout pass:throwaway \
    -out "$out/signer.p12"
VORNAKDSN_SIGN_PKCS12=$out/signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway \
    "$scripts/release/package.sh" "$program" "$version" "$out/signed" >/dev/null
echo "packages built in $out"
