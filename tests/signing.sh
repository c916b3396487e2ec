#!/bin/bash
# usage: signing.sh PROGRAM WORK
# Makes releases of PROGRAM (scripts/release/package.sh) as publishers sign them, everything local,
# below WORK: a throwaway CA; a signing certificate valid for 30 days whose key lies on a
# SoftHSM2 token, and the same certificate's twin with its key in a .p12 file; and an RFC 3161
# time-stamping server on 127.0.0.1. Signed and time-stamped releases verify, the program
# inside the package too, also 40 days on, when the certificate has expired; an untimestamped
# one does not. Settings that are incomplete or contradict each other, and a time-stamping
# server that does not answer, are refused and leave no release behind.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$scripts/release/lib.sh"
program=$(realpath "$1")
work=$(mkdir -p "$2" && realpath "$2")
rm -rf "${work:?}"/*
cd "$work"

# The CA, and from it the time-stamping authority and the two signing certificates.
openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj '/CN=vornakdsn test CA' \
    -keyout ca.key -out ca.pem 2>/dev/null
issue() {  # issue NAME DAYS EXTENSIONS [PUBLIC-KEY]: NAME.pem, from a request signed by NAME.key
    openssl req -new -newkey rsa:2048 -nodes -subj "/CN=vornakdsn test $1" -keyout "$1.key" \
        -out "$1.csr" 2>/dev/null
    printf '%b' "$3" >"$1.ext"
    openssl x509 -req -in "$1.csr" ${4:+-force_pubkey "$4"} -CA ca.pem -CAkey ca.key \
        -CAcreateserial -days "$2" -extfile "$1.ext" -out "$1.pem" 2>/dev/null
}
issue tsa 3650 'basicConstraints=CA:FALSE\nextendedKeyUsage=critical,timeStamping\n'
signer='basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=codeSigning\n'
issue file 30 "$signer"
cat file.pem ca.pem >file-chain.pem
openssl pkcs12 -export -inkey file.key -in file-chain.pem -passout pass:p12secret -out signer.p12
# Keys that sign what Windows refuses: a certificate for web servers, and one that has expired.
issue web 30 'basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n'
faketime '2020-01-01 00:00:00' openssl req -x509 -newkey rsa:2048 -nodes -days 2 \
    -subj '/CN=vornakdsn test expired' -addext extendedKeyUsage=codeSigning -keyout expired.key \
    -out expired.pem 2>/dev/null
for name in web expired; do
    openssl pkcs12 -export -inkey "$name.key" -in "$name.pem" -passout pass:p12secret -out "$name.p12"
done

# The token, with its key made on it and never leaving it.
export SOFTHSM2_CONF=$work/softhsm2.conf
mkdir tokens
printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' \
    "$work/tokens" >"$SOFTHSM2_CONF"
module=/usr/lib/softhsm/libsofthsm2.so
softhsm2-util --init-token --free --label signing --so-pin 918273 --pin 4321 >/dev/null
pkcs11-tool --module "$module" --token-label signing --login --pin 4321 --keypairgen \
    --key-type rsa:2048 --label codesign --id 01 >/dev/null
pkcs11-tool --module "$module" --token-label signing --read-object --type pubkey --id 01 \
    -o token.der >/dev/null
openssl pkey -pubin -inform DER -in token.der -out token-public.pem
issue token 30 "$signer" token-public.pem
cat token.pem ca.pem >token-chain.pem
# A token whose key is used without a PIN: the key is not marked private.
softhsm2-util --init-token --free --label open --so-pin 918273 --pin 4321 >/dev/null
issue open 30 "$signer"
GNUTLS_PIN=4321 p11tool --provider "$module" --login --write --no-mark-private \
    --load-privkey open.key --label codesign 'pkcs11:token=open' >/dev/null 2>&1
cat open.pem ca.pem >open-chain.pem

cat >tsa.cnf <<CONFIG
[ tsa ]
default_tsa = vornakdsn_test
[ vornakdsn_test ]
serial = $work/tsa-serial
signer_cert = $work/tsa.pem
certs = $work/ca.pem
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha256
accuracy = secs:1
ess_cert_id_alg = sha256
CONFIG
echo 01 >tsa-serial
python3 "$tests/timestamp-server.py" tsa.cnf port &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do [ -s port ] && break; sleep 0.1; done
time_stamps=http://127.0.0.1:$(cat port)
# Nothing listens there.
dead=http://127.0.0.1:9

token=(VORNAKDSN_SIGN_PKCS11_MODULE="$module"
       'VORNAKDSN_SIGN_PKCS11_KEY=pkcs11:token=signing;object=codesign'
       VORNAKDSN_SIGN_CERT="$work/token-chain.pem" VORNAKDSN_SIGN_PASSWORD=4321)
p12=(VORNAKDSN_SIGN_PKCS12="$work/signer.p12" VORNAKDSN_SIGN_PASSWORD=p12secret)

# Stands in for wixl on the PATH: notes whether the password reached it, which has no use for it.
mkdir spy
printf '#!/bin/sh\n[ -z "$VORNAKDSN_SIGN_PASSWORD" ] || touch %s/leaked\nexec /usr/bin/wixl "$@"\n' \
    "$work" >spy/wixl
chmod +x spy/wixl

# release NAME SETTINGS...: package.sh with only these signing settings, into release-NAME,
# which holds a stale release before; its standard error in NAME.errors. No secret may show in
# what it prints, nor reach a program that does not sign.
release() {
    local name=$1
    shift
    mkdir -p "release-$name"
    (cd "release-$name" && touch vornakdsn.exe vornakdsn-$version.msi SHA256SUMS)
    rm -f leaked
    without_signing PATH="$work/spy:$PATH" "$@" \
        "$scripts/release/package.sh" "$program" "$version" "release-$name" >"$name.output" 2>"$name.errors"
    local status=$?
    ! grep -qe 4321 -e p12secret "$name.output" "$name.errors" || fail "a secret is in the output"
    [ ! -e leaked ] || fail "the password reached wixl"
    return $status
}

# verifies FILE [UNIXTIME]: the signature of FILE verifies against the CA, at UNIXTIME if given.
verifies() {
    osslsigncode verify -CAfile ca.pem -TSA-CAfile ca.pem ${2:+-time "$2"} -in "$1" >/dev/null 2>&1
}

# expect_signed NAME timestamped|untimestamped: a whole release whose program, package,
# program inside the package and PowerShell recipes verify now, and 40 days on only when
# time-stamped.
expect_signed() {
    local folder=release-$1 later=$(($(date +%s) + 40 * 86400)) file
    (cd "$folder" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
    rm -rf "$folder/extracted"
    msiextract -C "$folder/extracted" "$folder/vornakdsn-$version.msi" >/dev/null ||
        fail "cannot extract the package"
    for file in "$folder"/vornakdsn.exe "$folder"/vornakdsn-$version.msi \
                "$folder"/extracted/*/*/vornakdsn.exe "$folder"/*.ps1; do
        verifies "$file" || fail "$file does not verify"
        if [ "$2" = timestamped ]; then
            verifies "$file" "$later" || fail "$file does not verify after its certificate expired"
        else
            verifies "$file" "$later" && fail "$file verifies after its certificate expired"
        fi
    done
}

# expect_refused NAME WORDS: no release, not even the stale one, and one line that has WORDS.
expect_refused() {
    [ -z "$(ls -A "release-$1")" ] || fail "release-$1 holds: $(ls "release-$1" | tr '\n' ' ')"
    tail -n 1 "$1.errors" | grep -qF "$2" ||
        fail "the last line does not say '$2': $(tail -n 1 "$1.errors")"
}

name_case token_timestamped
release "$case_name" "${token[@]}" VORNAKDSN_SIGN_TIMESTAMP_URL="$time_stamps" ||
    fail "failed: $(cat "$case_name.errors")"
expect_signed "$case_name" timestamped
tally

name_case p12_timestamped
release "$case_name" "${p12[@]}" VORNAKDSN_SIGN_TIMESTAMP_URL="$time_stamps" ||
    fail "failed: $(cat "$case_name.errors")"
expect_signed "$case_name" timestamped
tally

name_case p12_untimestamped
release "$case_name" "${p12[@]}" || fail "failed: $(cat "$case_name.errors")"
expect_signed "$case_name" untimestamped
tally

name_case token_without_pin
release "$case_name" VORNAKDSN_SIGN_PKCS11_MODULE="$module" \
    'VORNAKDSN_SIGN_PKCS11_KEY=pkcs11:token=open;object=codesign' \
    VORNAKDSN_SIGN_CERT="$work/open-chain.pem" || fail "failed: $(cat "$case_name.errors")"
expect_signed "$case_name" untimestamped
tally

# A certificate without its chain, issued by an organisation's own root that its machines
# trust: the release is made, and its check names the signer as one that this machine cannot
# vouch for, and no fault.
name_case leaf_certificate_alone
release "$case_name" "${token[@]}" VORNAKDSN_SIGN_CERT="$work/token.pem" ||
    fail "failed: $(cat "$case_name.errors")"
cp "$program" leaf.exe
checked=$("$scripts/release/compare.sh" "release-$case_name" leaf.exe "$version") ||
    fail "compare.sh ended with $?: $checked"
grep -qx 'match: intune-remediation.ps1' <<<"$checked" &&
    grep -q '^signer: vornakdsn.exe: subject CN=vornakdsn test token, issuer CN=vornakdsn test CA' <<<"$checked" &&
    grep -q '^note: vornakdsn.exe: the chain of CN=vornakdsn test token cannot be built' <<<"$checked" ||
    fail "compare.sh said: $checked"
expect_signed "$case_name" untimestamped
tally

# Files named relative to the folder the script starts in (this one).
name_case relative_paths
release "$case_name" VORNAKDSN_SIGN_PKCS12=signer.p12 VORNAKDSN_SIGN_PASSWORD=p12secret ||
    fail "failed: $(cat "$case_name.errors")"
expect_signed "$case_name" untimestamped
tally

# refused NAME WORDS SETTINGS...
refused() {
    name_case "$1"
    local words=$2
    shift 2
    release "$case_name" "$@" && fail "made a release"
    expect_refused "$case_name" "$words"
    tally
}
refused dead_time_stamp_server "with a time stamp from $dead" "${token[@]}" VORNAKDSN_SIGN_TIMESTAMP_URL=$dead
refused p12_and_token "not both" "${token[@]}" VORNAKDSN_SIGN_PKCS12="$work/signer.p12"
refused token_without_module "VORNAKDSN_SIGN_PKCS11_MODULE is not set" "${token[@]}" VORNAKDSN_SIGN_PKCS11_MODULE=
refused token_without_key "VORNAKDSN_SIGN_PKCS11_KEY is not set" "${token[@]}" VORNAKDSN_SIGN_PKCS11_KEY=
refused token_without_certificate "VORNAKDSN_SIGN_CERT is not set" "${token[@]}" VORNAKDSN_SIGN_CERT=
refused pin_in_key_uri "holds a PIN" "${token[@]}" 'VORNAKDSN_SIGN_PKCS11_KEY=pkcs11:token=signing;object=codesign;pin-value=4321'
refused password_without_key "VORNAKDSN_SIGN_PASSWORD is set, but no key" VORNAKDSN_SIGN_PASSWORD=4321
refused certificate_without_key "VORNAKDSN_SIGN_CERT is set, but no key" VORNAKDSN_SIGN_CERT="$work/token-chain.pem"
refused missing_certificate "VORNAKDSN_SIGN_CERT names 'nothere.pem', which does not exist" "${token[@]}" VORNAKDSN_SIGN_CERT=nothere.pem
refused web_certificate "not one Windows accepts: it is signed with a certificate that is not for code signing" VORNAKDSN_SIGN_PKCS12=web.p12 VORNAKDSN_SIGN_PASSWORD=p12secret
refused expired_certificate "expired on 2020-01-03 and the signature has no time stamp" VORNAKDSN_SIGN_PKCS12=expired.p12 VORNAKDSN_SIGN_PASSWORD=p12secret
refused time_stamps_without_key "VORNAKDSN_SIGN_TIMESTAMP_URL is set, but no key" VORNAKDSN_SIGN_TIMESTAMP_URL="$time_stamps"

summary
