# bash completion for optvexlor: an OPT file, the options of --screenshot, and --thumbnail.
# Installed as share/bash-completion/completions/optvexlor.

_optvexlor() {
    local cur="${COMP_WORDS[COMP_CWORD]}" prev=""
    [[ $COMP_CWORD -gt 0 ]] && prev="${COMP_WORDS[COMP_CWORD - 1]}"
    case "$prev" in
        --screenshot | --thumbnail)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --view)
            mapfile -t COMPREPLY < <(compgen -W "front back right left top bottom iso" -- "$cur")
            return
            ;;
        --size | --lod)
            COMPREPLY=()
            return
            ;;
    esac
    if [[ "$cur" == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--help --version --screenshot --size --lod --view --shaded --thumbnail" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[oO][pP][tT]' -- "$cur")
}
complete -F _optvexlor optvexlor
