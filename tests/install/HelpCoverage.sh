#!/usr/bin/env bash
# vexlor's manual page (its COMMANDS and OPTIONS) and its bash completion take the command line
# from the program itself (vexlor --describe); this proves it from the outside, as a user meets
# them: every command, option and --vn mode of vexlor --help, and every option of optvexlor --help,
# must be in the installed manual pages and offered by the installed completions where it applies. The manual pages must also format
# without groff warnings.
# usage: HelpCoverage.sh PREFIX
set -euo pipefail
prefix="$1"
share="$prefix/share"
# The completion asks the vexlor it completes: the installed one.
export PATH="$prefix/bin:$PATH"
fail() { echo "$*"; exit 1; }

# The options of one help text: the entries of its "Options:" section ("-h,--help" gives both).
options_of() {
    awk '/^Options:/ { on = 1; next } /^[^ ]/ { on = 0 } on && /^  -/ { print $1 }' <<<"$1" | sed -E 's/.*,//'
}
help=$("$prefix/bin/vexlor" --help)
commands=$(awk '/^Subcommands:/ { on = 1; next } /^[^ ]/ { on = 0 } on && /^  [a-z]/ { print $1 }' <<<"$help")
global_options=$(options_of "$help")
# One line per command: the command, then the options of its own help.
usages=$(for command in $commands; do
    echo "$command $(options_of "$("$prefix/bin/vexlor" "$command" --help)" | grep -vE '^(-h|--help)$' | tr '\n' ' ')"
done)
modes=$(grep -oE -- '--vn [a-z|]+' <<<"$("$prefix/bin/vexlor" check --help)" | head -n1 | cut -d' ' -f2 | tr '|' ' ')
[ -n "$commands" ] && [ -n "$global_options" ] && [ -n "$modes" ] ||
    fail "cannot read the commands, options and --vn modes from vexlor --help"

for page in vexlor optvexlor; do
    warnings=$(zcat "$share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: groff warns: $warnings"
done
man=$(zcat "$share/man/man1/vexlor.1.gz" | groff -man -Tascii -P-bcou 2>/dev/null)
# Entries of COMMANDS and OPTIONS are tags at the start of a line, seven spaces in; a command's
# options are entries below the command's, further in.
for command in $commands; do
    grep -qE "^       $command( |$)" <<<"$man" || fail "vexlor.1 has no entry for the command $command"
done
for option in $global_options; do
    grep -qE "^       (-[a-z], )?$option( |$)" <<<"$man" || fail "vexlor.1 has no entry for the option $option"
done
while read -r command arguments; do
    entry=$(awk -v command="$command" '/^       [a-z]/ { on = ($1 == command) } on' <<<"$man")
    for option in $(grep -oE -- '--?[a-z][a-z-]*' <<<"$arguments" || true); do
        grep -qE "^ {8,}(-[a-z], )?$option( |$)" <<<"$entry" ||
            fail "vexlor.1 has no entry for the option $option of $command"
    done
done <<<"$usages"
for mode in $modes; do
    grep -qw -- "$mode" <<<"$man" || fail "vexlor.1 does not name the --vn mode $mode"
done

# The completion, asked as bash would ask it.
source "$share/bash-completion/completions/vexlor"
offers() { # the words offered when completing the last of the given words
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
    set +e # as in an interactive shell (compopt fails outside a real completion)
    _vexlor
    set -e
    echo " ${COMPREPLY[*]} "
}
first=$(offers vexlor "")
for word in $commands $global_options; do
    [[ "$first" == *" $word "* ]] || fail "completion does not offer $word after vexlor"
done
while read -r command arguments; do
    for option in $(grep -oE -- '--?[a-z][a-z-]*' <<<"$arguments" || true); do
        [[ "$(offers vexlor "$command" x.opt -)" == *" $option "* ]] ||
            fail "completion does not offer $option after vexlor $command FILE"
    done
done <<<"$usages"
[ "$(offers vexlor check x.opt --vn "")" = " $modes " ] || fail "completion does not offer the --vn modes"

# optvexlor: every option of its help has an entry in its manual page and is offered by its
# completion. The help needs no display on the offscreen platform.
desktop_help=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/optvexlor" --help 2>/dev/null)
# Both programs give the same version.
desktop_version=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/optvexlor" --version 2>/dev/null)
[ "$desktop_version" = "optvexlor $("$prefix/bin/vexlor" --version | sed 's/^vexlor //')" ] ||
    fail "optvexlor --version says '$desktop_version'"
desktop_options=$(awk '/^Options:/ { on = 1; next } /^[^ ]/ { on = 0 } on' <<<"$desktop_help" |
    grep -oE -- '(^|[ ,])--[a-z][a-z-]*' | tr -d ' ,' | sort -u)
[ -n "$desktop_options" ] || fail "cannot read the options from optvexlor --help"
desktop_man=$(zcat "$share/man/man1/optvexlor.1.gz" | groff -man -Tascii -P-bcou 2>/dev/null)
source "$share/bash-completion/completions/optvexlor"
desktop_offered=$(COMP_WORDS=(optvexlor x.opt -) COMP_CWORD=2 COMPREPLY=() && set +e && _optvexlor && set -e && echo " ${COMPREPLY[*]} ")
for option in $desktop_options; do
    grep -qE "^       (-[a-z], )?$option( |$)" <<<"$desktop_man" ||
        fail "optvexlor.1 has no entry for the option $option"
    [[ "$desktop_offered" == *" $option "* ]] || fail "completion does not offer $option after optvexlor"
done
echo "manual page and completion cover: $(echo $commands) / $(echo $global_options) / $modes / optvexlor $(echo $desktop_options)"
