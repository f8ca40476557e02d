#!/usr/bin/env bash
# Takes a screenshot of the real window under Xvfb with a window manager.
# Usage: scripts/screenshot.sh [OUTPUT.png]   (default docs/screenshot.png; needs a build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(readlink -f "${1:-docs/screenshot.png}")
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && break; sleep 0.1; done
build/src/app/zembrot >/dev/null 2>&1 &
pids+=($!)
win=""
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "${pids[2]}" 2>/dev/null | head -1 || true)
    [[ -n "$win" ]] && break
    sleep 0.1
done
sleep 0.5
# The frame drawn by the window manager is the parent of the client window.
frame=$(xwininfo -tree -id "$win" | awk '/Parent window id:/ {print $4}')
import -window "$frame" "$out"
echo "$out"
