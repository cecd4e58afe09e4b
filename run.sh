#!/usr/bin/env bash
# Builds Tarvik, installs the plug-in where Linux hosts look for VST 2.4
# plug-ins and its data folder, and renders a factory patch through the
# installed binary.
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
cmake --preset release -B "$build" -DTARVIK_VST_DIR="$vst_folder" -DTARVIK_DATA_INSTALL_DIR="$data" >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --component plugin
cmake --install "$build" --component data
echo "Installed $vst_folder/Tarvik.so and the data folder $data"

# A factory acid line, played by its sequencer through the installed plug-in
# as a host would: the patch handed over as a chunk, pattern 0 held for 8 s.
"$build/tools/render/tarvik-render" --plugin "$vst_folder/Tarvik.so" \
    --patch "$build/data/Tarvik Patches/Acid/Acid Line 1.tvkp" --pattern 0 --length 8 demo.wav

# The editor as a host shows it, through the installed binary on a virtual
# X server: docs/editor.png.
if command -v Xvfb >/dev/null; then
    mkdir -p docs
    TARVIK_DATA_DIR=$data scripts/with-xvfb.sh "$build/tools/screenshot/tarvik-screenshot" \
        --plugin "$vst_folder/Tarvik.so" docs/editor.png
fi
