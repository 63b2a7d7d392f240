#!/bin/sh
# Checks the release files in DIST against the builds under BUILD they came
# from: what each archive holds, the checksums, the Debian package as Debian
# sees it, the tool in it, and the manual page.
set -e
dist=${1:?usage: check-release.sh DIST BUILD}
build=${2:?usage: check-release.sh DIST BUILD}
repo=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/release/CMakeCache.txt")
zip=$dist/tolvaren-$version-windows-x86.zip
tarball=$dist/tolvaren-$version-linux-x86_64.tar.gz
deb=$dist/tolvaren_${version}_amd64.deb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-release: $*" >&2
    exit 1
}
[ -n "$version" ] || fail "no version in $build/release"

# same_list WHAT EXPECTED ACTUAL: the file lists, one path a line, sorted.
same_list() {
    printf '%s\n' "$2" | sort >"$work/expected"
    printf '%s\n' "$3" | sort >"$work/actual"
    diff -u "$work/expected" "$work/actual" >&2 || fail "$1 does not hold exactly the files above"
    echo "$1: $(wc -l <"$work/actual") files, as expected"
}

(cd "$dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not verify"
echo "SHA256SUMS: verified"
[ "$(wc -l <"$dist/SHA256SUMS")" -eq 3 ] || fail "SHA256SUMS should name the three release files"

same_list "$(basename "$zip")" "README.txt
Tolvaren.exe
tolvaren-cli.exe" "$(unzip -Z1 "$zip")"
# A signed program is the build's once its signature is taken off; with
# TOLVAREN_SIGN_PKCS12 set, both must be signed.
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (make setup installs it)"
signing=unsigned
for exe in Tolvaren.exe tolvaren-cli.exe; do
    unzip -p "$zip" "$exe" >"$work/$exe"
    if osslsigncode extract-signature -in "$work/$exe" -out "$work/$exe.sig" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$work/$exe" -out "$work/unsigned-$exe" >/dev/null
        mv "$work/unsigned-$exe" "$work/$exe"
        signing=signed
    elif [ -n "${TOLVAREN_SIGN_PKCS12:-}" ]; then
        fail "TOLVAREN_SIGN_PKCS12 is set, but the zip's $exe is unsigned"
    fi
    cmp -s "$work/$exe" "$build/win32/$exe" || fail "the zip's $exe is not the build's"
done
unzip -p "$zip" README.txt >"$work/README.txt"
if grep -q "$(printf '[^\r]$')" "$work/README.txt"; then fail "README.txt has lines without CR LF"; fi
echo "zip: both programs ($signing) byte for byte the build's; README.txt with CR LF line ends"
/usr/bin/python3 "$repo/tools/check_shipped_exe.py" --tool "$build/win32/tolvaren-cli.exe"

top=tolvaren-$version-linux-x86_64
same_list "$(basename "$tarball")" "$top/bin/tolvaren-cli
$top/share/man/man1/tolvaren-cli.1
$top/share/doc/tolvaren/README.md
$top/share/doc/tolvaren/copyright" "$(tar tzf "$tarball" | grep -v '/$')"
tar tzf "$tarball" | LC_ALL=C sort -c || fail "the tarball's members are not in name order"

dpkg-deb --info "$deb" >"$work/info" || fail "dpkg-deb --info fails"
for field in Package Version Maintainer Description Architecture; do
    grep -q "^ $field: " "$work/info" || fail "the package has no $field field"
done
# One static file: the package needs nothing else.
if grep -q '^ Depends: ' "$work/info"; then fail "the package depends on something: $(grep '^ Depends: ' "$work/info")"; fi
grep -q "^ Version: $version$" "$work/info" || fail "the package's version is not $version"
same_list "$(basename "$deb")" "./usr/bin/tolvaren-cli
./usr/share/man/man1/tolvaren-cli.1.gz
./usr/share/doc/tolvaren/README.md
./usr/share/doc/tolvaren/copyright
./usr/share/doc/tolvaren/changelog.gz
./usr/share/lintian/overrides/tolvaren" "$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}')"
command -v lintian >/dev/null || fail "lintian is missing"
status=0
lintian --no-tag-display-limit "$deb" >"$work/lintian" 2>"$work/lintian.err" || status=$?
if grep -q '^E: ' "$work/lintian"; then cat "$work/lintian" >&2; fail "lintian reports errors"; fi
[ "$status" -eq 0 ] || { cat "$work/lintian.err" >&2; fail "lintian failed (exit $status)"; }
echo "lintian: no errors$(grep -c '^W: ' "$work/lintian" | sed 's/^0$//; s/^\(.\+\)$/, \1 warnings:/')"
grep '^W: ' "$work/lintian" || true

dpkg -x "$deb" "$work/root"
"$work/root/usr/bin/tolvaren-cli" --version >"$work/version"
[ "$(cat "$work/version")" = "tolvaren-cli $version" ] || fail "the packaged tool says \"$(cat "$work/version")\""
echo "packaged tool: $(cat "$work/version")"
mkdir -p "$work/tarball"
tar xzf "$tarball" -C "$work/tarball"
released=$work/tarball/$top/bin/tolvaren-cli
file "$released" | grep -q 'static-pie linked' || fail "the released tool is not a static PIE: $(file -b "$released")"
echo "released tool: $(file -b "$released" | cut -d, -f1-5)"
"$repo/tools/check-bare-root.sh" "$released" "$build/release/make-demo-archive"
gunzip -c "$work/root/usr/share/man/man1/tolvaren-cli.1.gz" >"$work/tolvaren-cli.1"
mandoc -Tlint -W warning "$work/tolvaren-cli.1" || fail "the manual page has warnings"
echo "manual page: renders without warnings"
