#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Zembrot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEMBROT_BUILD_TESTS=OFF >/dev/null
cmake --build build --target zembrot
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: run it in a virtual one with  xvfb-run -a build/src/app/zembrot  (Debian package xvfb)." >&2
    exit 1
fi
exec build/src/app/zembrot
