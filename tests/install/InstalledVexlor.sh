#!/usr/bin/env bash
# Runs the installed vexlor from a folder without data/, directly and through a symbolic link
# elsewhere: it must find the installed type-name tables, so its report names the types exactly
# as with the source tables given by --names.
# usage: InstalledVexlor.sh PREFIX SOURCE_DIR WORK_DIR VERSION
set -euo pipefail
prefix="$1" source="$2" work="$3" version="$4"

rm -rf "$work" && mkdir -p "$work/links"
cp "$source/samples/fighter.opt" "$work/"
ln -s "$prefix/bin/vexlor" "$work/links/vx"
cd "$work"

[ "$("$prefix/bin/vexlor" --version)" = "vexlor $version" ] || { echo "wrong --version"; exit 1; }
"$prefix/bin/vexlor" --names "$source/data" report fighter.opt >expected.txt
for program in "$prefix/bin/vexlor" links/vx; do
    "$program" report fighter.opt >report.txt 2>stderr.txt
    if [ -s stderr.txt ]; then echo "$program complained:"; cat stderr.txt; exit 1; fi
    cmp -s expected.txt report.txt || { echo "$program's report differs from the one with --names"; exit 1; }
done
grep -q "Mesh type is 1 : Main hull" report.txt || { echo "the report lacks the mesh type names"; exit 1; }
grep -q "hardpoint type is 1 : Laser cannon" report.txt || { echo "the report lacks the hardpoint type names"; exit 1; }
echo "installed vexlor found its tables"
