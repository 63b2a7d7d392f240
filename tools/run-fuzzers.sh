#!/bin/sh
# Runs each fuzz target for the given seconds, from the committed seeds plus
# the corpus grown by earlier runs (kept under build/, never in the seeds).
# Fails when a target finds a crash, a sanitizer report or a broken invariant.
set -e
seconds=${1:-20}
build=${2:-build}
for target in archive switch wine_registry steam_libraries; do
    corpus=$build/fuzz/corpus/$target
    log=$build/fuzz/$target.log
    mkdir -p "$corpus"
    echo "== ${target}_fuzz for ${seconds}s"
    if ! "$build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz/${target}-" "$corpus" "tests/fuzz/seeds/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "${target}_fuzz failed; the input is saved under $build/fuzz/" >&2
        exit 1
    fi
    grep -E '^(Done|stat::(new_units_added|peak_rss_mb))' "$log"
done
