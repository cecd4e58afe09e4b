#!/usr/bin/env bash
# Runs a command with DISPLAY set to a virtual X server of its own, started
# on a free display number and stopped (by its PID) afterwards.
#
# Usage: scripts/with-xvfb.sh COMMAND [ARG...]
set -euo pipefail

command -v Xvfb >/dev/null || { echo "with-xvfb: Xvfb is not installed" >&2; exit 1; }
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$ready"' EXIT
for _ in $(seq 100); do
    [[ -s $ready ]] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[[ -s $ready ]] || { echo "with-xvfb: Xvfb did not answer" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$ready")"
"$@"
