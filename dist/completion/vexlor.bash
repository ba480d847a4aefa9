# bash completion for vexlor. Installed as share/bash-completion/completions/vexlor.
# The lists below follow vexlor --help: when the command line changes, change them too
# (tests/install/HelpCoverage.sh checks that every command and option of the help is here).

_vexlor_commands="report prj tree block check export"
_vexlor_global_options="--names --help --version"
_vexlor_vn_modes="whole mesh none"
# The options each command takes besides --names.
_vexlor_command_options() {
    case "$1" in
        report | prj) echo "-o" ;;
        check) echo "--vn --json" ;;
        export) echo "-o --lod --format --scale --formats" ;;
    esac
}

# Puts the words of $1 that start with $2 into COMPREPLY.
_vexlor_words() {
    mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

# Puts the OPT files and the folders (to go into) that start with $1 into COMPREPLY.
_vexlor_opt_files() {
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$1"; compgen -f -X '!*.[oO][pP][tT]' -- "$1")
}

_vexlor() {
    local cur="${COMP_WORDS[COMP_CWORD]}" prev="${COMP_WORDS[COMP_CWORD - 1]}"
    COMPREPLY=()
    case "$prev" in
        --names)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        -o)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --vn)
            _vexlor_words "$_vexlor_vn_modes" "$cur"
            return
            ;;
        --lod)
            _vexlor_words "all 1 2 3" "$cur"
            return
            ;;
        --format)
            # The format ids, as the program lists them.
            _vexlor_words "$("${COMP_WORDS[0]}" export --formats 2>/dev/null | cut -f1)" "$cur"
            return
            ;;
        --scale)
            _vexlor_words "1 1/41" "$cur"
            return
            ;;
    esac

    # The command is the first word that is neither an option nor an option's value; the words
    # after it are its arguments.
    local command="" arguments=0 i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word="${COMP_WORDS[i]}"
        case "$word" in
            --names | -o | --vn | --lod | --format | --scale) i=$((i + 1)) ;;
            -*) ;;
            *)
                if [[ -z "$command" ]]; then
                    command="$word"
                else
                    arguments=$((arguments + 1))
                fi
                ;;
        esac
    done

    if [[ -z "$command" ]]; then
        _vexlor_words "$_vexlor_commands $_vexlor_global_options" "$cur"
    elif [[ "$cur" == -* ]]; then
        _vexlor_words "$(_vexlor_command_options "$command") --names" "$cur"
    elif ((arguments == 0)); then
        _vexlor_opt_files "$cur"
    fi
}
complete -F _vexlor vexlor
