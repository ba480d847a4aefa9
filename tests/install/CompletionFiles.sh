#!/usr/bin/env bash
# The bash completions offer what fits each place: OPT files (any letter case) and folders for
# the model arguments, folders for --names, any file for -o, nothing for block's INDEX or a
# number of jobs; the values of options are not taken for the command. vexlor's completion takes
# its words from the program being completed, whichever it is.
# usage: CompletionFiles.sh PREFIX WORK_DIR
set -euo pipefail
prefix="$1" work="$2"
completions="$prefix/share/bash-completion/completions"
export PATH="$prefix/bin:$PATH"

rm -rf "$work" && mkdir -p "$work/files/models.d" "$work/other"
# Another vexlor, with a command line of its own.
printf '#!/bin/sh\nprintf "command\\tfrobnicate\\nglobal\\t--names\\tDIR\\n"\n' > "$work/other/vexlor"
chmod +x "$work/other/vexlor"
cd "$work/files"
touch a.opt B.OPT notes.txt
source "$completions/vexlor"
source "$completions/optvexlor"

failures=0
# expect FUNCTION "EXPECTED WORDS" WORDS...: the last word is the one being completed.
expect() {
    local function="$1" expected="$2"
    shift 2
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
    # As in an interactive shell: no exit on a failing command (compopt fails outside a real
    # completion).
    set +e
    "$function"
    set -e
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
    if [ "$offered" != "$expected" ]; then
        echo "completing '$*': offered '$offered', expected '$expected'"
        failures=$((failures + 1))
    fi
}

expect _vexlor "B.OPT a.opt models.d" vexlor check ""
expect _vexlor "a.opt" vexlor report a
expect _vexlor "B.OPT a.opt models.d" vexlor --names models.d tree ""
expect _vexlor "models.d" vexlor --names ""
expect _vexlor "B.OPT a.opt models.d notes.txt" vexlor report a.opt -o ""
expect _vexlor "" vexlor block a.opt ""
expect _vexlor "check" vexlor --names models.d ch
expect _vexlor "--jobs --names --recursive -o" vexlor prj a.opt -
expect _vexlor "--jobs --json --names --recursive --strict --vn -o" vexlor check -
expect _vexlor "B.OPT a.opt models.d" vexlor check a.opt models.d ""
expect _vexlor "" vexlor check a.opt --jobs ""
expect _vexlor "B.OPT a.opt models.d" vexlor check a.opt --jobs 2 ""
expect _vexlor "" vexlor block a.opt 3 ""
expect _vexlor "B.OPT a.opt models.d" vexlor diff a.opt ""
expect _vexlor "--json --names --tolerance" vexlor diff -
expect _vexlor "frobnicate" ../other/vexlor fr
expect _vexlor "check" vexlor ch
expect _optvexlor "B.OPT a.opt models.d" optvexlor ""
expect _optvexlor "--help --lod --screenshot --shaded --size --thumbnail --version --view" optvexlor a.opt -
expect _optvexlor "B.OPT a.opt models.d notes.txt" optvexlor a.opt --screenshot ""
expect _optvexlor "B.OPT a.opt models.d notes.txt" optvexlor --thumbnail ""
expect _optvexlor "back bottom" optvexlor a.opt --view b
expect _optvexlor "" optvexlor a.opt --size ""
[ "$failures" -eq 0 ] || exit 1
echo "completions offer the right files, folders and words"
