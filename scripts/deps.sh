#!/usr/bin/env bash
# Installs the Debian packages a task needs, if any are missing.
# Usage: scripts/deps.sh build|test
#   build: compile, render and install the Linux plug-in, and picture its
#          editor on a virtual X server
#   test:  also the sanitizer runtimes' needs, the benchmark library and the
#          Windows cross-compiler with Wine for the Windows smoke test
set -euo pipefail

build_packages=(g++ cmake ninja-build pkg-config zlib1g-dev libsndfile1-dev libgtest-dev libbenchmark-dev libcairo2-dev
    libfontconfig-dev libx11-dev libxtst-dev fonts-dejavu-core xvfb lv2-dev liblilv-dev lilv-utils sordi)
test_packages=("${build_packages[@]}" g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 nsis zip clang libclang-rt-14-dev)

case "${1:-}" in
    build) wanted=("${build_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

command="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them as root, then run this again:" >&2
    echo "    sudo apt-get update && sudo $command" >&2
    exit 1
fi
echo "Installing ${missing[*]} ..."
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
$command >/dev/null
