#!/bin/sh
# A Windows build of the tool on a few archives, started as a user would:
#   cli_exe_test.sh RUNNER TOOL DEMO_WRITER FOLDER
# RUNNER runs a Windows program (a Wine script), DEMO_WRITER writes the
# demo archive, FOLDER is the test's own.
run=$1 tool=$2 demo=$3 folder=$4
rm -rf "$folder"
mkdir -p "$folder"
archive=$folder/common.pak
failures=0

# expect EXIT STDOUT COMMAND [ARCHIVE]: Windows line ends are dropped.
expect() {
    code=$1 want=$2
    shift 2
    "$run" "$tool" "$@" >"$folder/out" 2>"$folder/err"
    got_code=$?
    got=$(tr -d '\r' <"$folder/out")
    if [ "$got" != "$want" ] || [ "$got_code" != "$code" ]; then
        echo "FAILED: $* gave exit $got_code and \"$got\"; expected exit $code and \"$want\"" >&2
        cat "$folder/err" >&2
        failures=$((failures + 1))
    else
        echo "ok: $* -> exit $code \"$got\""
    fi
}

"$run" "$demo" "Z:$archive" || { echo "cannot write the demo archive" >&2; exit 1; }
before=$(sha256sum <"$archive")
expect 0 disabled status "Z:$archive"
expect 0 "Extra vehicles have been enabled." enable "Z:$archive"
expect 0 enabled status "Z:$archive"
expect 0 "Extra vehicles have been disabled." disable "Z:$archive"
[ "$(sha256sum <"$archive")" = "$before" ] || { echo "FAILED: not the demo archive again" >&2; failures=$((failures + 1)); }
expect 2 "" status "Z:$folder/missing.pak"
printf 'not an archive' >"$folder/other.pak"
expect 3 "" enable "Z:$folder/other.pak"
[ "$(cat "$folder/other.pak")" = "not an archive" ] || { echo "FAILED: other.pak was changed" >&2; failures=$((failures + 1)); }
expect 1 "" toggle "Z:$archive"
[ "$failures" -eq 0 ]
