#!/usr/bin/env bash
# The source folders form a stack: a file includes only from its own folder
# and the folders below it. Prints every include that reaches up and fails.
#
#   platform -> dsp -> patch -> engine -> instrument -> gui -> front ends -> tools -> tests, bench
#
# The front ends (the VST 2.4 shell and the LV2 plug-in) stand side by side: none
# includes another, so that each carries the same instrument and editor.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(platform dsp patch engine instrument gui vst lv2 tools tests bench)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
# The front ends stand side by side, as tests and bench do at the top.
rank[lv2]=${rank[vst]}
rank[bench]=${rank[tests]}
# The LV2 binary carries no editor: it reaches no higher than the instrument.
declare -A ceiling=([lv2]=instrument)

status=0
while IFS= read -r file; do
    own=${file%%/*}
    [[ -n ${rank[$own]:-} ]] || continue
    while IFS=: read -r line folder; do
        [[ -n ${rank[$folder]:-} ]] || continue
        if (( rank[$folder] > rank[$own] )) || { [[ $folder != "$own" ]] && (( rank[$folder] == rank[$own] )); }; then
            echo "$file:$line: $own/ includes from $folder/, which is not below it"
            status=1
        elif [[ $folder != "$own" && -n ${ceiling[$own]:-} ]] && (( rank[$folder] > rank[${ceiling[$own]}] )); then
            echo "$file:$line: $own/ includes from $folder/, above ${ceiling[$own]}/"
            status=1
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[A-Za-z0-9_]+/' "$file" |
             sed -E 's/^([0-9]+):.*"([A-Za-z0-9_]+)\/$/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.hpp' '*.cpp' '*.cc')

if (( status == 0 )); then echo "layers: every include reaches only down the stack"; fi
exit $status
