#!/usr/bin/env bash
# Installs the Khronos glTF validator (the npm package gltf-validator, at the version pinned in
# tools/gltf-validator/package-lock.json) into tools/gltf-validator/node_modules, which git
# ignores; scripts/validate-gltf.js runs it. Called by scripts/setup.sh; needs node and npm.
# Safe to run again: nothing is done while the installed copy matches the lock file.
set -euo pipefail
cd "$(dirname "$0")/../tools/gltf-validator"

stamp=node_modules/.vexlor-lock.sha256
want=$(sha256sum package-lock.json | cut -d' ' -f1)
if [ -f node_modules/gltf-validator/index.js ] && [ "$(cat "$stamp" 2>/dev/null)" = "$want" ]; then
    exit 0
fi
echo "== installing the glTF validator (npm ci in tools/gltf-validator)"
npm ci --no-audit --no-fund --loglevel=error
echo "$want" > "$stamp"
