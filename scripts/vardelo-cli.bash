# Bash completion for vardelo-cli: its commands, their options and the values
# the options take. Load it with
#     source scripts/vardelo-cli.bash
# (for instance from ~/.bashrc). A command added to vardelo-cli needs its
# line in the case below; the command-line test compares the two.

_vardelo_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    # "--lang=f" arrives as "--lang" "=" "f".
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    local commands="show print read write reset simulate ports export import diff log site help"
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --section)
            COMPREPLY=($(compgen -W "basic privileges blocklists display all" -- "$cur"))
            return ;;
        --lang)
            COMPREPLY=($(compgen -W "de en fr es" -- "$cur"))
            return ;;
        --port)
            COMPREPLY=($(compgen -W "com1 com2 com3 com4 com5 com6 com7 com8 sim rfc2217://" -- "$cur")
                       $(compgen -f -- "$cur" | grep '^/dev/tty'))
            return ;;
        --pdf)
            COMPREPLY=($(compgen -f -X '!*.[Pp][Dd][Ff]' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --csv|--directory)
            COMPREPLY=($(compgen -f -X '!*.[Cc][Ss][Vv]' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --out)
            COMPREPLY=($(compgen -f -X '!*.[Qq][Ll][Vv]' -- "$cur") $(compgen -d -- "$cur"))
            return ;;
        --password-file)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --password|--last|--only|--date|--listen)
            return ;;
    esac

    local options= files=
    case ${COMP_WORDS[1]} in
        show)  options="--pretty"; files=1 ;;
        print) options="--section --pdf --lang"; files=1 ;;
        read)  options="--port --password-file --password --out --lang" ;;
        write) options="--port --password-file --password --dry-run --lang"; files=1 ;;
        reset) options="--port --lang" ;;
        simulate) options="--listen --lang"; files=1 ;;
        ports) options="--json --pretty" ;;
        export) options="--csv --lang"; files=1 ;;
        import) options="--csv --out --lang"; files=1 ;;
        diff)  options="--json --pretty --lang"; files=1 ;;
        log)   options="--last" ;;
        site)
            # The options each action takes; all of them before the action.
            case ${COMP_WORDS[2]} in
                read|diff|status) options="--only --failed --json --pretty --lang" ;;
                write) options="--only --failed --dry-run --force --json --pretty --lang" ;;
                plan)  options="--directory --date --only --json --pretty --lang" ;;
                apply) options="--directory --date --only --dry-run --json --pretty --lang" ;;
                directory) options="--lang" ;;
                *) options="--only --failed --directory --date --dry-run --force --json --pretty --lang" ;;
            esac
            if ((COMP_CWORD == 2)) && [[ $cur != -* ]]; then
                COMPREPLY=($(compgen -W "read diff write status plan apply directory" -- "$cur"))
                return
            fi
            if [[ $cur != -* ]]; then
                COMPREPLY=($(compgen -f -X '!*.[Tt][Oo][Mm][Ll]' -- "$cur") $(compgen -d -- "$cur"))
                return
            fi ;;
        help)
            ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W "${commands% help}" -- "$cur"))
            return ;;
        *) return ;;
    esac
    if [[ $cur == -* || -z $files ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -X '!*.[Qq][Ll][Vv]' -- "$cur") $(compgen -d -- "$cur"))
    fi
}
complete -o filenames -F _vardelo_cli vardelo-cli
