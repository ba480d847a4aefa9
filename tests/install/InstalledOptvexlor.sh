#!/usr/bin/env bash
# Starts the installed desktop program on a sample from a folder without data/ and watches its
# windows: the main window must come up showing the file, with no message box about type-name
# tables it could not read (that box would hold the start-up before the file opens).
# Exits 77 (skipped) without an X display.
# usage: InstalledOptvexlor.sh PREFIX SOURCE_DIR WORK_DIR
set -euo pipefail
prefix="$1" source="$2" work="$3"

if [ -z "${DISPLAY:-}" ] || ! xwininfo -root >/dev/null 2>&1; then
    echo "no X display: skipped (scripts/test.sh runs the tests under xvfb-run)"
    exit 77
fi
rm -rf "$work" && mkdir -p "$work"
cp "$source/samples/fighter.opt" "$work/"
cd "$work"

"$prefix/bin/optvexlor" fighter.opt >output.txt 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
# The program's windows carry its class; the message boxes are titled "OPT Vexlor".
windows() { xwininfo -root -tree | grep '("optvexlor" "OPT Vexlor")' || true; }
for _ in $(seq 1 120); do
    kill -0 "$pid" 2>/dev/null || { echo "optvexlor ended early:"; cat output.txt; exit 1; }
    if windows | grep -q '"OPTvexlor - fighter.opt"'; then
        sleep 0.5
        if windows | grep -q '"OPT Vexlor":'; then
            echo "a message box is open:"; windows; exit 1
        fi
        echo "installed optvexlor opened fighter.opt with its tables"
        exit 0
    fi
    sleep 0.25
done
echo "the main window never showed fighter.opt; windows:"
windows
cat output.txt
exit 1
