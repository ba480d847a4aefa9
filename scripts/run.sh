#!/usr/bin/env bash
# Sets the machine up, builds, and starts the desktop program on the sample fighter (or on the
# file given). Without a display it prints the sample's report instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
file="${1:-samples/fighter.opt}"
if [ -z "${DISPLAY:-}" ]; then
    echo "no display: printing the report of $file instead (run under X or xvfb-run for the window)" >&2
    exec build/bin/vexlor report "$file"
fi
exec build/bin/optvexlor "$file"
