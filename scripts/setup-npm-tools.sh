#!/usr/bin/env bash
# Installs the npm packages the export tests run, each folder of tools/ at the versions pinned in
# its package-lock.json, into its node_modules (ignored by git):
#   tools/gltf-validator  the Khronos glTF validator (scripts/validate-gltf.js runs it)
#   tools/three-loaders   three.js's loaders and a DOM for them (scripts/three-import.mjs)
# Called by scripts/setup.sh; needs node and npm. Safe to run again: a folder whose installed
# copy matches its lock file is left alone.
set -euo pipefail
tools="$(cd "$(dirname "$0")/../tools" && pwd)"

for folder in gltf-validator three-loaders; do
    cd "$tools/$folder"
    stamp=node_modules/.vexlor-lock.sha256
    want=$(sha256sum package-lock.json | cut -d' ' -f1)
    if [ -d node_modules ] && [ "$(cat "$stamp" 2>/dev/null)" = "$want" ]; then
        continue
    fi
    echo "== installing tools/$folder (npm ci)"
    npm ci --no-audit --no-fund --loglevel=error
    echo "$want" > "$stamp"
done
