#!/bin/bash
# usage: scripts/wine/emulator.sh PROGRAM [ARGUMENT...]
# ctest's emulator (cmake/mingw-i686.cmake): runs a Windows program under Wine, only ever in the
# private prefix that WINEPREFIX names, of the architecture that WINEARCH names (32-bit Windows
# unless told otherwise).
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../lib.sh"
require_prefix 125
export WINEARCH="${WINEARCH:-win32}"
wine_settings
exec wine "$@"
