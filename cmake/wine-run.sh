#!/bin/bash
# Runs a Windows program under Wine, only ever in the private prefix the caller names, of the
# architecture the caller names (32-bit Windows unless told otherwise).
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../scripts/lib.sh"
require_prefix 125
export WINEARCH="${WINEARCH:-win32}"
wine_settings
exec wine "$@"
