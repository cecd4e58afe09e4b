#!/usr/bin/env bash
# Writes the NSIS macros that install and uninstall the data folder, file by
# file, from a native build's data folder. Tarvik.nsi runs it while it is
# compiled, so the installer always carries what the build made.
#
# Usage: packaging/windows/data-files.sh PACK_TOOL DATA_FOLDER OUTPUT.nsh
#
# The files fall into two groups, told by the native build's tarvik-pack with
# the rule the plug-in itself installs by:
#   the program's own (the skin, its pictures, the wavetables): an install
#     replaces them and the uninstaller removes them;
#   the user's (the settings and the patches): installed only where missing,
#     never removed.
set -euo pipefail

[[ $# -eq 3 && -x $1 && -d $2 ]] || { echo "usage: $0 PACK_TOOL DATA_FOLDER OUTPUT.nsh" >&2; exit 2; }
pack_tool=$1
data=$(realpath "$2")
output=$3

# NSIS reads "$" as the start of a variable; Windows paths use "\".
nsis_path() {
    local path=${1//\$/\$\$}
    echo "${path//\//\\}"
}

declare -a program_files=() user_files=()
owners=$("$pack_tool" owners "$data") || { echo "$0: $pack_tool could not read $data" >&2; exit 1; }
while IFS=$'\t' read -r owner file; do
    [[ $file != *'"'* ]] || { echo "$0: a data file name holds a double quote: $file" >&2; exit 1; }
    case $owner in
        program) program_files+=("$file") ;;
        user) user_files+=("$file") ;;
        *) echo "$0: $pack_tool told no owner for '$file'" >&2; exit 1 ;;
    esac
done <<<"$owners"
[[ ${#program_files[@]} -gt 0 ]] || { echo "$0: $data holds none of the program's data files" >&2; exit 1; }

# One SetOutPath per folder, then its files.
install_macro() {
    local name=$1 folder="" file
    shift
    echo "!macro $name"
    for file in "$@"; do
        if [[ $(dirname "$file") != "$folder" ]]; then
            folder=$(dirname "$file")
            if [[ $folder == . ]]; then
                echo "    SetOutPath \"\$DataDir\""
            else
                echo "    SetOutPath \"\$DataDir\\$(nsis_path "$folder")\""
            fi
        fi
        echo "    File \"${data//\$/\$\$}/$file\""
    done
    echo "!macroend"
}

{
    echo "; Written by packaging/windows/data-files.sh from $data; not to be edited."
    install_macro InstallProgramData "${program_files[@]}"
    install_macro InstallUserData "${user_files[@]}"
    echo "!macro RemoveProgramData"
    for file in "${program_files[@]}"; do
        echo "    Delete \"\$DataDir\\$(nsis_path "$file")\""
    done
    echo "!macroend"
    # Deepest first; RMDir without /r leaves a folder that still holds
    # anything, such as the user's own patches.
    echo "!macro RemoveEmptyDataFolders"
    (cd "$data" && find . -mindepth 1 -type d -printf '%d %P\n' | LC_ALL=C sort -rn | cut -d' ' -f2-) |
        while IFS= read -r folder; do
            echo "    RMDir \"\$DataDir\\$(nsis_path "$folder")\""
        done
    echo "    RMDir \"\$DataDir\""
    echo "!macroend"
} >"$output"
