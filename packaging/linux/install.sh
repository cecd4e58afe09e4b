#!/usr/bin/env bash
# Installs Tarvik from this folder for the current user: the VST plug-in
# Tarvik.so into ~/.vst, and whatever other front end the package carries
# (the LV2 bundle Tarvik.lv2/ into ~/.lv2, the standalone program tarvik into
# ~/.local/bin). Nothing needs root. The data folder is not written here: the
# plug-in writes what it misses there when it first starts.
set -euo pipefail

usage() {
    cat <<EOF
usage: $0 [--vst-dir DIR] [--lv2-dir DIR] [--bin-dir DIR]
  --vst-dir DIR  folder for Tarvik.so (default: ~/.vst)
  --lv2-dir DIR  folder for the Tarvik.lv2 bundle (default: ~/.lv2)
  --bin-dir DIR  folder for the standalone program tarvik (default: ~/.local/bin)
EOF
}

fail() {
    echo "install: $*" >&2
    exit 1
}

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
vst_dir=$HOME/.vst
lv2_dir=$HOME/.lv2
bin_dir=$HOME/.local/bin
while [[ $# -gt 0 ]]; do
    case $1 in
        --vst-dir) [[ $# -ge 2 ]] || { usage >&2; exit 2; }; vst_dir=$2; shift 2 ;;
        --lv2-dir) [[ $# -ge 2 ]] || { usage >&2; exit 2; }; lv2_dir=$2; shift 2 ;;
        --bin-dir) [[ $# -ge 2 ]] || { usage >&2; exit 2; }; bin_dir=$2; shift 2 ;;
        -h | --help) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done

# A host may have the old file open or be scanning the folder: the new one is
# copied beside it under a temporary name and then renamed over it, so that
# nobody ever sees half a file.
replace_file() {
    local source=$1 folder=$2 mode=$3
    local target
    target=$folder/$(basename "$source")
    mkdir -p "$folder" || fail "cannot make $folder"
    local temporary
    temporary=$(mktemp "$folder/.$(basename "$source").XXXXXX") || fail "cannot write into $folder"
    if ! cp "$source" "$temporary" || ! chmod "$mode" "$temporary" || ! mv -f "$temporary" "$target"; then
        rm -f "$temporary"
        fail "could not install $target"
    fi
    echo "installed $target"
}

# A bundle is a folder: the new one is copied in full beside the old, then
# the old is moved aside and the new one renamed into its place.
replace_folder() {
    local source=$1 folder=$2
    local name target temporary
    name=$(basename "$source")
    target=$folder/$name
    mkdir -p "$folder" || fail "cannot make $folder"
    temporary=$(mktemp -d "$folder/.$name.XXXXXX") || fail "cannot write into $folder"
    if ! cp -R "$source/." "$temporary/" || ! chmod 755 "$temporary"; then
        rm -rf "$temporary"
        fail "could not copy $name into $folder"
    fi
    if [[ -e $target ]]; then
        local old
        old=$(mktemp -d "$folder/.$name.old.XXXXXX")
        mv "$target" "$old/" || { rm -rf "$temporary" "$old"; fail "could not move the old $target aside"; }
        mv "$temporary" "$target" || fail "could not install $target (the old bundle is in $old)"
        rm -rf "$old"
    else
        mv "$temporary" "$target" || { rm -rf "$temporary"; fail "could not install $target"; }
    fi
    echo "installed $target"
}

[[ -f $here/Tarvik.so ]] || fail "no Tarvik.so beside this script in $here"
replace_file "$here/Tarvik.so" "$vst_dir" 755
if [[ -d $here/Tarvik.lv2 ]]; then replace_folder "$here/Tarvik.lv2" "$lv2_dir"; fi
if [[ -f $here/tarvik ]]; then
    replace_file "$here/tarvik" "$bin_dir" 755
    case ":$PATH:" in
        *":$bin_dir:"*) ;;
        *) echo "note: $bin_dir is not on your PATH; run $bin_dir/tarvik or add the folder to PATH" ;;
    esac
fi

cat <<EOF

Point your host's VST 2 search path at $vst_dir (most Linux hosts scan ~/.vst)
and rescan; Tarvik is an instrument by Sonvarde.
The data folder (skin, wavetables, settings, factory patches) is
Sonvarde/Tarvik in your documents folder (TARVIK_DATA_DIR overrides it). It is
not written now: the plug-in writes the files it misses there when it first
starts, and never overwrites your settings or patches.
EOF
