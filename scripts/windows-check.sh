#!/usr/bin/env bash
# Cross-builds the Windows plug-in with mingw-w64, checks what Tarvik.dll
# exports and imports, and plays a note through it under Wine in a throw-away
# prefix. Given a data folder (a native build's, with the default skin) and
# an X display, it also opens the editor in a Windows host window and checks
# the panel's pixels. Needs g++-mingw-w64-x86-64, wine and wine64; no network.
#
# Usage: scripts/windows-check.sh [build folder [data folder]]   (default: build-win)
# TARVIK_BUILD_JOBS sets the build's parallelism (default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-prefix.sh
source "$root/scripts/wine-prefix.sh"
build=$(realpath -m "${1:-$root/build-win}")
data=${2:+$(realpath -m "$2")}
jobs=${TARVIK_BUILD_JOBS:-2}
objdump=x86_64-w64-mingw32-objdump

# Libraries every Windows installation has; anything else would have to ship
# next to the plug-in, which a VST folder cannot do reliably.
declare -A system_dll=()
for name in kernel32 user32 gdi32 gdiplus shell32 shlwapi ole32 oleaut32 advapi32 comctl32 comdlg32 msvcrt \
    winmm uxtheme dwmapi imm32 version; do
    system_dll[$name.dll]=1
done

die() {
    echo "windows-check: FAIL: $*" >&2
    exit 1
}

script_began=${EPOCHREALTIME/./}
begin() {
    echo "== $*"
    stage_began=${EPOCHREALTIME/./}
}
# EPOCHREALTIME without its dot counts microseconds.
seconds_since() {
    local elapsed=$(( ${EPOCHREALTIME/./} - $1 ))
    printf '%d.%02d s' $(( elapsed / 1000000 )) $(( elapsed % 1000000 / 10000 ))
}
end() { echo "   took $(seconds_since "$stage_began")"; }

check_imports() {
    local file=$1 name foreign=""
    local imports
    imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
    echo "   $(basename "$file") imports: ${imports//$'\n'/ }"
    for name in $imports; do
        [[ -n ${system_dll[${name,,}]:-} ]] || foreign+=" $name"
    done
    [[ -z $foreign ]] || die "$(basename "$file") needs DLLs a Windows machine lacks:$foreign (is the runtime linked statically?)"
}


show_wine_errors() {
    if [[ -s $work/$1.err ]]; then
        echo "   Wine's error output:" >&2
        sed 's/^/   ! /' "$work/$1.err" >&2
    fi
}

# ---------------------------------------------------------------------------
begin "cross-build into $build"
# The program's own pictures cannot be drawn by a cross-build: the native
# build beside the data folder drew them.
resources=()
[[ -z $data ]] || resources=(-DTARVIK_RESOURCE_DIR="$(dirname "$data")/resources")
cmake -S "$root" --preset windows -B "$build" -DTARVIK_WERROR="${TARVIK_WERROR:-OFF}" "${resources[@]}" >/dev/null ||
    die "configuring $build failed"
cmake --build "$build" --parallel "$jobs" || die "the Windows build failed"
dll=$build/vst/Tarvik.dll
host=$build/tests/windows/tarvik_smoke_host.exe
editor_host=$build/tests/windows/tarvik_editor_smoke.exe
[[ -f $dll && -f $host && -f $editor_host ]] ||
    die "no Tarvik.dll or smoke host in $build (a build folder configured natively keeps its compiler: use a fresh one)"
end

# ---------------------------------------------------------------------------
begin "export and import tables"
dump=$("$objdump" -p "$dll")
grep -q 'file format pei-x86-64' <<<"$dump" || die "$dll is not a 64-bit Windows binary"
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^[[:space:]]*$/p' <<<"$dump" |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | LC_ALL=C sort)
echo "   Tarvik.dll exports: ${exports//$'\n'/ }"
[[ $exports == $'VSTPluginMain\nmain' ]] || die "Tarvik.dll must export exactly VSTPluginMain and main"
addresses=$(sed -n '/^Export Address Table -- /,/^[[:space:]]*$/p' <<<"$dump" |
    grep -o '[0-9a-fA-F]* Export RVA' | sort -u | wc -l)
[[ $addresses -eq 1 ]] || die "main and VSTPluginMain are not the same function in Tarvik.dll"
check_imports "$dll"
check_imports "$host"
check_imports "$editor_host"
end

# ---------------------------------------------------------------------------
begin "fresh Wine prefix"
# The editor check needs a display; without a data folder none is used.
[[ -n $data && -n ${DISPLAY:-} ]] || unset DISPLAY
make_wine_prefix wine
end

# ---------------------------------------------------------------------------
begin "smoke host under Wine"
mkdir -p "$WINEPREFIX/drive_c/tarvik/data"
cp "$dll" "$host" "$WINEPREFIX/drive_c/tarvik/"
export TARVIK_DATA_DIR='C:\tarvik\data'
run_wine smoke 'C:\tarvik\tarvik_smoke_host.exe' 'C:\tarvik\Tarvik.dll'
problem=$(abnormal_end "$status")
if [[ -z $problem && $status -ne 0 ]]; then problem="exited with code $status"; fi
if [[ -z $problem && $last_line != "RESULT ok" ]]; then problem="did not end with 'RESULT ok'"; fi
if [[ -n $problem ]]; then
    show_wine_errors smoke
    die "the smoke host $problem"
fi

# The DLL alone is a complete install: the empty data folder now holds the
# factory files it carries, byte for byte (beside what a closing instance
# writes of its own).
if [[ -n $data ]]; then
    differences=$(diff -r -x MidiCC.ini -x 'Tarvik Patch.tvkp' "$data" "$WINEPREFIX/drive_c/tarvik/data" 2>&1) ||
        die "the DLL did not write its data folder as the build made it:"$'\n'"$differences"
    echo "   the DLL wrote its data folder: $(find "$data" -type f | wc -l) files, as the build made them"
fi

run_wine missing 'C:\tarvik\tarvik_smoke_host.exe' 'C:\tarvik\no-such-plugin.dll'
problem=$(abnormal_end "$status")
if [[ -z $problem && $status -eq 0 ]]; then problem="accepted a missing DLL with exit code 0"; fi
if [[ -z $problem && $last_line != "RESULT fail: "* ]]; then problem="did not report the missing DLL"; fi
if [[ -n $problem ]]; then
    show_wine_errors missing
    die "the smoke host $problem"
fi
end

# ---------------------------------------------------------------------------
if [[ -n ${DISPLAY:-} ]]; then
    begin "editor under Wine"
    mkdir -p "$WINEPREFIX/drive_c/tarvik/skin"
    cp -r "$data/." "$WINEPREFIX/drive_c/tarvik/skin/"
    cp "$editor_host" "$WINEPREFIX/drive_c/tarvik/"
    TARVIK_DATA_DIR='C:\tarvik\skin' run_wine editor 'C:\tarvik\tarvik_editor_smoke.exe' 'C:\tarvik\Tarvik.dll' 'C:\tarvik\skin'
    problem=$(abnormal_end "$status")
    if [[ -z $problem && $status -ne 0 ]]; then problem="exited with code $status"; fi
    if [[ -z $problem && $last_line != "RESULT ok" ]]; then problem="did not end with 'RESULT ok'"; fi
    if [[ -n $problem ]]; then
        show_wine_errors editor
        die "the editor smoke host $problem"
    fi
    end
else
    echo "== editor under Wine: skipped (needs a data folder and an X display)"
fi

echo "windows-check: OK in $(seconds_since "$script_began")"
