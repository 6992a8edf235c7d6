#!/bin/sh
# Runs a command (the tests) inside one Wine session: the prefix WINEPREFIX is created once with
# wineboot, the server is started beforehand and kept running (otherwise each test would start
# one, and Wine's helper processes would hold a test's standard error open for seconds), and
# it is stopped at the end whatever the command's result.
#
#   WINEPREFIX=/abs/build-windows/wine-prefix wine-session.sh ctest --preset windows
set -u
: "${WINEPREFIX:?set WINEPREFIX to an absolute directory for the prefix}"
export WINEPREFIX
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null || { echo "wine-session: wineboot failed" >&2; exit 1; }
  wineserver -w
fi
# The tests listed in wine-skips.txt are left out, for the test lists and the runs alike.
GTEST_FILTER="-$(sed -n 's/^\([^#][^|]*[^ ]\) *|.*/\1/p' "$(dirname "$0")/wine-skips.txt" | paste -sd:)"
export GTEST_FILTER
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
status=$?
wineserver -k </dev/null >/dev/null 2>&1
exit $status
