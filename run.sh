#!/usr/bin/env bash
# Builds Tarvik, installs the plug-in where Linux hosts look for VST 2.4
# plug-ins, and renders a demo through the installed binary.
#
# Usage: ./run.sh [VST_FOLDER]     (default: ~/.vst)
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh build

vst_folder=$(realpath -m "${1:-$HOME/.vst}")
build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCH=OFF \
    -DTARVIK_VST_DIR="$vst_folder" >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --component plugin
echo "Installed $vst_folder/Tarvik.so"

# A one-bar bass line in A, played through the installed plug-in as a host would.
notes=()
start=0
for key in A1 A1 A2 A1 C2 A1 G1 E2; do
    notes+=(--note "$key,$start,0.2,110")
    start=$(awk -v s="$start" 'BEGIN { print s + 0.25 }')
done
"$build/tools/render/tarvik-render" --plugin "$vst_folder/Tarvik.so" --tempo 120 "${notes[@]}" demo.wav
