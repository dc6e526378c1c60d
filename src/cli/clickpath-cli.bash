# bash completion for clickpath-cli: its commands, each command's options, and files.
_clickpath_cli()
{
    local cur prev words cword
    _init_completion || return
    case $prev in
        --passes | --speed | --seed | --delay | --sleep | --click-wait | --first-wait | \
            --vertical-margin | --horizontal-margin)
            return # a number
            ;;
    esac
    local command="" word options
    for word in "${words[@]:1:cword-1}"; do
        case $word in
            play | record | info) command=$word && break ;;
        esac
    done
    case $command in
        play) options="--passes --loop --speed --seed --delay --quiet --sleep --click-wait --first-wait
            --vertical-margin --horizontal-margin" ;;
        record) options="--delay --quiet" ;;
        info) options="--json" ;;
        *) options="play record info --help --version" ;;
    esac
    if [[ -n $command && $cur != -* ]]; then
        _filedir
    else
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _clickpath_cli clickpath-cli
