# bash completion for clickpath-cli: its commands, each command's options, and files.
# It needs nothing but bash itself: bash-completion's helpers are not assumed.
_clickpath_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
        --passes | --speed | --seed | --delay | --sleep | --click-wait | --first-wait | \
            --vertical-margin | --horizontal-margin | --stop-key)
            return # a number, or a key's name
            ;;
    esac
    local command="" word options
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
            play | record | info | stop) command=$word && break ;;
        esac
    done
    case $command in
        play) options="--passes --loop --speed --seed --delay --quiet --stop-key --sleep --click-wait
            --first-wait --vertical-margin --horizontal-margin --help" ;;
        record) options="--delay --quiet --stop-key --help" ;;
        info) options="--json --help" ;;
        stop) options="--help" ;;
        *) options="play record info stop --help --version" ;;
    esac
    if [[ -n $command && $command != stop && $cur != -* ]]; then
        compopt -o filenames 2>/dev/null # folders get their slash, names with blanks stay whole
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _clickpath_cli clickpath-cli
