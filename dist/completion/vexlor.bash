# bash completion for vexlor. Installed as share/bash-completion/completions/vexlor.
# The commands, their options and what each value is come from the vexlor being completed
# (`vexlor --describe completion`, read once per program), so they follow its command line. What a
# value is gets offered by its name in the help: FILE (and diff's A and B): OPT files and folders;
# DIR: folders; OUT: any file; a|b|c: those words; anything else (N, INDEX): nothing.

_vexlor_table=()
_vexlor_table_program=""

# Reads the description of the program $1 unless it is the one read last.
_vexlor_load() {
    local program
    program=$(type -P -- "$1" 2>/dev/null) || program="$1"
    [[ "$program" == "$_vexlor_table_program" && ${#_vexlor_table[@]} -gt 0 ]] && return
    mapfile -t _vexlor_table < <("$program" --describe completion 2>/dev/null)
    _vexlor_table_program="$program"
}

# The table's lines of kind $1 (and, for options and arguments, of command $2), without the kind.
_vexlor_lines() {
    local line
    for line in "${_vexlor_table[@]}"; do
        case "$line" in
            "$1"$'\t'"${2:+$2$'\t'}"*) echo "${line#"$1"$'\t'"${2:+$2$'\t'}"}" ;;
        esac
    done
}

# The names an option is offered by: its long names when it has any, else its short ones.
_vexlor_offered_names() {
    local names="$1" name long="" short=""
    for name in ${names//,/ }; do
        if [[ "$name" == --* ]]; then long+=" $name"; else short+=" $name"; fi
    done
    echo "${long:-$short}"
}

# The options of command $1 (none: before the command) that may be offered, one set of names each.
_vexlor_options() {
    local names value
    while IFS=$'\t' read -r names value; do _vexlor_offered_names "$names"; done < <(_vexlor_lines global)
    if [[ -z "$1" ]]; then
        while IFS=$'\t' read -r names; do _vexlor_offered_names "$names"; done < <(_vexlor_lines alone)
    else
        while IFS=$'\t' read -r names value; do _vexlor_offered_names "$names"; done < <(_vexlor_lines option "$1")
    fi
}

# What option $2 of command $1 takes as its value ("-" for a flag); nothing for an unknown option.
_vexlor_value_of() {
    local names value
    while IFS=$'\t' read -r names value; do
        [[ ",$names," == *",$2,"* ]] && { echo "$value"; return; }
    done < <(_vexlor_lines global; [[ -n "$1" ]] && _vexlor_lines option "$1")
}

# The value name of argument number $2 (from 0) of command $1; the last one if it takes many.
_vexlor_argument() {
    local name count i=0 last=""
    while IFS=$'\t' read -r name count; do
        ((i == $2)) && { echo "$name"; return; }
        [[ "$count" == many ]] && last="$name" || last=""
        i=$((i + 1))
    done < <(_vexlor_lines argument "$1")
    echo "$last"
}

# Puts what fits a value named $1 and starting with $2 into COMPREPLY.
_vexlor_offer_value() {
    case "$1" in
        FILE | A | B)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$2"; compgen -f -X '!*.[oO][pP][tT]' -- "$2")
            ;;
        DIR)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$2")
            ;;
        OUT)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$2")
            ;;
        *'|'*) mapfile -t COMPREPLY < <(compgen -W "${1//|/ }" -- "$2") ;;
    esac
}

_vexlor() {
    local cur="${COMP_WORDS[COMP_CWORD]}"
    COMPREPLY=()
    _vexlor_load "${COMP_WORDS[0]}"
    if [[ ${#_vexlor_table[@]} -eq 0 ]]; then
        compopt -o default 2>/dev/null
        return
    fi

    # The command is the first word that is neither an option nor an option's value; the words
    # after it that are neither are its arguments. `value` ends as what the word before the one
    # being completed waits for, if it is an option that takes one.
    local command="" arguments=0 i word value=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        word="${COMP_WORDS[i]}"
        if [[ "$word" == -* ]]; then
            value=$(_vexlor_value_of "$command" "$word")
            if [[ -n "$value" && "$value" != - ]]; then
                ((i + 1 < COMP_CWORD)) && value=""
                i=$((i + 1))
                continue
            fi
        elif [[ -z "$command" ]]; then
            command="$word"
        else
            arguments=$((arguments + 1))
        fi
        value=""
    done

    if [[ -n "$value" ]]; then
        _vexlor_offer_value "$value" "$cur"
    elif [[ "$cur" == -* || -z "$command" ]]; then
        local words
        words=$(_vexlor_options "$command")
        [[ -z "$command" ]] && words+=" $(_vexlor_lines command)"
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    else
        _vexlor_offer_value "$(_vexlor_argument "$command" "$arguments")" "$cur"
    fi
}
complete -F _vexlor vexlor
