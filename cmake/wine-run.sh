#!/bin/bash
# Runs a Windows program under wine64 in the project's private prefix
# (WINEPREFIX, default build/wine-tests). The first use sets the prefix up
# (wine-prefix.sh); a lock keeps parallel tests from racing. The program's
# exit status is the script's; 125 means the prefix could not be set up.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-prefix.sh source-path=SCRIPTDIR
. "$here/wine-prefix.sh"

: "${WINEPREFIX:=$(dirname "$here")/build/wine-tests}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=/usr/lib/wine/wine64

fail() {
    echo "wine-run.sh: $*" >&2
    exit 125
}

# Waits for the server to end by itself, saving the registry: a program
# started by another caller on this prefix keeps running.
wait_wineserver() {
    /usr/lib/wine/wineserver -w
}

[ -x "$wine" ] || fail "$wine is missing (make setup installs wine64)"
mkdir -p "$(dirname "$WINEPREFIX")" || fail "mkdir -p $(dirname "$WINEPREFIX") failed (exit $?)"
(
    flock 9 || fail "flock $WINEPREFIX.lock failed (exit $?)"
    wine_prefix_setup "$wine" wait_wineserver /usr/share/wine/fonts/marlett.ttf || exit 125
) 9>"$WINEPREFIX.lock" || exit 125
exec "$wine" "$@"
