# Sourced by the project's scripts for what they share:
#   die STATUS TEXT...   "NAME: TEXT" on standard error, then exit STATUS; NAME is the script's
#                        own, below scripts/ for the scripts there
#   wine_settings        Wine as the project runs it (below)
#   require_prefix       refuses to go on without a private prefix in WINEPREFIX
#   debian_mirror SUITE  the address apt on this machine takes Debian's SUITE from

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

# Where apt here takes a Debian suite from (bookworm, bookworm-security), so that what is
# fetched for this machine comes the way its administrator set up; empty when apt has none.
debian_mirror() {
    apt-get indextargets --format '$(CODENAME) $(REPO_URI)' 2>/dev/null |
        awk -v suite="$1" '$1 == suite { print $2; exit }'
}
