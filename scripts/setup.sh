#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run, on any Debian 12
# machine, a bare one included (scripts/fresh-machine.sh proves that).
# Safe to run again: packages already present are left alone.
# `setup.sh --packages` prints the packages, one a line, and installs nothing
# (scripts/check-setup.sh compares them with what the build reads).
set -euo pipefail

packages=(
    build-essential g++ cmake ninja-build pkg-config git
    clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
    qt6-base-dev libqt6opengl6-dev qt6-base-dev-tools libgl-dev libgl1-mesa-dri libxcb1-dev
    xvfb xauth xdotool imagemagick x11-utils fonts-liberation fonts-dejavu-core
    dpkg-dev file lintian man-db desktop-file-utils shared-mime-info libxml2-utils bsdutils
    libassimp-dev assimp-utils
    # Debian's assimp CMake package links libz.so without depending on zlib1g-dev.
    zlib1g-dev
    # npm's registry and git over HTTPS need the certificate authorities.
    ca-certificates
    f3d
)
# Node.js and npm run the Khronos glTF validator and three.js's loaders in the export tests. A machine that already has
# them (from another source, which may bundle npm with node) keeps its own.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

if [ "${1:-}" = "--packages" ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The glTF validator and three.js's loaders, from npm into tools/*/node_modules (ignored by git).
"$(dirname "$0")/setup-npm-tools.sh"
