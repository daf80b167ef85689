# bash completion for vortimax-cli. Commands, their options and the fractal type names
# come from the program itself (its --help and params), so they follow the program.

_vortimax_cli_run() {
    "${COMP_WORDS[0]/#\~/$HOME}" "$@" 2>&1
}

_vortimax_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        local commands
        commands=$(_vortimax_cli_run --help | sed -n 's/^  \([a-z]\+\) .*/\1/p')
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return
    fi
    local command=${COMP_WORDS[1]}
    case $prev in
    --dir)
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    -o | --values | --palette)
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --format)
        [[ $command == animate ]] && mapfile -t COMPREPLY < <(compgen -W "png avi mp4" -- "$cur")
        return
        ;;
    --codec)
        mapfile -t COMPREPLY < <(compgen -W "dib mjpeg ffv1 h264" -- "$cur")
        return
        ;;
    --subtype | --size | --depth | --threads | --set | --region | --count | --tile-size | --gap | --frames | --port | --slaves | --bind)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        local options
        options=$(_vortimax_cli_run --help | sed -n "s/^  $command \(.*\)/\1/p" |
            grep -o -- '-[-a-z]*[a-z]' | sort -u)
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    # The entry named after a parameter file.
    if [[ ($command == render || $command == show || $command == tiles || $command == animate) && $prev == *.[pPzZ][aA][rR] ]]; then
        local entries
        entries=$(_vortimax_cli_run list "${prev/#\~/$HOME}" | cut -f2)
        mapfile -t COMPREPLY < <(compgen -W "$entries" -- "$cur")
        return
    fi
    if [[ $command == params || ($command == render && COMP_CWORD -eq 2) ]]; then
        local types
        types=$(_vortimax_cli_run params | sed -n 's/^types: //p' | tr -d ',')
        mapfile -t COMPREPLY < <(compgen -W "$types" -- "$cur")
        [[ $command == render ]] && mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$cur")
        return
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -o filenames -F _vortimax_cli vortimax-cli
