#!/bin/sh
# Writes the release files into DIST from the builds under BUILD (the
# optimised native build and the 32-bit Windows build, both made already):
#   tolvaren-VERSION-windows-x86.zip, tolvaren-VERSION-linux-x86_64.tar.gz,
#   tolvaren_VERSION_amd64.deb and SHA256SUMS.
# Times inside come from SOURCE_DATE_EPOCH (default: the last commit's), so
# the same sources give the same bytes.
#
# Signing, skipped unless TOLVAREN_SIGN_PKCS12 is set: with it (a
# code-signing certificate and its key, PKCS#12) and TOLVAREN_SIGN_PASSWORD,
# both Windows programs are signed with Authenticode (SHA-256, osslsigncode)
# before they are zipped, the signing time SOURCE_DATE_EPOCH, so that the
# signed zip is reproducible too. TOLVAREN_SIGN_TIMESTAMP names a timestamp
# server (RFC 3161) that keeps the signature valid after the certificate
# expires; its answer makes each signing's bytes differ.
set -e
build=$(cd "${1:?usage: make-release.sh BUILD DIST}" && pwd)
dist=${2:?usage: make-release.sh BUILD DIST}
repo=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/release/CMakeCache.txt")
[ -n "$version" ] || { echo "make-release.sh: no version in $build/release" >&2; exit 1; }
: "${SOURCE_DATE_EPOCH:=$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 1700000000)}"
export SOURCE_DATE_EPOCH

mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
# Only this release's own files are replaced: DIST may hold others.
rm -f "$dist/tolvaren-$version-windows-x86.zip" "$dist/tolvaren-$version-linux-x86_64.tar.gz" \
    "$dist/tolvaren_${version}_amd64.deb" "$dist/SHA256SUMS"
staging=$build/release/cpack
rm -rf "$staging"
(cd "$build/release" && cpack -B "$staging" >"$staging.log" 2>&1) || { cat "$staging.log" >&2; exit 1; }
tarball=tolvaren-$version-linux-x86_64.tar.gz
mv "$staging/$tarball" "$staging/tolvaren_${version}_amd64.deb" "$dist/"
/usr/bin/python3 "$repo/tools/pack_release.py" sort-tarball "$dist/$tarball"
program=$build/win32/Tolvaren.exe
tool=$build/win32/tolvaren-cli.exe
if [ -n "${TOLVAREN_SIGN_PKCS12:-}" ]; then
    command -v osslsigncode >/dev/null || { echo "make-release.sh: signing needs osslsigncode" >&2; exit 1; }
    signed=$build/release/signed
    rm -rf "$signed" && mkdir -p "$signed"
    # The password goes through a file only this user may read, never on a
    # command line that every user's ps shows.
    password=$(mktemp)
    trap 'rm -f "$password"' EXIT
    printf '%s' "${TOLVAREN_SIGN_PASSWORD:-}" >"$password"
    for exe in "$program" "$tool"; do
        osslsigncode sign -pkcs12 "$TOLVAREN_SIGN_PKCS12" -readpass "$password" -n Tolvaren -h sha256 \
            -time "$SOURCE_DATE_EPOCH" ${TOLVAREN_SIGN_TIMESTAMP:+-ts "$TOLVAREN_SIGN_TIMESTAMP"} \
            -in "$exe" -out "$signed/$(basename "$exe")" >/dev/null
    done
    program=$signed/Tolvaren.exe
    tool=$signed/tolvaren-cli.exe
fi
/usr/bin/python3 "$repo/tools/pack_release.py" windows-zip "$dist/tolvaren-$version-windows-x86.zip" \
    "$program" "$tool" "$repo/docs/README-players.txt"
cd "$dist"
sha256sum "tolvaren-$version-windows-x86.zip" "$tarball" "tolvaren_${version}_amd64.deb" >SHA256SUMS
cat SHA256SUMS
