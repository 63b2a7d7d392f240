#!/bin/bash
# Makes what the 32-bit Wine runner (cmake/wine32-run.sh) runs on, under
# build/wine32, unless it is there; says nothing when all of it is:
#   qemu-i386  a static qemu-i386 10 or newer, from the backports of the
#              machine's own Debian mirror
#   root/      a Debian root with 32-bit Wine, made by mmdebstrap
# The host gets nothing installed: apt works on a private state here, and
# mmdebstrap mounts in a private mount namespace. Needs root and the network;
# a lock keeps two runs apart. "make wine32-root" runs it.
set -Eeu
repo=$(cd "$(dirname "$0")/.." && pwd)
base=$repo/build/wine32
root=$base/root
qemu=$base/qemu-i386
suite=bookworm
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
# Wine and the i386 X libraries it loads.
packages="wine,wine32:i386,libwine:i386,fonts-wine,libxrender1:i386,libxrandr2:i386,libxi6:i386,\
libxcursor1:i386,libxcomposite1:i386,libxinerama1:i386,libxfixes3:i386,libxxf86vm1:i386"

die() {
    echo "provision-wine32.sh: $*" >&2
    exit 1
}
trap 'die "line $LINENO: $BASH_COMMAND failed (exit $?)"' ERR

# The first "deb" URI of the plain suite in the host's apt sources, one-line
# or deb822 style.
debian_mirror() {
    local f
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
make_qemu() {
    local apt version
    local -a options
    echo "provision-wine32.sh: fetching qemu-user from $suite-backports" >&2
    apt=$base/apt
    rm -rf "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$apt/prefs" "$apt/x"
    echo "deb [signed-by=$keyring] $mirror $suite-backports main" >"$apt/sources.list"
    # Apt's own state, so the host's sources and dpkg database stay untouched.
    options=(-o Dir::State="$apt" -o Dir::State::Lists="$apt/lists" -o Dir::State::status=/dev/null
        -o Dir::Cache="$apt/cache" -o Dir::Etc::SourceList="$apt/sources.list"
        -o Dir::Etc::SourceParts="$apt/parts" -o Dir::Etc::PreferencesParts="$apt/prefs"
        -o Dir::Etc::Preferences="$apt/prefs/none" -o APT::Architectures=amd64
        -o APT::Sandbox::User=root)
    apt-get -qq "${options[@]}" update
    (cd "$apt" && apt-get -qq "${options[@]}" download "qemu-user/$suite-backports")
    dpkg-deb -x "$apt"/qemu-user_*.deb "$apt/x"
    if readelf -l "$apt/x/usr/bin/qemu-i386" | grep -q 'program interpreter'; then
        die "qemu-i386 of qemu-user is not static"
    fi
    version=$("$apt/x/usr/bin/qemu-i386" --version | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [ "${version:-0}" -ge 10 ] || die "qemu-i386 ${version:-?} from $suite-backports; 10 or newer is needed"
    cp "$apt/x/usr/bin/qemu-i386" "$qemu.new"
    mv "$qemu.new" "$qemu"
    rm -rf "$apt"
}

make_root() {
    command -v mmdebstrap >/dev/null || die "mmdebstrap is missing (make setup installs it)"
    echo "provision-wine32.sh: making the 32-bit Wine root (a few minutes)" >&2
    rm -rf "$root.new" "$root"
    # Whatever mmdebstrap mounts goes with its mount namespace, even if it
    # is interrupted.
    unshare --mount --propagation private nice -n 10 mmdebstrap --quiet --variant=apt \
        --architectures=amd64,i386 --include="$packages" \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/info/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
        "$suite" "$root.new" "deb [signed-by=$keyring] $mirror $suite main"
    # Where the runner mounts its chattr (cmake/wine32-chattr.sh).
    : >"$root.new/usr/bin/chattr"
    touch "$root.new/.complete"
    mv "$root.new" "$root"
}

[ "$(id -u)" -eq 0 ] || die "needs root, as on this project's machines"
mkdir -p "$base"
exec 9>"$base.lock"
flock 9
[ -x "$qemu" ] && [ -f "$root/.complete" ] && exit 0
mirror=$(debian_mirror | head -n 1)
[ -n "$mirror" ] || die "no '$suite' Debian mirror in /etc/apt/sources.list{,.d}"
[ -x "$qemu" ] || make_qemu
[ -f "$root/.complete" ] || make_root
