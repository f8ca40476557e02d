#!/usr/bin/env bash
# Builds the Debian package in build-pkg/ (Release, installed under /usr, no
# tests) and prints the path of the .deb. Needs what scripts/install-deps.sh
# installs, including rsvg-convert (librsvg2-bin) and dpkg-shlibdeps (dpkg-dev).
#   packaging/build-deb.sh        ->  .../build-pkg/zembrot_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x scripts/install-deps.sh ]] && scripts/install-deps.sh
for tool in rsvg-convert:librsvg2-bin dpkg-shlibdeps:dpkg-dev; do
    command -v "${tool%%:*}" >/dev/null || { echo "${tool%%:*} not found: install the Debian package ${tool#*:}" >&2; exit 1; }
done

cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEMBROT_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-pkg
rm -f build-pkg/zembrot_*.deb
(cd build-pkg && cpack -G DEB >/dev/null)
ls "$PWD"/build-pkg/zembrot_*.deb
