#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators with no
# error and no warning. Usage: validate.sh DESKTOP_FILE METAINFO_FILE
set -uo pipefail
desktop=$1 metainfo=$2
status=0

need() { command -v "$1" >/dev/null || { echo "FAIL: $1 not found (Debian package $2)"; exit 1; }; }
need desktop-file-validate desktop-file-utils
need appstreamcli appstream

# desktop-file-validate exits 0 on warnings and hints, so any output fails too.
out=$(desktop-file-validate "$desktop" 2>&1); rc=$?
echo "desktop-file-validate: exit $rc${out:+, output:}"; [[ -n $out ]] && echo "$out"
[[ $rc -eq 0 && -z $out ]] || { echo "FAIL: $desktop"; status=1; }

# Warnings and errors fail (non-zero exit); infos and pedantic hints are fine.
# The component id is the desktop-file id "zembrot", which the program sets as
# its desktop file name (and so its Wayland app id); AppStream prefers a
# reverse-DNS id, which would have to differ from it, so that one hint is an info.
appstreamcli validate --no-net --pedantic --override=cid-desktopapp-is-not-rdns=info "$metainfo"
rc=$?
[[ $rc -eq 0 ]] || { echo "FAIL: $metainfo (appstreamcli exit $rc)"; status=1; }
exit $status
