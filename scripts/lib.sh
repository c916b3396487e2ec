# Sourced by the project's scripts for what they share:
#   die STATUS TEXT...   "NAME: TEXT" on standard error, then exit STATUS; NAME is the script's
#                        own, below scripts/ for the scripts there
#   wine_settings        Wine as the project runs it (below)
#   require_prefix       refuses to go on without a private prefix in WINEPREFIX

die() {
    local status=$1 name=$0
    case $name in
    *scripts/*) name=${name##*scripts/} ;;
    *) name=${name##*/} ;;
    esac
    shift
    echo "$name: $*" >&2
    exit "$status"
}

# Quiet unless WINEDEBUG asks otherwise, and without the prompts to install Mono and Gecko,
# which would wait for a person. Keeps what WINEDLLOVERRIDES says besides.
wine_settings() {
    export WINEDEBUG=${WINEDEBUG:--all}
    case ";${WINEDLLOVERRIDES:-};" in
    *";mscoree=;mshtml=;"*) ;;
    *) export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree=;mshtml=" ;;
    esac
}

# Wine falls back on ~/.wine, the user's own Windows, which nothing here may touch.
require_prefix() {
    [ -n "${WINEPREFIX:-}" ] || die "${1:-1}" "WINEPREFIX is not set; refusing to use ~/.wine"
}
