#!/bin/sh
# Runs the released Linux tool where players are: in a root that holds
# nothing but the tool, /proc and a temporary folder, in a user, mount and
# pid namespace of its own. The tool must start (it is one static file),
# switch a demo archive, see a process that holds the archive there, and
# find the game in a Wine prefix of a synthetic home.
#   check-bare-root.sh TOOL DEMO_WRITER
set -eu
tool=${1:?usage: check-bare-root.sh TOOL DEMO_WRITER}
demo=${2:?usage: check-bare-root.sh TOOL DEMO_WRITER}

fail() {
    echo "check-bare-root: $*" >&2
    exit 1
}

if [ "${1:-}" != --inside ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/root/proc" "$work/root/tmp"
    cp "$tool" "$work/root/tolvaren-cli"
    "$demo" "$work/root/tmp/common.pak"
    # A home whose Wine prefix records the game at C:\Games\Racer.
    prefix=$work/root/tmp/home/.wine
    mkdir -p "$prefix/dosdevices" "$prefix/drive_c/Games/Racer/Data"
    ln -s ../drive_c "$prefix/dosdevices/c:"
    printf '%s\n' 'WINE REGISTRY Version 2' '' \
        '[Software\\Wow6432Node\\THQ\\MXvsATV\\Install] 1700000000' \
        '"Path"="C:\\Games\\Racer"' >"$prefix/system.reg"
    "$demo" "$prefix/drive_c/Games/Racer/Data/common.pak"
    unshare --user --map-root-user --mount --pid --fork \
        /bin/sh "$0" --inside "$work/root" || exit 1
    exit 0
fi

root=$2
chroot=$(command -v chroot)
mount -t proc proc "$root/proc"
# expect EXIT STDOUT ARGS...: the tool alone in its root, with no environment
# but HOME.
expect() {
    code=$1 want=$2
    shift 2
    got_code=0
    got=$(env -i HOME=/tmp/home "$chroot" "$root" /tolvaren-cli "$@" 2>"$root/tmp/err") || got_code=$?
    if [ "$got_code" != "$code" ] || [ "$got" != "$want" ]; then
        cat "$root/tmp/err" >&2
        fail "tolvaren-cli $* gave exit $got_code and \"$got\"; expected exit $code and \"$want\""
    fi
    echo "bare root: tolvaren-cli $* -> exit $code${got:+ \"$got\"}"
}

expect 0 "$(chroot "$root" /tolvaren-cli --version)" --version
expect 0 disabled status /tmp/common.pak
expect 0 "Extra vehicles have been enabled." enable /tmp/common.pak
expect 0 enabled status /tmp/common.pak
expect 0 "Extra vehicles have been disabled." disable /tmp/common.pak
expect 0 "$(printf '/tmp/home/.wine/drive_c/Games/Racer/Data/common.pak\t/tmp/home/.wine\tdisabled')" where

# A process of the namespace that holds the archive open is seen.
sleep 600 3<"$root/tmp/common.pak" &
holder=$!
expect 2 "" enable /tmp/common.pak
kill "$holder"
grep -q "in use by another program (PID $holder (sleep))" "$root/tmp/err" ||
    fail "the holder was not named: $(cat "$root/tmp/err")"
echo "bare root: the holder was named: PID $holder (sleep)"
