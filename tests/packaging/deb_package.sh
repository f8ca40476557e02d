#!/usr/bin/env bash
# Builds the Debian package from the built tree with CPack, then checks its
# control fields (dependencies computed by dpkg-shlibdeps plus the run-time
# ones) and, unpacked, its files.
# Usage: deb_package.sh BUILD_DIR VERSION
set -uo pipefail
build=$1 version=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
command -v dpkg-shlibdeps >/dev/null || { echo "FAIL: dpkg-shlibdeps not found (Debian package dpkg-dev)"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
debs=("$tmp"/out/zembrot_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { ls -l "$tmp/out"; echo "FAIL: expected one zembrot_*.deb"; exit 1; }
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "zembrot_${version}_${arch}.deb" ]] || fail "package file is $(basename "$deb")"

echo "--- control"
dpkg-deb -f "$deb" Package Version Architecture Section Maintainer Depends Recommends
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
has() { # has LIST PACKAGE: PACKAGE is one of LIST's comma-separated entries (version constraint allowed)
    tr ',|' '\n' <<<"$1" | sed 's/^ *//; s/[ (].*//' | grep -x "$2" >/dev/null
}

dpkg-deb -x "$deb" "$tmp/root"

# Every library the executable links to comes from a package that Depends names
# (that is what dpkg-shlibdeps found), and among them are Qt, libmpg123 and SDL2.
exe=$tmp/root/usr/bin/zembrot
needed=
if [[ -f $exe ]]; then
    needed=$(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    [[ -n $needed ]] || fail "usr/bin/zembrot links no shared library"
else
    fail "no usr/bin/zembrot in the package"
fi
providers=()
for lib in $needed; do
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l { print $3 }')
    pkg=
    for p in "$path" "/usr$path" "${path#/usr}" "$(readlink -f "$path")"; do
        [[ -n $p ]] && pkg=$(dpkg -S "$p" 2>/dev/null | sed -n '1s/:.*//p') && [[ -n $pkg ]] && break
    done
    if [[ -z $pkg ]]; then fail "no Debian package owns $lib ($path)"; continue; fi
    providers+=("$pkg")
    has "$depends" "$pkg" || fail "Depends lacks $pkg, which provides $lib"
done
echo "linked libraries come from: ${providers[*]}"
for want in 'libqt6widgets6.*' 'libqt6gui6.*' 'libqt6core6.*' 'libmpg123-0.*' 'libsdl2-2\.0-0'; do
    printf '%s\n' "${providers[@]}" | grep -x "$want" >/dev/null || fail "the executable links no library of $want"
done
# Loaded at run time, so invisible to dpkg-shlibdeps: the SVG plugin (window icon).
has "$depends" libqt6svg6 || fail "Depends lacks libqt6svg6"
has "$recommends" fonts-noto-cjk || fail "Recommends lacks fonts-noto-cjk"
has "$recommends" qt6-translations-l10n || fail "Recommends lacks qt6-translations-l10n"

# Files belong to root, and all of them live under /usr in the freedesktop layout.
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
[[ $owners == root/root ]] || fail "files owned by: $owners"
outside=$(cd "$tmp/root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $outside ]] || fail "files outside /usr: $outside"
echo "--- files"
(cd "$tmp/root" && find . -type f | sed 's:^\./:/:' | sort)
"$here/check_layout.sh" "$tmp/root/usr" "$version" || fails=$((fails + 1))

[[ $fails -eq 0 ]] && echo "package $(basename "$deb"): ok"
[[ $fails -eq 0 ]]
