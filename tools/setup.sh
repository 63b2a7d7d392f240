#!/bin/sh
# Installs with apt-get whatever the build and the tests need and is missing.
# Quiet when everything is present. Never installs wine32 or anything i386
# on the host: this kernel runs no 32-bit code; the 32-bit tests bring their
# own Wine in a private root (tools/provision-wine32.sh, with mmdebstrap).
set -e
packages="cmake make g++ libgtest-dev googletest libbenchmark-dev clang libclang-rt-14-dev
g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-i686 wine64 fonts-wine xvfb xauth x11-utils
imagemagick python3-pefile e2fsprogs mmdebstrap dpkg-dev lintian mandoc unzip
libyaml-dev nlohmann-json3-dev osslsigncode"

missing=""
for package in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing:$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
