# bash completion for clickpath-cli: its commands, each command's options, and files.
# It needs nothing but bash itself: bash-completion's helpers are not assumed.
_clickpath_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
        --passes | --speed | --seed | --delay | --sleep | --click-wait | --first-wait | \
            --vertical-margin | --horizontal-margin)
            return # a number
            ;;
    esac
    local command="" word options
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
            play | record | info) command=$word && break ;;
        esac
    done
    case $command in
        play) options="--passes --loop --speed --seed --delay --quiet --sleep --click-wait --first-wait
            --vertical-margin --horizontal-margin --help" ;;
        record) options="--delay --quiet --help" ;;
        info) options="--json --help" ;;
        *) options="play record info --help --version" ;;
    esac
    if [[ -n $command && $cur != -* ]]; then
        compopt -o filenames 2>/dev/null # folders get their slash, names with blanks stay whole
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _clickpath_cli clickpath-cli
