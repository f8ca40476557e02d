#!/usr/bin/env bash
# `cmake --install` of the built tree into a scratch DESTDIR puts every file
# where freedesktop conventions want it, and AppStream accepts the installed tree.
# Usage: install_layout.sh BUILD_DIR INSTALL_PREFIX VERSION
set -uo pipefail
build=$1 prefix=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

DESTDIR=$tmp/dest cmake --install "$build" >"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }
root=$tmp/dest$prefix

status=0
"$here/check_layout.sh" "$root" "$version" || status=1
# The tree as a software centre reads it: metainfo, and the desktop entry it launches.
appstreamcli validate-tree --no-net --override=cid-desktopapp-is-not-rdns=info "$root" ||
    { echo "FAIL: appstreamcli validate-tree"; status=1; }
exit $status
