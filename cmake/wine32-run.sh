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
# How: a private Debian root under build/wine32/root holds wine32; a new user,
# mount and pid namespace gets its own binfmt_misc (Linux 6.7 or newer) in
# which qemu-i386 runs i386 files, and Wine runs chrooted into the root. The
# repository, /tmp and the prefix are bind-mounted at their own paths, so Z:
# paths, prefixes and the X socket work. Nothing is mounted or registered
# outside the namespace, and it dies with its first process.
#
# A namespace costs Wine's start and stop, seconds under qemu. --session pays
# that once: it enters the namespace, starts a persistent wineserver and runs
# COMMAND outside the root; calls of this script under COMMAND see
# TOLVAREN_WINE32_SESSION and just run Wine. At the end the server is stopped
# (which saves the registry) before the namespace goes.
#
# The first use builds what is missing under build/wine32 (qemu from the
# backports of the host's Debian mirror, the root by mmdebstrap, then the
# prefix), under a lock. WINEPREFIX (default build/wine32-tests), DISPLAY,
# XAUTHORITY, WINEDEBUG and WINEDLLOVERRIDES are the caller's.
#
# The program's exit status is the script's; 125 means this script could not
# set Wine up (say, a kernel older than 6.7, or no user namespaces). It needs
# root. One namespace uses a prefix at a time: others wait on its lock.
#
# Setting the immutable flag needs a capability that no user namespace has,
# so the root's chattr asks a helper that this script runs outside.
set -e

repo=$(cd "$(dirname "$0")/.." && pwd)
self=$repo/cmake/wine32-run.sh
base=$repo/build/wine32
root=$base/root
qemu=$base/qemu-i386
suite=bookworm
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
entry=tolvaren-i386
# Wine and the i386 X libraries it loads.
packages="wine,wine32:i386,libwine:i386,fonts-wine,libxrender1:i386,libxrandr2:i386,libxi6:i386,\
libxcursor1:i386,libxcomposite1:i386,libxinerama1:i386,libxfixes3:i386,libxxf86vm1:i386"

: "${WINEPREFIX:=$repo/build/wine32-tests}"
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
: "${WINEDEBUG=-all}"
: "${WINEDLLOVERRIDES=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH=win32

die() {
    echo "wine32-run.sh: $*" >&2
    exit 125
}

# The first "deb" URI of the plain suite in the host's apt sources, one-line
# or deb822 style.
debian_mirror() {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk -v suite="$suite" '$1 == "deb" {
            i = 2
            if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            if ($(i + 1) == suite) { print $i; exit }
        }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" } {
            u = ""; s = ""; t = ""; e = "yes"
            for (i = 1; i <= NF; i++) {
                k = tolower($i); sub(/:.*/, "", k)
                v = $i; sub(/^[^:]*:[ \t]*/, "", v)
                if (k == "uris") u = v; else if (k == "suites") s = v
                else if (k == "types") t = v; else if (k == "enabled") e = tolower(v)
            }
            if (e != "no" && (" " t " ") ~ / deb / && (" " s " ") ~ (" " suite " ")) {
                split(u, a, " "); print a[1]; exit
            }
        }' "$f"
    done
}

# Bookworm's qemu 7.2 ignores MAP_FIXED_NOREPLACE, which Wine relies on; the
# backported qemu-user is new enough, and static, so it runs in the root too.
build_qemu() {
    [ -x "$qemu" ] && return
    mirror=$(debian_mirror | head -n 1)
    [ -n "$mirror" ] || die "no '$suite' Debian mirror in /etc/apt/sources.list{,.d}"
    echo "wine32-run.sh: fetching qemu-user from $suite-backports" >&2
    a=$base/apt
    rm -rf "$a"
    mkdir -p "$a/lists/partial" "$a/cache/archives/partial" "$a/parts" "$a/prefs" "$a/x"
    echo "deb [signed-by=$keyring] $mirror $suite-backports main" >"$a/sources.list"
    # Apt's own state, so the host's sources and dpkg database stay untouched.
    set -- -o Dir::State="$a" -o Dir::State::Lists="$a/lists" -o Dir::State::status=/dev/null \
        -o Dir::Cache="$a/cache" -o Dir::Etc::SourceList="$a/sources.list" \
        -o Dir::Etc::SourceParts="$a/parts" -o Dir::Etc::PreferencesParts="$a/prefs" \
        -o Dir::Etc::Preferences="$a/prefs/none" -o APT::Architectures=amd64 \
        -o APT::Sandbox::User=root
    apt-get -qq "$@" update
    (cd "$a" && apt-get -qq "$@" download "qemu-user/$suite-backports")
    dpkg-deb -x "$a"/qemu-user_*.deb "$a/x"
    if readelf -l "$a/x/usr/bin/qemu-i386" | grep -q 'program interpreter'; then
        die "qemu-i386 of qemu-user is not static"
    fi
    version=$("$a/x/usr/bin/qemu-i386" --version | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [ "${version:-0}" -ge 10 ] || die "qemu-i386 $version from $suite-backports; 10 or newer is needed"
    cp "$a/x/usr/bin/qemu-i386" "$qemu.new"
    mv "$qemu.new" "$qemu"
    rm -rf "$a"
}

build_root() {
    [ -f "$root/.complete" ] && return
    command -v mmdebstrap >/dev/null || {
        echo "wine32-run.sh: installing mmdebstrap" >&2
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
    }
    mirror=$(debian_mirror | head -n 1)
    [ -n "$mirror" ] || die "no '$suite' Debian mirror in /etc/apt/sources.list{,.d}"
    echo "wine32-run.sh: making the 32-bit Wine root (a few minutes)" >&2
    rm -rf "$root.new" "$root"
    # A private mount namespace: whatever mmdebstrap mounts goes with it,
    # even if it is interrupted.
    unshare --mount --propagation private nice -n 10 mmdebstrap --quiet --variant=apt \
        --architectures=amd64,i386 --include="$packages" \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/info/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
        "$suite" "$root.new" "deb [signed-by=$keyring] $mirror $suite main"
    # Where the helper's chattr (see the header) is mounted.
    : >"$root.new/usr/bin/chattr"
    touch "$root.new/.complete"
    mv "$root.new" "$root"
}

check_host() {
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
}

# Makes a host path visible at the same path in the root, unless it is.
share() {
    p=$1
    [ -e "$p" ] || return 0
    [ "$root$p" -ef "$p" ] && return 0
    case $p in
    / | /bin* | /boot* | /dev* | /etc* | /lib* | /proc* | /run* | /sbin* | /sys* | /usr* | /var*)
        die "$p cannot be shared with the 32-bit root" ;;
    esac
    if [ -d "$p" ]; then
        mkdir -p "$root$p"
    else
        mkdir -p "$root$(dirname "$p")"
        : >>"$root$p"
    fi
    mount --bind "$p" "$root$p"
}

# Inside the namespace: its binfmt_misc, its /proc, and the root's mounts.
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
    [ -z "$XAUTHORITY" ] || share "$XAUTHORITY"
    mount --bind "$TOLVAREN_WINE32_CHATTR/chattr" "$root/usr/bin/chattr"
}

inside_namespace() {
    [ -n "$TOLVAREN_WINE32_SESSION" ] && [ -e "/proc/sys/fs/binfmt_misc/$entry" ]
}

# Wine, or its server, in the root, in the caller's directory if the root
# has it.
run_wine() {
    case $1 in
    wineserver) shift; set -- /usr/lib/wine/wineserver "$@" ;;
    *) set -- /usr/lib/wine/wine "$@" ;;
    esac
    dir=/
    [ "$root$PWD" -ef "$PWD" ] && dir=$PWD
    chroot "$root" /usr/bin/env --chdir="$dir" "$@"
}

# A new prefix, set up as cmake/wine-run.sh sets up the 64-bit one.
ensure_prefix() {
    [ -f "$WINEPREFIX/.tolvaren-wine32" ] && return
    run_wine wineboot -i >/dev/null 2>&1
    # A virtual desktop: Wine draws captions and handles activation itself,
    # the same with or without a window manager.
    run_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    run_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    # Caption buttons are drawn with Marlett, which a new prefix lacks.
    cp "$root/usr/share/wine/fonts/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Stopping the server saves the registry; -k does not wait out its idle
    # time as -w does.
    run_wine wineserver -k 2>/dev/null || true
    run_wine wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.tolvaren-wine32"
}

# Ends the prefix's server, which saves the registry, and waits for any other
# server here: the namespace's end would kill them before they save.
stop_servers() {
    run_wine wineserver -k 2>/dev/null || true
    run_wine wineserver -w 2>/dev/null || true
    tries=0
    while grep -qs '^wineserver' /proc/[0-9]*/comm && [ $tries -lt 300 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
}

share_program() {
    case $1 in */*) [ -f "$1" ] && share "$(cd "$(dirname "$1")" && pwd)" ;; esac
    return 0
}

# The helper outside the namespace: sets file flags for the root's chattr,
# only on the trees shared with the root.
chattr_helper() {
    d=$1
    exec 7<>"$d/req"
    while read -r flags path <&7; do
        rc=1
        real=$(realpath -e -- "$path" 2>/dev/null) || real=
        case $flags in [-+=][a-zA-Z]*) ;; *) real= ;; esac
        case $real in
        "$repo"/* | /tmp/* | "$WINEPREFIX"/*)
            if chattr "$flags" -- "$real" >/dev/null 2>&1; then rc=0; fi ;;
        esac
        echo "$rc" 1<>"$d/rep"
    done
}

start_chattr_helper() {
    d=$(mktemp -d "$base/run.XXXXXX")
    mkfifo "$d/req" "$d/rep"
    cat >"$d/chattr" <<'EOF'
#!/bin/sh
# chattr FLAGS FILE, done by a helper outside the user namespace.
d=$TOLVAREN_WINE32_CHATTR
[ -p "$d/req" ] || { echo "chattr: no helper" >&2; exit 1; }
exec 9>"$d/lock"
flock 9
exec 8<>"$d/rep"
[ "$2" = "--" ] && set -- "$1" "$3"
printf '%s %s\n' "$1" "$2" >"$d/req"
read -r rc <&8
exit "$rc"
EOF
    chmod 755 "$d/chattr"
    export TOLVAREN_WINE32_CHATTR="$d"
    chattr_helper "$d" &
    helper=$!
}

stop_chattr_helper() {
    if [ -n "$helper" ]; then
        kill "$helper" 2>/dev/null || true
        wait "$helper" 2>/dev/null || true
    fi
    [ -z "$TOLVAREN_WINE32_CHATTR" ] || rm -rf "$TOLVAREN_WINE32_CHATTR"
}

session=
[ "$1" = --session ] && { session=1; shift; }
[ $# -gt 0 ] || { echo "usage: $0 [--session] PROGRAM|COMMAND [ARGS...]" >&2; exit 2; }

# First process of a new namespace.
if [ "$1" = --namespace ]; then
    shift
    setup_namespace
    [ -n "$session" ] || share_program "$1"
    export TOLVAREN_WINE32_SESSION="$WINEPREFIX"
    ensure_prefix
    status=0
    if [ -n "$session" ]; then
        run_wine wineserver -p
        # Wine's own processes start with the first program and then stay:
        # started here, they do not count in the first test's time.
        run_wine cmd /c exit >/dev/null 2>&1 || true
        "$@" || status=$?
    else
        run_wine "$@" || status=$?
    fi
    stop_servers
    exit $status
fi

# Called under a session.
if inside_namespace; then
    [ -z "$session" ] || exec "$@"
    share_program "$1"
    if [ "$WINEPREFIX" = "$TOLVAREN_WINE32_SESSION" ]; then
        run_wine "$@"
        exit
    fi
    # Another prefix: its own lock, prefix and server.
    mkdir -p "$WINEPREFIX"
    share "$WINEPREFIX"
    exec 8>"$WINEPREFIX.lock"
    flock 8
    ensure_prefix
    status=0
    run_wine "$@" || status=$?
    run_wine wineserver -k 2>/dev/null || true
    run_wine wineserver -w 2>/dev/null || true
    exit $status
fi

check_host
mkdir -p "$base"
(
    flock 9
    build_qemu
    build_root
) 9>"$base.lock"

# One namespace per prefix at a time: a second one would start a second
# server on the same files.
mkdir -p "$WINEPREFIX"
exec 8>"$WINEPREFIX.lock"
flock 8

helper=
trap stop_chattr_helper EXIT
trap 'stop_chattr_helper; exit 130' INT TERM
start_chattr_helper
status=0
unshare --user --map-root-user --mount --pid --fork --kill-child \
    "$self" ${session:+--session} --namespace "$@" || status=$?
exit $status
