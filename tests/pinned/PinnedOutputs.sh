#!/usr/bin/env bash
# The outputs of vexlor, pinned: for every sample and two generated large models, the SHA-256 of
# each command's output (report, tree, prj, check in its three modes, and the block display of
# every node of small trees, an evenly spread sample of large ones). A change to any byte of them
# fails the test; when a change is meant, write the manifest again with --write and look at the
# difference in review.
# usage: PinnedOutputs.sh VEXLOR MAKE_SAMPLES SOURCE_DIR WORK_DIR [--write]
set -euo pipefail
vexlor=$(realpath "$1") make_samples=$(realpath "$2") source=$(realpath "$3") work=$4 mode=${5:-}
manifest="$source/tests/pinned/outputs.sha256"
rm -rf "$work" && mkdir -p "$work"
cd "$work"
# The samples are read by paths relative to the working folder, as the reports' captions name
# them, so that the outputs do not depend on where the source is checked out.
cp -r "$source/samples" samples
"$make_samples" --large 30000 6 large.opt
"$make_samples" --large 3000 40 many-meshes.opt
names=(--names "$source/data")

digest() { sha256sum | cut -d' ' -f1; }
{
    for file in samples/*.opt samples/broken/*.opt large.opt many-meshes.opt; do
        name=$file
        for command in report tree "check --vn whole" "check --vn mesh" "check --vn none"; do
            # shellcheck disable=SC2086
            echo "$("$vexlor" "${names[@]}" $command "$file" 2>&1 | digest)  $name $command"
        done
        "$vexlor" "${names[@]}" prj "$file" -o out.prj >/dev/null 2>&1 || true
        echo "$(digest < out.prj)  $name prj"
        nodes=$("$vexlor" "${names[@]}" tree "$file" 2>/dev/null | wc -l)
        step=$((nodes / 40 + 1))
        for ((node = 0; node < nodes; node += step)); do
            echo "$("$vexlor" "${names[@]}" block "$file" "$node" 2>&1 | digest)  $name block $node"
        done
    done
} > outputs.sha256

if [ "$mode" = "--write" ]; then
    cp outputs.sha256 "$manifest"
    echo "wrote $manifest ($(wc -l < "$manifest") outputs)"
elif ! diff -u "$manifest" outputs.sha256; then
    echo "outputs differ from the pinned ones (lines above: - pinned, + now)"
    exit 1
else
    echo "$(wc -l < outputs.sha256) outputs as pinned"
fi
