#!/bin/bash
# Runs a 32-bit Windows program under 32-bit Wine, although this kernel cannot
# execute i386 code itself.
#
#   wine32-run.sh PROGRAM [ARGS...]     one program (also wineboot, reg, ...,
#                                       and "wineserver ARGS" for the server)
#   wine32-run.sh --session COMMAND...  COMMAND (say ctest) with one Wine for
#                                       all the programs it starts through
#                                       this script
#
# Wine runs from a private Debian root with wine32 and a static qemu-i386,
# both under build/wine32 (made by "make wine32-root"). This script enters a
# new user, mount and pid namespace, whose own binfmt_misc (Linux 6.7 or
# newer) lets qemu-i386 run i386 files; wine32-inside.sh sets it up and runs
# Wine chrooted into the root. Nothing is mounted or registered outside the
# namespace, and it dies with its first process.
#
# A namespace costs Wine's start and stop, seconds under qemu. --session pays
# that once: COMMAND runs in the namespace beside a persistent wineserver, and
# calls of this script under it run Wine right away.
#
# WINEPREFIX (default build/wine32-tests), DISPLAY, XAUTHORITY, WINEDEBUG and
# WINEDLLOVERRIDES are the caller's. The program's exit status is the
# script's; 125 means Wine could not be set up (no root yet, a kernel older
# than 6.7, no user namespaces). It needs root. One namespace uses a prefix at
# a time: others wait on its lock.
set -Eeu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
base=$repo/build/wine32

die() {
    echo "wine32-run.sh: $*" >&2
    exit 125
}
trap 'die "line $LINENO: $BASH_COMMAND failed (exit $?)"' ERR

: "${WINEPREFIX:=$repo/build/wine32-tests}"
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
: "${WINEDEBUG=-all}"
: "${WINEDLLOVERRIDES=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH=win32

session=
if [ "${1:-}" = --session ]; then
    session=session
    shift
fi
[ $# -gt 0 ] || { echo "usage: wine32-run.sh [--session] PROGRAM|COMMAND [ARGS...]" >&2; exit 2; }

# Under a session (its binfmt_misc entry is wine32-inside.sh's).
if [ -n "${TOLVAREN_WINE32_SESSION:-}" ] && [ -e /proc/sys/fs/binfmt_misc/tolvaren-i386 ]; then
    [ -z "$session" ] || exec "$@"
    exec "$here/wine32-inside.sh" call "$@"
fi

check_host() {
    local release major minor
    [ "$(id -u)" -eq 0 ] || die "needs root, as on this project's machines"
    release=$(uname -r)
    major=${release%%.*}
    minor=${release#*.}
    minor=${minor%%[!0-9]*}
    if [ "$major" -lt 6 ] || { [ "$major" -eq 6 ] && [ "${minor:-0}" -lt 7 ]; }; then
        die "Linux $release has no binfmt_misc per user namespace (6.7 or newer needed)"
    fi
    grep -qw binfmt_misc /proc/filesystems || die "this kernel has no binfmt_misc"
    unshare --user --map-root-user true 2>/dev/null || die "user namespaces are not available here"
    if [ ! -x "$base/qemu-i386" ] || [ ! -f "$base/root/.complete" ]; then
        die "no 32-bit Wine root under $base: run make wine32-root"
    fi
}

# The helper for the root's chattr (wine32-chattr.sh): sets file flags, only
# on the trees shared with the root, outside the user namespace.
chattr_helper() {
    local dir="$1" flags path real rc
    exec 7<>"$dir/req"
    while read -r flags path <&7; do
        rc=1
        real=$(realpath -e -- "$path" 2>/dev/null) || real=
        case $flags in [-+=][a-zA-Z]*) ;; *) real= ;; esac
        case $real in
        "$repo"/* | /tmp/* | "$WINEPREFIX"/*)
            if chattr "$flags" -- "$real" >/dev/null 2>&1; then rc=0; fi ;;
        esac
        echo "$rc" 1<>"$dir/rep"
    done
}

helper='' helper_dir=''
# shellcheck disable=SC2317  # run by the traps below
stop_chattr_helper() {
    if [ -n "$helper" ]; then
        kill "$helper" 2>/dev/null || true
        wait "$helper" 2>/dev/null || true
    fi
    if [ -n "$helper_dir" ]; then rm -rf "$helper_dir"; fi
}

check_host
# One namespace per prefix at a time: a second one would start a second
# server on the same files.
mkdir -p "$WINEPREFIX"
exec 8>"$WINEPREFIX.lock"
flock 8

trap stop_chattr_helper EXIT
trap 'stop_chattr_helper; exit 130' INT TERM
helper_dir=$(mktemp -d "$base/run.XXXXXX")
mkfifo "$helper_dir/req" "$helper_dir/rep"
export TOLVAREN_WINE32_CHATTR="$helper_dir"
chattr_helper "$helper_dir" &
helper=$!

status=0
unshare --user --map-root-user --mount --pid --fork --kill-child \
    "$here/wine32-inside.sh" "${session:-start}" "$@" || status=$?
exit "$status"
