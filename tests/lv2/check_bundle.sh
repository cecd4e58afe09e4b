#!/usr/bin/env bash
# The bundle in the build tree as LV2 tools see it: both Turtle files parse,
# discovery finds exactly one plug-in there, and lv2info describes it without
# a warning.
# Usage: tests/lv2/check_bundle.sh <bundle folder>
set -euo pipefail
bundle=${1:?usage: $0 <bundle folder>}
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

for file in manifest.ttl tarvik.ttl; do
    if ! sordi -i turtle "file://$bundle/$file" >/dev/null 2>"$errors" || [[ -s $errors ]]; then
        echo "$file does not parse:" >&2
        cat "$errors" >&2
        exit 1
    fi
done

found=$(LV2_PATH=$(dirname "$bundle") lv2ls)
if [[ $(wc -l <<<"$found") -ne 1 || -z $found ]]; then
    echo "expected one plug-in in the bundle's folder, found: $found" >&2
    exit 1
fi
if ! LV2_PATH="$(dirname "$bundle"):/usr/lib/lv2" lv2info "$found" >/dev/null 2>"$errors" || [[ -s $errors ]]; then
    echo "lv2info $found:" >&2
    cat "$errors" >&2
    exit 1
fi
echo "bundle: $found parses and is described without warnings"
