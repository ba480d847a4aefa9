# bash completion for optvexlor: its one argument is an OPT file.
# Installed as share/bash-completion/completions/optvexlor.

_optvexlor() {
    local cur="${COMP_WORDS[COMP_CWORD]}"
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[oO][pP][tT]' -- "$cur")
}
complete -F _optvexlor optvexlor
