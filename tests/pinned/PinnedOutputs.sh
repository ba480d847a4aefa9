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
work=$(realpath "$work")
cd "$work"
"$make_samples" --large 30000 6 large.opt
"$make_samples" --large 3000 40 many-meshes.opt
names=(--names "$source/data")

digest() { sha256sum | cut -d' ' -f1; }
# Files are named relative to the folder they are read from, as the report's caption names them,
# so the digests are the same wherever the project lies.
pin() { # FOLDER NAME: every output of one file
    local folder=$1 name=$2
    (
        cd "$folder"
        for command in report tree "check --vn whole" "check --vn mesh" "check --vn none"; do
            # shellcheck disable=SC2086
            echo "$("$vexlor" "${names[@]}" $command "$name" 2>&1 | digest)  $name $command"
        done
        "$vexlor" "${names[@]}" prj "$name" -o "$work/out.prj" >/dev/null 2>&1 || true
        echo "$(digest < "$work/out.prj")  $name prj"
        nodes=$("$vexlor" "${names[@]}" tree "$name" 2>/dev/null | wc -l)
        step=$((nodes / 40 + 1))
        for ((node = 0; node < nodes; node += step)); do
            echo "$("$vexlor" "${names[@]}" block "$name" "$node" 2>&1 | digest)  $name block $node"
        done
    )
}
{
    for file in "$source"/samples/*.opt "$source"/samples/broken/*.opt; do
        pin "$source" "${file#"$source/"}"
    done
    pin "$work" large.opt
    pin "$work" many-meshes.opt
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
