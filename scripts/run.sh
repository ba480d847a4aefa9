#!/usr/bin/env bash
# Sets the machine up, builds, and shows the report of the sample fighter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec build/bin/vexlor report "${1:-samples/fighter.opt}"
