#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it the way a user does, starts
# the installed window under Xvfb until it appears and closes it, runs the installed
# ravenmoor-cli, then removes the package again. Needs root or sudo; CI runs it after the tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$(readlink -f "${1:-build}")
work=$(mktemp -d)
xvfb_pid=
app_pid=
installed=
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$installed" ] && "${sudo[@]}" apt-get remove -y -q ravenmoor >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/program.log" ] && tail -n 20 "$work/program.log" >&2; exit 1; }

cmake --build "$build_dir" --target package >/dev/null
version=$(sed -n 's/^project(Ravenmoor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build_dir/ravenmoor_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
dpkg-deb -f "$deb" Recommends | grep -qx 'libreoffice-calc' || fail "Recommends is not libreoffice-calc"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# Recommends stay out: the check is about this package, and CI has LibreOffice without its GUI.
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -q --no-install-recommends "$deb" >/dev/null
installed=1
[ "$(/usr/bin/ravenmoor --version)" = "ravenmoor $version" ] || fail "ravenmoor --version"
[ "$(/usr/bin/ravenmoor-cli --version)" = "ravenmoor-cli $version" ] || fail "ravenmoor-cli --version"
for page in ravenmoor ravenmoor-cli; do
    [ -f "/usr/share/man/man1/$page.1.gz" ] || fail "man page $page not installed"
done

mkdir -p "$work/home" "$work/config"
chmod 700 "$work/home"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
env -u QT_QPA_PLATFORM DISPLAY=":$(head -n 1 "$work/display")" HOME="$work/home" \
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/home" \
    bash -c '
        /usr/bin/ravenmoor >"$1" 2>&1 &
        pid=$!
        window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Ravenmoor$" | head -n 1)
        [ -n "$window" ] || { kill $pid; echo "the installed window did not appear" >&2; exit 1; }
        xdotool windowfocus --sync "$window" key ctrl+q
        for _ in $(seq 50); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.1; done
        kill $pid; echo "the installed window did not close" >&2; exit 1
    ' _ "$work/program.log" || fail "window check"

"${sudo[@]}" apt-get remove -y -q ravenmoor >/dev/null
installed=
[ ! -e /usr/bin/ravenmoor-cli ] || fail "ravenmoor-cli left behind after removal"
echo "package OK: $(basename "$deb")"
