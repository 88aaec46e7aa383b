# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for calvyx-cli and calvyx-sim (installed under both names). The
# commands and their options come from the programs' own --help, so they never go out
# of date: the first word is a command, later words the options of that command; a
# folder, file or port after an option that takes one.

_calvyx_tool() {
    local cur prev program command
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    program=${COMP_WORDS[0]}

    if ((COMP_CWORD == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return 0
    fi

    case $prev in
        --dir | --root)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return 0
            ;;
        --out | --xmodem-file)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return 0
            ;;
        --port)
            mapfile -t COMPREPLY < <(compgen -W "QVxT0+ COM1 COM2 $(compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*')" -- "$cur")
            return 0
            ;;
    esac

    command=${COMP_WORDS[1]}
    if [[ $cur == -* ]]; then
        local options
        options=$("$program" "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
        return 0
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    return 0
}
complete -F _calvyx_tool calvyx-cli calvyx-sim
