#!/usr/bin/env bash
# Installs the Debian packages that are missing for a given purpose: "build" (build and run) or
# "test" (everything the test suite needs). A second run with nothing missing costs one dpkg-query.
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libxlsxwriter-dev libbenchmark-dev libgtest-dev libboost-dev
    fonts-liberation2 scdoc
)
test_packages=(
    "${build_packages[@]}"
    xvfb xauth xdotool xclip x11-utils imagemagick
    libreoffice-calc-nogui poppler-utils
    hledger ledger beancount
    clang libclang-rt-14-dev
    desktop-file-utils appstream lintian
)

case "${1:-build}" in
    build) wanted=("${build_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
