#!/usr/bin/env bash
# Installs into a temporary prefix and checks the layout and the desktop metadata.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/lib/ravenmoor/ravenmoor" ] || fail "program not in lib/ravenmoor"
[ -f "$prefix/lib/ravenmoor/HAND-M.CUR" ] || fail "cursor not beside the program"
[ -L "$prefix/bin/ravenmoor" ] || fail "bin/ravenmoor is not a link"
[ "$(readlink -f "$prefix/bin/ravenmoor")" = "$(readlink -f "$prefix/lib/ravenmoor/ravenmoor")" ] ||
    fail "bin/ravenmoor does not point at the program"
[ -x "$prefix/lib/ravenmoor/ravenmoor-cli" ] || fail "ravenmoor-cli not beside the program"
[ "$(readlink -f "$prefix/bin/ravenmoor-cli")" = "$(readlink -f "$prefix/lib/ravenmoor/ravenmoor-cli")" ] ||
    fail "bin/ravenmoor-cli does not point at the command-line program"
"$prefix/bin/ravenmoor-cli" --version >/dev/null || fail "ravenmoor-cli does not run"
for page in ravenmoor ravenmoor-cli; do
    [ -f "$prefix/share/man/man1/$page.1.gz" ] || fail "man page $page missing"
done
for size in 32 48 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/org.kestrelor.Ravenmoor.png"
    [ -f "$icon" ] || fail "icon ${size} missing"
done
desktop-file-validate "$prefix/share/applications/org.kestrelor.Ravenmoor.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.kestrelor.Ravenmoor.metainfo.xml"
echo "install layout OK"
