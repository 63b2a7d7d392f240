#!/bin/bash
# The 32-bit Wine runner's side inside its namespace; wine32-run.sh starts it.
#
#   wine32-inside.sh start PROGRAM [ARGS...]    first process: one program
#   wine32-inside.sh session COMMAND [ARGS...]  first process: COMMAND, with
#                                               one Wine server for all the
#                                               programs it starts
#   wine32-inside.sh call PROGRAM [ARGS...]     a program started under a
#                                               session
#
# The first process mounts the namespace's own /proc and binfmt_misc, in
# which qemu-i386 runs i386 files, and shares with the root what Wine needs
# at the same paths; Wine then runs chrooted into the root. WINEPREFIX and the
# rest of Wine's environment come from wine32-run.sh.
set -Eeu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
root=$repo/build/wine32/root
qemu=$repo/build/wine32/qemu-i386
entry=tolvaren-i386
# shellcheck source=wine-prefix.sh source-path=SCRIPTDIR
. "$here/wine-prefix.sh"

die() {
    echo "wine32-inside.sh: $*" >&2
    exit 125
}
trap 'die "line $LINENO: $BASH_COMMAND failed (exit $?)"' ERR

# Makes a host path visible at the same path in the root, unless it is.
share() {
    local path="$1"
    [ -e "$path" ] || return 0
    ! [ "$root$path" -ef "$path" ] || return 0
    case $path in
    / | /bin* | /boot* | /dev* | /etc* | /lib* | /proc* | /run* | /sbin* | /sys* | /usr* | /var*)
        die "$path cannot be shared with the 32-bit root" ;;
    esac
    if [ -d "$path" ]; then
        mkdir -p "$root$path"
    else
        mkdir -p "$root$(dirname "$path")"
        : >>"$root$path"
    fi
    mount --bind "$path" "$root$path"
}

# The folder of a program named by its path.
share_program() {
    case $1 in */*) if [ -f "$1" ]; then share "$(cd "$(dirname "$1")" && pwd)"; fi ;; esac
}

setup_namespace() {
    # A /proc of this pid namespace, so that tools that walk it (ctest kills
    # a timed-out test's children by it) see only this namespace's processes.
    mount -t proc proc /proc
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
        die "cannot mount a private binfmt_misc (Linux 6.7 or newer needed)"
    # i386 ELF executables and shared objects; F opens qemu now, so that it
    # needs no path in the root.
    printf '%s' ":$entry:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
        >/proc/sys/fs/binfmt_misc/register
    mount --rbind /dev "$root/dev"
    mount --rbind /proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /tmp "$root/tmp"
    share "$repo"
    share "$WINEPREFIX"
    [ -z "${XAUTHORITY:-}" ] || share "$XAUTHORITY"
    # Setting the immutable flag needs a capability no user namespace has:
    # the root's chattr asks wine32-run.sh's helper outside.
    mount --bind "$here/wine32-chattr.sh" "$root/usr/bin/chattr"
}

# wine32 PROGRAM ARGS, or wine32 wineserver ARGS: Wine in the root, in the
# caller's folder if the root has it.
wine32() {
    local program=/usr/lib/wine/wine dir=/
    if [ "$1" = wineserver ]; then
        program=/usr/lib/wine/wineserver
        shift
    fi
    if [ "$root$PWD" -ef "$PWD" ]; then dir=$PWD; fi
    chroot "$root" /usr/bin/env --chdir="$dir" "$program" "$@"
}

# Ends the prefix's server, which saves the registry; -k does not wait out
# its idle time as -w alone does.
stop_wineserver() {
    wine32 wineserver -k 2>/dev/null || true
    wine32 wineserver -w
}

prepare_prefix() {
    wine_prefix_setup wine32 stop_wineserver "$root/usr/share/wine/fonts/marlett.ttf" || exit 125
}

# Ends the prefix's server and waits for any other server here: the
# namespace's end would kill them before they save.
stop_servers() {
    local tries=0
    stop_wineserver 2>/dev/null || true
    while grep -qs '^wineserver' /proc/[0-9]*/comm && [ "$tries" -lt 300 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
}

[ $# -ge 2 ] || die "usage: wine32-inside.sh start|session|call PROGRAM [ARGS...] (started by wine32-run.sh)"
mode=$1
shift
status=0
case $mode in
start | session)
    setup_namespace
    [ "$mode" = session ] || share_program "$1"
    # Calls of wine32-run.sh from here on run Wine right away.
    export TOLVAREN_WINE32_SESSION="$WINEPREFIX"
    prepare_prefix
    if [ "$mode" = session ]; then
        wine32 wineserver -p
        # Wine's own processes start with the first program and then stay:
        # started here, they do not count in the first test's time.
        wine32 cmd /c exit >/dev/null 2>&1 || true
        "$@" || status=$?
    else
        wine32 "$@" || status=$?
    fi
    stop_servers
    ;;
call)
    share_program "$1"
    if [ "$WINEPREFIX" = "$TOLVAREN_WINE32_SESSION" ]; then
        wine32 "$@" || status=$?
    else
        # Another prefix: its own lock, set-up and server.
        mkdir -p "$WINEPREFIX"
        share "$WINEPREFIX"
        exec 8>"$WINEPREFIX.lock"
        flock 8
        prepare_prefix
        wine32 "$@" || status=$?
        stop_wineserver 2>/dev/null || true
    fi
    ;;
*)
    die "unknown mode '$mode'"
    ;;
esac
exit "$status"
