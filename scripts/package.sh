#!/usr/bin/env bash
# Makes the release packages in dist/ (made afresh):
#   Tarvik-<version>-windows-x64-setup.exe   the Windows installer
#   Tarvik-<version>-windows-x64.zip         Tarvik.dll with README.txt and CHANGELOG.md
#   Tarvik-<version>-linux-x86_64.tar.gz     Tarvik.so (and any other front end) with
#                                            install.sh, README.md and CHANGELOG.md
# By default it builds both from scratch in fresh Release folders; given
# already-configured Release build folders it only brings their targets up
# to date. Needs cmake, ninja, mingw-w64, nsis and zip.
#
# Usage: scripts/package.sh [--linux-build DIR] [--windows-build DIR]
# TARVIK_BUILD_JOBS sets the builds' parallelism (default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${TARVIK_BUILD_JOBS:-2}
dist=$root/dist
# Front ends besides the VST plug-in, as the native build makes them; each
# goes into the tarball when the build has it (install.sh knows them all).
other_front_ends=(lv2/Tarvik.lv2 standalone/tarvik)

usage() { echo "usage: $0 [--linux-build DIR] [--windows-build DIR]"; }

die() {
    echo "package: FAIL: $*" >&2
    exit 1
}

cache_value() {
    sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"
}

# A build folder given on the command line must be a configured Release build.
check_given_build() {
    local build=$1 what=$2
    [[ -f $build/CMakeCache.txt ]] || die "$build is not a configured build folder"
    [[ $(cache_value "$build" CMAKE_BUILD_TYPE) == Release ]] || die "$build is not a Release build ($what)"
}

build_linux() {
    if [[ -z $linux_build ]]; then
        linux_build=$root/build-package-linux
        echo "== fresh native Release build in $linux_build"
        rm -rf "$linux_build"
        cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_BUILD_TESTS=OFF \
            -DTARVIK_BUILD_BENCH=OFF -DTARVIK_WERROR="${TARVIK_WERROR:-OFF}" >/dev/null || die "configuring $linux_build failed"
    else
        echo "== native build in $linux_build"
        check_given_build "$linux_build" "native"
        [[ -z $(cache_value "$linux_build" CMAKE_TOOLCHAIN_FILE) ]] || die "$linux_build is a cross build, not a native one"
    fi
    cmake --build "$linux_build" --parallel "$jobs" --target Tarvik tarvik-pack tarvik_skin_files tarvik_factory_bank \
        tarvik_wavetable_files || die "the native build failed"
    [[ -f $linux_build/vst/Tarvik.so && -f $linux_build/data/Tarvik.skn ]] || die "no Tarvik.so or data folder in $linux_build"
}

build_windows() {
    if [[ -z $windows_build ]]; then
        windows_build=$root/build-package-windows
        echo "== fresh Windows Release cross-build in $windows_build"
        rm -rf "$windows_build"
        # The program's own pictures are drawn by the native build.
        cmake -S "$root" -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_BUILD_TESTS=OFF \
            -DTARVIK_BUILD_BENCH=OFF -DTARVIK_WERROR="${TARVIK_WERROR:-OFF}" \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DTARVIK_RESOURCE_DIR="$linux_build/resources" >/dev/null || die "configuring $windows_build failed"
    else
        echo "== Windows cross-build in $windows_build"
        check_given_build "$windows_build" "Windows"
        [[ -n $(cache_value "$windows_build" CMAKE_TOOLCHAIN_FILE) ]] || die "$windows_build is not a cross build"
    fi
    cmake --build "$windows_build" --parallel "$jobs" --target Tarvik || die "the Windows build failed"
    [[ -f $windows_build/vst/Tarvik.dll ]] || die "no Tarvik.dll in $windows_build"
}

# The same sources make both builds: they must tell the same version.
read_version() {
    version=$(cache_value "$linux_build" CMAKE_PROJECT_VERSION)
    [[ -n $version ]] || die "no CMAKE_PROJECT_VERSION in $linux_build/CMakeCache.txt"
    local windows_version
    windows_version=$(cache_value "$windows_build" CMAKE_PROJECT_VERSION)
    [[ $windows_version == "$version" ]] ||
        die "the native build is version $version, the Windows build $windows_version: configure both again"
}

make_installer() {
    local changelog=()
    [[ ! -f $root/CHANGELOG.md ]] || changelog=(-DCHANGELOG="$root/CHANGELOG.md")
    echo "== Windows installer"
    makensis -V2 -DVERSION="$version" -DPLUGIN="$windows_build/vst/Tarvik.dll" -DDATA="$linux_build/data" \
        -DPACK_TOOL="$linux_build/tools/pack/tarvik-pack" \
        -DREADME="$root/README.md" "${changelog[@]}" -DOUTFILE="$dist/$setup" \
        "$root/packaging/windows/Tarvik.nsi" || die "makensis failed"
}

make_zip() {
    echo "== Windows zip"
    local folder=$stage/windows
    mkdir -p "$folder"
    cp "$windows_build/vst/Tarvik.dll" "$folder/"
    cp "$root/README.md" "$folder/README.txt"
    [[ ! -f $root/CHANGELOG.md ]] || cp "$root/CHANGELOG.md" "$folder/"
    (cd "$folder" && zip -q -X -r "$dist/$zip" .) || die "zip failed"
}

make_tarball() {
    echo "== Linux tarball"
    local top=Tarvik-$version-linux-x86_64 front_end
    local folder=$stage/$top
    mkdir -p "$folder"
    cp "$linux_build/vst/Tarvik.so" "$root/packaging/linux/install.sh" "$root/README.md" "$folder/"
    [[ ! -f $root/CHANGELOG.md ]] || cp "$root/CHANGELOG.md" "$folder/"
    for front_end in "${other_front_ends[@]}"; do
        [[ ! -e $linux_build/$front_end ]] || cp -R "$linux_build/$front_end" "$folder/"
    done
    chmod 755 "$folder/install.sh"
    tar -C "$stage" --owner=0 --group=0 --numeric-owner -czf "$dist/$tarball" "$top" || die "tar failed"
}

# Each package exists and holds what it should.
check_packages() {
    echo "== checking the packages"
    local name expected listed
    for name in "$setup" "$zip" "$tarball"; do
        [[ -s $dist/$name ]] || die "$name was not made"
    done
    [[ $(head -c 2 "$dist/$setup") == MZ ]] || die "$setup is not a Windows program"

    expected="README.txt Tarvik.dll"
    [[ ! -f $root/CHANGELOG.md ]] || expected="CHANGELOG.md $expected"
    listed=$(zip -sf "$dist/$zip" | sed -n 's/^  //p' | LC_ALL=C sort | tr '\n' ' ')
    [[ $listed == "$expected " ]] || die "$zip holds '$listed', expected '$expected'"

    local top=Tarvik-$version-linux-x86_64
    listed=$(tar -tzf "$dist/$tarball")
    for name in Tarvik.so install.sh README.md; do
        grep -qx "$top/$name" <<<"$listed" || die "$tarball lacks $top/$name"
    done
    [[ ! -f $root/CHANGELOG.md ]] || grep -qx "$top/CHANGELOG.md" <<<"$listed" || die "$tarball lacks $top/CHANGELOG.md"
    ! grep -qv "^$top/" <<<"$listed" || die "$tarball has files outside $top/"
}

linux_build=""
windows_build=""
while [[ $# -gt 0 ]]; do
    case $1 in
        --linux-build) [[ $# -ge 2 ]] || { usage >&2; exit 2; }; linux_build=$(realpath -m "$2"); shift 2 ;;
        --windows-build) [[ $# -ge 2 ]] || { usage >&2; exit 2; }; windows_build=$(realpath -m "$2"); shift 2 ;;
        -h | --help) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done

began=$SECONDS
if [[ -n $(git -C "$root" status --porcelain 2>/dev/null) ]]; then
    echo "package: WARNING: the git tree has uncommitted changes; these packages are not of a commit" >&2
fi
build_linux
build_windows
read_version
setup=Tarvik-$version-windows-x64-setup.exe
zip=Tarvik-$version-windows-x64.zip
tarball=Tarvik-$version-linux-x86_64.tar.gz

rm -rf "$dist"
mkdir -p "$dist"
stage=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
make_installer
make_zip
make_tarball
check_packages

echo "package: made in $((SECONDS - began)) s:"
for name in "$setup" "$zip" "$tarball"; do
    echo "   dist/$name ($(du -k "$dist/$name" | cut -f1) KiB)"
done
