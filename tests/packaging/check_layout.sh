#!/usr/bin/env bash
# Checks an installed tree against the freedesktop layout: the executable, the
# desktop entry and what it names, the icons at their sizes, the metainfo, the
# user guide, the copyright, changelog and manual page, and nothing else.
# Usage: check_layout.sh PREFIX_DIR VERSION   (PREFIX_DIR: e.g. $DESTDIR/usr)
set -uo pipefail
root=$1 version=$2
sizes=(16 22 24 32 48 64 128 256)
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
field() { sed -n "s/^$1=//p" "$2" | sed -n 1p; }

[[ -d $root ]] || { echo "FAIL: no installed tree at $root"; exit 1; }
cd "$root" || exit 1

# The executable.
exe=bin/zembrot
if [[ -f $exe && -x $exe ]]; then
    [[ $(head -c4 "$exe" | od -An -c | tr -d ' ') == '177ELF' ]] || fail "$exe is not an ELF executable"
else
    fail "$exe missing or not executable"
fi

# The desktop entry, and the program and icon it names.
desktop=share/applications/zembrot.desktop
icon=
if [[ -f $desktop ]]; then
    exec_name=$(field Exec "$desktop"); exec_name=${exec_name%% *}
    [[ -n $exec_name && -x bin/$exec_name ]] || fail "desktop entry runs '$exec_name', not installed in bin/"
    icon=$(field Icon "$desktop")
    [[ -n $icon ]] || fail "desktop entry names no icon"
else
    fail "$desktop missing"
fi

# Icons under the name the desktop entry uses: the SVG and each PNG size.
icon=${icon:-zembrot}
svg=share/icons/hicolor/scalable/apps/$icon.svg
if [[ ! -s $svg ]] || ! grep -q '<svg' "$svg"; then fail "$svg missing or not an SVG"; fi
for n in "${sizes[@]}"; do
    png=share/icons/hicolor/${n}x${n}/apps/$icon.png
    if [[ ! -f $png ]]; then fail "$png missing"; continue; fi
    # PNG signature, then the IHDR chunk's width and height (big-endian, bytes 16-23).
    sig=$(head -c8 "$png" | od -An -tx1 | tr -d ' \n')
    [[ $sig == 89504e470d0a1a0a ]] || { fail "$png is not a PNG"; continue; }
    read -r w h < <(od -An -j16 -N8 -tu1 "$png" |
        awk '{ print ($1*16777216 + $2*65536 + $3*256 + $4), ($5*16777216 + $6*65536 + $7*256 + $8) }')
    [[ "$w $h" == "$n $n" ]] || fail "$png is ${w}x${h}, not ${n}x${n}"
    # Rendered, not blank, and with its transparent corners kept (not flattened on a background).
    read -r opaque colours < <(identify -format '%[opaque] %k\n' "$png" 2>/dev/null)
    [[ ${opaque,,} == false ]] || fail "$png has no transparent pixels"
    [[ ${colours:-0} -gt 8 ]] || fail "$png has only ${colours:-0} colours: blank render?"
done

# The metainfo, and what it points at.
metainfo=share/metainfo/zembrot.metainfo.xml
if [[ -f $metainfo ]]; then
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    [[ -n $launchable && -f share/applications/$launchable ]] ||
        fail "metainfo launches '$launchable', not an installed desktop entry"
    binary=$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
    [[ -n $binary && -x bin/$binary ]] || fail "metainfo provides binary '$binary', not installed in bin/"
    newest=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$metainfo" | sed -n 1p)
    [[ $newest == "$version" ]] || fail "metainfo's newest release is '$newest', the project is $version"
else
    fail "$metainfo missing"
fi

# The guide, where the program looks for it from bin/ (../share/zembrot/guide).
[[ -s bin/../share/zembrot/guide/index.html ]] || fail "share/zembrot/guide/index.html missing"
[[ -s share/doc/zembrot/copyright ]] || fail "share/doc/zembrot/copyright missing"
changelog=share/doc/zembrot/changelog.gz
if [[ -f $changelog ]]; then
    logged=$(gzip -dc "$changelog" | sed -n '1s/^zembrot (\([^)]*\)).*/\1/p')
    [[ $logged == "$version" ]] || fail "changelog's newest entry is '$logged', the project is $version"
else
    fail "$changelog missing"
fi
man=share/man/man1/zembrot.1.gz
if [[ ! -f $man ]] || ! gzip -dc "$man" | grep '^\.TH ZEMBROT 1' >/dev/null; then fail "$man missing or not a manual page"; fi

# Nothing installed outside these places.
stray=$(find . \( -type f -o -type l \) | sed 's:^\./::' | grep -Ev \
    '^(bin/zembrot|share/applications/zembrot\.desktop|share/metainfo/zembrot\.metainfo\.xml|share/icons/hicolor/(scalable|[0-9]+x[0-9]+)/apps/zembrot\.(svg|png)|share/zembrot/guide/.+|share/man/man1/zembrot\.1\.gz|share/doc/zembrot/.+)$')
[[ -z $stray ]] || fail "unexpected files installed:"$'\n'"$stray"

if [[ $fails -eq 0 ]]; then echo "layout of $root: ok"; else echo "layout of $root: $fails problem(s)"; fi
[[ $fails -eq 0 ]]
