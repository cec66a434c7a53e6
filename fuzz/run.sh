#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, starting from its seed corpus in
# fuzz/corpus/, then replays the inputs kept in fuzz/regressions/. New corpus
# entries go to a scratch folder, never into the repository; a finding is
# kept there and printed.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=$1
seconds=${2:-30}
cd "$(dirname "$0")/.."

for target in scanner dialog expression; do
    fuzzer="$build/fuzz/${target}_fuzzer"
    scratch=$(mktemp -d "/tmp/chords-fuzz-$target.XXXXXX")
    if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$scratch/" "$scratch" "fuzz/corpus/$target" >"$scratch/log" 2>&1; then
        tail -n 40 "$scratch/log"
        echo "FAILED: the $target fuzzer found an input that breaks it; it is kept in $scratch"
        exit 1
    fi
    if compgen -G "fuzz/regressions/$target/*" >/dev/null; then
        "$fuzzer" "fuzz/regressions/$target/"* >"$scratch/regressions.log" 2>&1 ||
            { cat "$scratch/regressions.log"; echo "FAILED: a kept $target regression"; exit 1; }
    fi
    echo "$target fuzzer: $(grep -o 'Done [0-9]* runs in [0-9]* second' "$scratch/log"), no finding"
    rm -rf "$scratch"
done
