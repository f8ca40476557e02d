#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEMBROT_BUILD_TESTS=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2
