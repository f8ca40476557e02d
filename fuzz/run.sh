#!/usr/bin/env bash
# Builds the fuzz harnesses with clang-14 in build-fuzz/ and runs each one a
# bounded number of times from its seed corpus (a scratch copy: the committed
# seeds stay as they are). Any crash, hang, leak or sanitizer report fails.
# Usage: fuzz/run.sh [LIBFUZZER_ARGS...]   (default: a fixed run count each)
#   RUNS (20000) for the pure routines, DEVICE_RUNS (400) for the playback
#   device, whose every opened song starts and stops an audio thread (~70 ms).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S fuzz -B "$build" -G Ninja >/dev/null
cmake --build "$build" >/dev/null
artefacts=$build/artefacts
mkdir -p "$artefacts"
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

for name in text_to_number whole_number byte_range playback_open; do
    work=$(mktemp -d)
    cp fuzz/corpus/"$name"/* "$work"/
    args=("$@")
    if [[ ${#args[@]} -eq 0 ]]; then
        runs=${RUNS:-20000}
        [[ $name == playback_open ]] && runs=${DEVICE_RUNS:-400}
        args=(-runs="$runs" -seed=1)
    fi
    max_len=512
    [[ $name == playback_open ]] && max_len=8192
    status=0
    "$build/fuzz_$name" "${args[@]}" -max_len=$max_len -timeout=20 -rss_limit_mb=4096 \
        -artifact_prefix="$artefacts/$name-" "$work" >"$artefacts/$name.log" 2>&1 || status=$?
    rm -rf "$work"
    execs=$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$artefacts/$name.log" | tail -1 || true)
    if [[ $status -ne 0 ]]; then
        tail -40 "$artefacts/$name.log" >&2
        echo "fuzz $name: FAILED (log and input in $artefacts/)" >&2
        exit 1
    fi
    echo "fuzz $name: ${execs:-no summary}(s), nothing found"
done
