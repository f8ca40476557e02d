#!/usr/bin/env bash
# The real program in a real X server with a window manager, driven from
# outside: its outer size and place, its working directory, two copies side by
# side, and every way of closing it ending with exit code 0.
# Usage: e2e_window.sh ZEMBROT_EXE ARTEFACT_DIR
set -euo pipefail
exe=$(readlink -f "$1")
artefacts=$2
mkdir -p "$artefacts"
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

exec 3>"$work/displayno"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/displayno" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/displayno")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && break; sleep 0.1; done

export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY

start() { # starts a copy from elsewhere with stray arguments; sets app and win
    (cd / && exec "$exe" --ignored-argument -style windows) &
    app=$!
    pids+=("$app")
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -1 || true)
        [[ -n "$win" ]] && break
        sleep 0.1
    done
    [[ -n "$win" ]] || fail "no window from pid $app"
}

wait_exit() { # waits for pid $1 with a deadline; sets code to its exit code or "timeout"
    code=timeout
    for _ in $(seq 100); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1" && code=0 || code=$?
            return
        fi
        sleep 0.1
    done
}

outer_geometry() { # x y w h of the window's frame as the window manager drew it
    local frame=$1
    while :; do
        local parent
        parent=$(xwininfo -tree -id "$frame" | awk '/Parent window id:/ {print $4}')
        [[ "$parent" == "$(xwininfo -root | awk '/Window id:/ {print $4}')" ]] && break
        frame=$parent
    done
    xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# 1. Size, place, working directory, and Esc.
start
sleep 0.5
read -r x y w h < <(outer_geometry "$win")
[[ "$w $h" == "380 243" ]] || fail "outer size $w x $h, want 380 x 243"
[[ "$x $y" == "$(( (1024 - 380) / 2 )) $(( (768 - 243) / 2 ))" ]] || fail "outer place $x,$y"
[[ "$(readlink /proc/$app/cwd)" == "$(dirname "$exe")" ]] || fail "working directory $(readlink /proc/$app/cwd)"
import -window root "$artefacts/window.png" 2>/dev/null || true

# Two copies side by side: a second one starts and shows while the first runs.
first=$app
start
second=$app
kill -0 "$first" || fail "the first copy ended when the second started"
xdotool windowactivate --sync "$win" key --clearmodifiers shift+Escape
sleep 0.3
kill -0 "$second" || fail "Shift+Esc closed the window"
xdotool windowactivate --sync "$win" key --clearmodifiers Escape
wait_exit "$second"; [[ $code == 0 ]] || fail "Esc: exit code not 0 ($code)"
win=$(xdotool search --onlyvisible --pid "$first" | head -1)
xdotool windowactivate --sync "$win" key --clearmodifiers Escape
wait_exit "$first"; [[ $code == 0 ]] || fail "Esc (first copy): exit code not 0 ($code)"

# 2. Alt+F4, through the window manager.
start
xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4
wait_exit "$app"; [[ $code == 0 ]] || fail "Alt+F4: exit code not 0 ($code)"

# 3. The window menu's Close (the window manager's close request) and a click on the close button.
start
wmctrl -i -c "$win"
wait_exit "$app"; [[ $code == 0 ]] || fail "close request: exit code $code"
start
read -r x y w h < <(outer_geometry "$win")
xdotool mousemove $((x + w - 12)) $((y + 10)) click 1
wait_exit "$app"; [[ $code == 0 ]] || fail "close button: exit code not 0 ($code)"

# 4. A plain kill still ends it (no signal is swallowed).
start
kill -TERM "$app"
wait_exit "$app"; [[ $code != timeout ]] || fail "SIGTERM did not end the program"

echo "e2e window: all checks passed"
