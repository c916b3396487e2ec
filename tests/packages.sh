#!/bin/bash
# usage: packages.sh PROGRAM OUT
# Builds into OUT, as a release does, the packages the MSI tests install: unsigned/ (version
# 1.0.0), higher/ (1.0.1), and signed/ (1.0.0, signed with a throwaway certificate, cert.pem).
set -euo pipefail
program=$(realpath "$1")
out=$2
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
rm -rf "$out"
mkdir -p "$out"
"$scripts/release/package.sh" "$program" 1.0.0 "$out/unsigned" >/dev/null
"$scripts/release/package.sh" "$program" 1.0.1 "$out/higher" >/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vornakdsn test signer' \
    -addext extendedKeyUsage=codeSigning -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -passout pass:throwaway \
    -out "$out/signer.p12"
VORNAKDSN_SIGN_PKCS12=$out/signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway \
    "$scripts/release/package.sh" "$program" 1.0.0 "$out/signed" >/dev/null
echo "packages built in $out"
