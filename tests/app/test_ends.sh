#!/usr/bin/env bash
# Exit codes and the exit hook on each of the program's ends.
set -euo pipefail
probe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check() { # mode, expected code, hook ran (yes/no), expected box text or ""
    local out code
    rm -f "$work/marker"
    out=$("$probe" "$1" "$work/marker" 2>&1) && code=0 || code=$?
    [[ $code == "$2" ]] || fail "$1: exit code $code, want $2 ($out)"
    [[ -e "$work/marker" ]] && ran=yes || ran=no
    [[ $ran == "$3" ]] || fail "$1: exit hook ran: $ran, want $3"
    [[ "$out" != *"returned to the handler"* ]] || fail "$1: control came back to the handler"
    [[ -z "$4" || "$out" == *"$4"* ]] || fail "$1: box said: $out"
    echo "ok: $1 -> $code, hook $ran"
}
check end 0 yes ""
check fatal 255 no "probe"
check oom 255 no "1073741824"
