#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs the whole test suite;
# then the same suite again in a sanitizer build (build-asan/), and each fuzz
# harness for a fixed number of runs (build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEMBROT_BUILD_TESTS=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer over the same
# tests. The packaging tests check files and the benchmark smoke run checks a
# script, not memory: the Release run covers them.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBROT_SANITIZE=ON -DZEMBROT_BUILD_TESTS=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/reliability/lsan.supp \
    ctest --test-dir build-asan --output-on-failure -j2 -E '^(packaging|bench)\.'

fuzz/run.sh
