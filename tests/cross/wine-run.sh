#!/bin/sh
# Runs a Windows executable under Wine with its messages off, in the prefix named by WINEPREFIX
# (the build's own, set by the test preset and by wine-session.sh).
: "${WINEPREFIX:?set WINEPREFIX to the build directory prefix (see tests/cross/wine-session.sh)}"
export WINEPREFIX
export WINEDEBUG=-all
exec wine "$@"
