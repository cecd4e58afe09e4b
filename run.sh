#!/usr/bin/env bash
# Builds Tarvik, installs the plug-in where Linux hosts look for VST 2.4
# plug-ins and its data folder, and renders a demo through the installed
# binary.
#
# Usage: ./run.sh [VST_FOLDER]     (default: ~/.vst)
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh build

# The folder the plug-in reads its files from: TARVIK_DATA_DIR, else
# Sonvarde/Tarvik in the XDG documents folder (~/Documents without one).
data_folder() {
    if [[ -n ${TARVIK_DATA_DIR:-} ]]; then
        echo "${TARVIK_DATA_DIR%/}"
        return
    fi
    local documents="" dirs=${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs
    if [[ -f $dirs ]]; then
        documents=$(sed -n 's/^XDG_DOCUMENTS_DIR="\(.*\)"$/\1/p' "$dirs" | head -n 1)
        documents=${documents/\$HOME/$HOME}
    fi
    [[ $documents == /* ]] || documents=$HOME/Documents
    echo "${documents%/}/Sonvarde/Tarvik"
}

vst_folder=$(realpath -m "${1:-$HOME/.vst}")
data=$(data_folder)
build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCH=OFF \
    -DTARVIK_VST_DIR="$vst_folder" -DTARVIK_DATA_INSTALL_DIR="$data" >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --component plugin
cmake --install "$build" --component data
echo "Installed $vst_folder/Tarvik.so and the data folder $data"

# A one-bar bass line in A, played through the installed plug-in as a host would.
notes=()
start=0
for key in A1 A1 A2 A1 C2 A1 G1 E2; do
    notes+=(--note "$key,$start,0.2,110")
    start=$(awk -v s="$start" 'BEGIN { print s + 0.25 }')
done
"$build/tools/render/tarvik-render" --plugin "$vst_folder/Tarvik.so" --mode mono --tempo 120 "${notes[@]}" demo.wav
