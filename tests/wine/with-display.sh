#!/usr/bin/env bash
# Runs a command on an Xvfb display of its own: Xvfb picks a free display
# number itself, so parallel runs never meet on one display.
#   with-display.sh <command> [args...]
set -euo pipefail
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$number_file"' EXIT
for _ in $(seq 200); do [ -s "$number_file" ] && break; sleep 0.05; done
[ -s "$number_file" ] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$number_file")"
"$@"
