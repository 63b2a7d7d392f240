#!/bin/sh
# Makes the Wine prefixes the prefix search tests read, with wine64 itself:
#   OUT/prefix       a 64-bit prefix whose registry records the game twice:
#                    in the 32-bit view (Wow6432Node) as REG_SZ with a
#                    non-ASCII folder, and in the native view as REG_EXPAND_SZ;
#   OUT/native-view  system.reg as Wine saved it before the 32-bit record was
#                    added, with OUT/prefix's drive C as its own.
# Both archives lie under drive_c with folder names in another letter case
# than the recorded paths. Fails when wine64 is missing. Prefixes this same
# script made are kept: builds and runs share them.
set -e
out=${1:?usage: make_wine_test_prefix.sh OUT}
stamp=$out/.made-by
mkdir -p "$(dirname "$out")"
# One maker at a time; the others find the prefixes made.
exec 9>"$out.lock"
flock 9
if cmp -s "$0" "$stamp"; then exit 0; fi
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
if [ ! -x "$wine" ]; then
    echo "wine64 is missing ($wine); tools/setup.sh installs it" >&2
    exit 1
fi
export WINEPREFIX="$out/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries written into HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine turns the command line into UTF-16 through the locale's character set.
export LC_ALL=C.UTF-8

[ -d "$WINEPREFIX" ] && "$wineserver" -k 2>/dev/null || true
rm -rf "$out"
mkdir -p "$out"
"$wine" wineboot -i >"$out/wineboot.log" 2>&1

record() {
    "$wine" reg add 'HKLM\Software\THQ\MXvsATV\Install' /v Path "$@" /f >>"$out/reg.log" 2>&1
    "$wineserver" -w  # the registry is saved when the server ends
}

record /t REG_EXPAND_SZ /d 'C:\Games\My Racer'
mkdir -p "$out/native-view/dosdevices"
cp "$WINEPREFIX/system.reg" "$out/native-view/system.reg"
ln -s ../../prefix/drive_c "$out/native-view/dosdevices/c:"

record /d 'C:\Spiele\Über Rennen' /reg:32

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/spiele/Über rennen/DATA" "$drive_c/GAMES/my racer/data"
echo "32-bit view" >"$drive_c/spiele/Über rennen/DATA/Common.PAK"
echo "native view" >"$drive_c/GAMES/my racer/data/COMMON.pak"
cp "$0" "$stamp"
