# shellcheck shell=bash
# Sourced by the Wine runners (wine-run.sh, wine32-inside.sh): sets up a new
# prefix the same way for 64 and 32 bits.
#
#   wine_prefix_setup RUN END MARLETT
#
# RUN runs a Wine program ("RUN wineboot -i"), END ends the prefix's server
# (which saves the registry), MARLETT is the font file to copy in. Both are
# commands or functions of the caller. WINEPREFIX is the prefix. A prefix set
# up before is left alone; on a failure the step that failed is named, with
# its exit status and output, and the function returns 1.

wine_prefix_setup() {
    local run="$1" end="$2" marlett="$3" log status=0
    [ ! -f "$WINEPREFIX/.tolvaren-prefix" ] || return 0
    log=$(mktemp "${TMPDIR:-/tmp}/wine-prefix.XXXXXX") || return 1
    wine_prefix_step "$log" "$run" wineboot -i &&
        # A virtual desktop: Wine draws captions and handles activation
        # itself, the same with or without a window manager.
        wine_prefix_step "$log" "$run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
        wine_prefix_step "$log" "$run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f &&
        # Wine draws caption buttons with Marlett, which a new prefix lacks.
        wine_prefix_step "$log" cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" &&
        wine_prefix_step "$log" "$end" &&
        : >"$WINEPREFIX/.tolvaren-prefix" ||
        status=1
    rm -f "$log"
    return "$status"
}

# wine_prefix_step LOG COMMAND...: COMMAND with its output in LOG, shown
# only when it fails.
wine_prefix_step() {
    local log="$1" status=0
    shift
    "$@" >"$log" 2>&1 || status=$?
    [ "$status" -ne 0 ] || return 0
    echo "${0##*/}: setting up the Wine prefix $WINEPREFIX: $* failed (exit $status)" >&2
    tail -n 20 "$log" | sed 's/^/  /' >&2
    return 1
}
