# bash completion for nimbrelctl

_nimbrelctl()
{
    local current=${COMP_WORDS[COMP_CWORD]}
    local previous=${COMP_WORDS[COMP_CWORD - 1]}
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "list plan quit force-quit --help --version" -- "$current"))
        return
    fi
    case $previous in
    --preset)
        COMPREPLY=($(compgen -W "everything work call" -- "$current"))
        return
        ;;
    --keep | --timeout)
        return
        ;;
    esac
    local options
    case ${COMP_WORDS[1]} in
    list | force-quit) options="--json --verbose --help" ;;
    plan) options="--preset --keep --json --verbose --help" ;;
    quit) options="--preset --timeout --dry-run --json --verbose --help" ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$current"))
}

complete -F _nimbrelctl nimbrelctl
