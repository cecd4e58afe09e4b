#!/usr/bin/env bash
# Draws the README's pictures of the editor through the built plug-in on a
# virtual X server: the panel, a patch with its cables, the option and patch
# menus, the three panels, the running sequencer and a message on the panel.
# Menus and panels are opened with the clicks and keys a user would use
# (window pixels of the default skin); the sequencer is started with RUN/STOP
# and plays for as long as the audio rendered lasts.
#
# Usage: scripts/screenshots.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shot=$build/tools/screenshot/tarvik-screenshot
patches="$build/data/Tarvik Patches"
[[ -x $shot ]] || { echo "screenshots: no $shot (build first)" >&2; exit 1; }

# A data folder of its own, so the user's Gui.ini plays no part.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
cp -r "$build/data/." "$data/"
export TARVIK_DATA_DIR=$data

take() {
    scripts/with-xvfb.sh "$shot" --plugin "$build/vst/Tarvik.so" "$@"
}
acid=(--patch "$patches/Acid/Acid Line 1.tvkp")
mkdir -p docs
take docs/editor.png
take --patch "$patches/Patched/Accent Drive.tvkp" docs/editor-cables.png
take "${acid[@]}" --click 760,16 docs/menu-options.png
take "${acid[@]}" --click 560,20 --key Home --key Down --key Down --key Down --key Down --key Right docs/menu-patch.png
take "${acid[@]}" --click 760,16 --key End --key Return docs/panel-preferences.png
take "${acid[@]}" --click 40,752 --key End --key Up --key Up --key Up --key Return docs/panel-advanced-random.png
take "${acid[@]}" --click 1016,16 docs/panel-patch-info.png
take "${acid[@]}" --click 304,684 --render 1.3 docs/playing-step.png
# A skin whose panel would fit no screen: the default skin opens with the
# reason on it (last: it replaces Gui.ini).
sed -E 's/^(BACKGROUND .*), [0-9]+, [0-9]+(\r?)$/\1, 32767, 32767\2/' "$data/Tarvik.skn" >"$data/Huge.skn"
printf 'Skin = "Huge.skn"\n' >"$data/Gui.ini"
take "${acid[@]}" docs/message-in-panel.png
