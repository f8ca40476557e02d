#!/usr/bin/env bash
# By hand only, never from the tests: it changes the machine. Installs a built
# package with apt (which pulls in its dependencies), checks that the files
# are in place and the desktop entry and icon are findable, then removes it
# and checks that nothing is left. Run as root (or with sudo) on Debian 12.
#   packaging/try-install.sh [path/to/zembrot_<version>_<arch>.deb]
# Without an argument it builds one first with packaging/build-deb.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=${1:-$("$here/build-deb.sh" | tail -n1)}
deb=$(readlink -f "$deb")
sudo=(); [[ $(id -u) -eq 0 ]] || sudo=(sudo)

if dpkg-query -W -f='${Status}' zembrot 2>/dev/null | grep -q 'install ok installed'; then
    echo "zembrot is installed already; remove it first (apt-get remove zembrot)" >&2; exit 1
fi

echo "--- installing $deb"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$deb"
files=$(dpkg -L zembrot)
for f in /usr/bin/zembrot /usr/share/applications/zembrot.desktop /usr/share/metainfo/zembrot.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/zembrot.svg /usr/share/icons/hicolor/48x48/apps/zembrot.png \
         /usr/share/zembrot/guide/index.html; do
    if ! grep -qx "$f" <<<"$files" || [[ ! -e $f ]]; then echo "FAIL: $f not installed" >&2; exit 1; fi
done
# Every shared library resolves with only the package's dependencies installed.
if ldd /usr/bin/zembrot | grep 'not found' >/dev/null; then ldd /usr/bin/zembrot; echo "FAIL: unresolved libraries" >&2; exit 1; fi
command -v desktop-file-validate >/dev/null && desktop-file-validate /usr/share/applications/zembrot.desktop
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' zembrot)"

echo "--- removing"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y zembrot
left=$(while read -r f; do [[ -f $f ]] && echo "$f"; done <<<"$files" || true)
[[ -z $left ]] || { echo "FAIL: left behind after removal:"; echo "$left"; exit 1; } >&2
echo "install and removal: ok"
