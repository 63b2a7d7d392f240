#!/bin/sh
# Writes the release files into DIST from the builds under BUILD (the
# optimised native build and the 32-bit Windows build, both made already):
#   tolvaren-VERSION-windows-x86.zip, tolvaren-VERSION-linux-x86_64.tar.gz,
#   tolvaren_VERSION_amd64.deb and SHA256SUMS.
# Times inside come from SOURCE_DATE_EPOCH (default: the last commit's), so
# the same sources give the same bytes.
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
/usr/bin/python3 "$repo/tools/pack_release.py" windows-zip "$dist/tolvaren-$version-windows-x86.zip" \
    "$build/win32/Tolvaren.exe" "$build/win32/tolvaren-cli.exe" "$repo/docs/README-players.txt"
cd "$dist"
sha256sum "tolvaren-$version-windows-x86.zip" "$tarball" "tolvaren_${version}_amd64.deb" >SHA256SUMS
cat SHA256SUMS
