#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing for building (and, with
# --test, for testing). Uses sudo when not root; does nothing when all are there.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libqt6svg6
          libmpg123-dev libsdl2-dev fonts-noto-cjk librsvg2-bin)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(libgtest-dev qt6-base-private-dev sox lame xvfb openbox xdotool x11-utils wmctrl imagemagick fiu-utils
               clang-14 libclang-rt-14-dev desktop-file-utils appstream dpkg-dev mpg123 libx11-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
