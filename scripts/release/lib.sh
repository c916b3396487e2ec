# Sourced by the release's scripts, and by what builds, checks or tests them, for what they share:
#   release_tools          the Debian packages that shape a release's bytes (build-info.txt
#                          gives their versions)
#   release_helpers        what else making and checking a release takes
#   signing_settings       the names of the settings that sign a release (see sign.sh)
#   without_signing CMD... runs CMD with none of them set
#   take_password          moves VORNAKDSN_SIGN_PASSWORD out of the environment into $password,
#                          so that only what is handed it on purpose sees it
#   source_date_epoch      the time a release gives every file: SOURCE_DATE_EPOCH when the
#                          environment sets it, else the last commit's; empty without either
release_tools=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev cmake wixl
               msitools osslsigncode faketime)
release_helpers=(make git openssl python3 python3-asn1crypto)
signing_settings=(VORNAKDSN_SIGN_PKCS12 VORNAKDSN_SIGN_PKCS11_MODULE VORNAKDSN_SIGN_PKCS11_KEY
                  VORNAKDSN_SIGN_CERT VORNAKDSN_SIGN_PASSWORD VORNAKDSN_SIGN_TIMESTAMP_URL)

without_signing() {
    env "${signing_settings[@]/#/--unset=}" "$@"
}

take_password() {
    password=${VORNAKDSN_SIGN_PASSWORD-}
    unset VORNAKDSN_SIGN_PASSWORD
}

source_date_epoch() {
    echo "${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct 2>/dev/null)}"
}
