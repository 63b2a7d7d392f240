#!/bin/sh
# The demo: the command-line tool on a demo archive, then the program itself
# under wine64 against a demo install in a private Wine prefix. With no
# display, the program runs under Xvfb and a screenshot is saved instead.
set -e
build=${1:-build}
repo=$(cd "$(dirname "$0")/.." && pwd)

echo "== tolvaren-cli on a demo archive"
mkdir -p "$build/demo"
archive=$build/demo/common.pak
"$build/native/make-demo-archive" "$archive"
for command in status enable status disable status; do
    printf '$ tolvaren-cli %s %s\n' "$command" "$archive"
    "$build/native/tolvaren-cli" "$command" "$archive"
done

echo "== Tolvaren.exe on a demo install"
export WINEPREFIX="$repo/$build/wine-run"
install=$repo/$build/demo-install
mkdir -p "$install/Data"
"$build/native/make-demo-archive" "$install/Data/common.pak"
wine="$repo/cmake/wine-run.sh"
"$wine" reg add 'HKLM\Software\THQ\MXvsATV\Install' /v Path /d "Z:$install" /f >/dev/null
echo "Install directory: Z:$install (extra vehicles disabled)"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Close the dialog to end the demo."
    exec "$wine" "$build/win64/Tolvaren.exe"
fi

screenshot=$build/tolvaren-dialog.png
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'DISPLAY=$display /usr/lib/wine/wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
sleep 1
DISPLAY=$display "$wine" "$build/win64/Tolvaren.exe" &
# Wait until the dialog has been drawn: its area is no longer one colour.
for _ in $(seq 60); do
    sleep 1
    DISPLAY=$display import -window root -crop 420x200+100+150 "$screenshot" 2>/dev/null || continue
    [ "$(convert "$screenshot" -format %k info:)" -gt 8 ] && break
done
echo "No display: ran under Xvfb; screenshot of the dialog: $screenshot"
