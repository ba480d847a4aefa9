#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and checks that every file lands where the system
# looks for it, and that nothing else is installed (no test programs, benchmarks or tools).
# usage: InstallLayout.sh BUILD_DIR PREFIX
set -euo pipefail
build="$1" prefix="$2"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/optvexlor
bin/vexlor
share/applications/optvexlor.desktop
share/bash-completion/completions/optvexlor
share/bash-completion/completions/vexlor
share/doc/optvexlor/README.md
share/doc/optvexlor/changelog.gz
share/doc/optvexlor/copyright
share/icons/hicolor/scalable/apps/optvexlor.svg
share/man/man1/optvexlor.1.gz
share/man/man1/vexlor.1.gz
share/mime/packages/optvexlor.xml
share/optvexlor/data/Hardpoint_Type.ace
share/optvexlor/data/Mesh_Type.ace
share/thumbnailers/optvexlor.thumbnailer"
actual=$(cd "$prefix" && find . -mindepth 1 ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list (< expected, > installed):"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
for program in vexlor optvexlor; do
    [ -x "$prefix/bin/$program" ] || { echo "$prefix/bin/$program is not executable"; exit 1; }
done
for page in vexlor optvexlor; do
    gzip -t "$prefix/share/man/man1/$page.1.gz" || { echo "$page.1.gz is not a gzip file"; exit 1; }
done
echo "installed: $(echo "$actual" | wc -l) files in their places"
