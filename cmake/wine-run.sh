#!/bin/sh
# Runs a Windows program under wine64 in the project's private prefix.
# The first use creates the prefix; a lock keeps parallel tests from racing.
repo=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$repo/build/wine-tests}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
wine=/usr/lib/wine/wine64
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot -i >/dev/null 2>&1
        # A virtual desktop: Wine draws captions and handles activation
        # itself, the same with or without a window manager.
        "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        # Wine draws caption buttons with Marlett, which this packaging does
        # not put where a new prefix finds it.
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        /usr/lib/wine/wineserver -w
    fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
