# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for sentalia-db: commands, each command's options, the
# values of --format, the topics of the collection for --tema, FILE as
# *.mdb paths.

# The options each command takes, as sentalia-db --help lists them.
_sentalia_db_options()
{
    case $1 in
        list) echo "--tema --autor --format" ;;
        search) echo "--format" ;;
        random | import) echo "--tema --autor" ;;
        add | edit) echo "--frase --tema --autor" ;;
        export) echo "--format --tema" ;;
    esac
}

# The topics of COLLECTION (the default one when empty), one a line, read
# through "sentalia-db topics": nothing when the collection is in use,
# missing or slow to answer.
_sentalia_db_topics()
{
    local tool=$1 collection=$2 line
    local -a arguments=(topics)
    [[ -n $collection ]] && arguments+=("$collection")
    local count='^ *[0-9]+  (.+)$'
    while IFS= read -r line; do
        # "      7  VIDA", maybe followed by "  [a note]"; "(sin tema)" is
        # no topic one could ask for, the last line a summary.
        [[ $line =~ $count ]] || continue
        line=${BASH_REMATCH[1]%%  \[*}
        [[ $line != "(sin tema)" ]] && printf '%s\n' "$line"
    done < <(timeout 2 "$tool" "${arguments[@]}" 2>/dev/null </dev/null)
}

_sentalia_db()
{
    local cur prev words cword split
    _init_completion -s || return

    # The command is the first word that is no option; FILE the first word
    # after it that ends in .mdb; options already given are not offered again.
    local command="" collection="" i word given=" "
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        [[ $word == -- ]] && break
        if [[ $word == -* ]]; then
            given+="${word%%=*} "
        elif [[ -z $command ]]; then
            command=$word
        elif [[ -z $collection && ${word,,} == *.mdb ]]; then
            collection=$word
        fi
    done

    case $prev in
        --format)
            case $command in
                export) COMPREPLY=($(compgen -W "csv fortune" -- "$cur")) ;;
                *) COMPREPLY=($(compgen -W "texto tsv csv json" -- "$cur")) ;;
            esac
            return
            ;;
        --tema)
            local tool=${words[0]} topic wanted=${cur,,}
            [[ $tool == "~/"* ]] && tool=$HOME/${tool#"~/"}
            [[ $collection == "~/"* ]] && collection=$HOME/${collection#"~/"}
            # Sentalia compares topics without regard to case.
            while IFS= read -r topic; do
                [[ ${topic,,} == "$wanted"* ]] && COMPREPLY+=("$(printf '%q' "$topic")")
            done < <(_sentalia_db_topics "$tool" "$collection")
            return
            ;;
        --autor | --frase)
            return
            ;;
    esac
    $split && return

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "list search random add edit delete topics backup create import export check" \
                -- "$cur"))
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        local option options=()
        for option in $(_sentalia_db_options "$command"); do
            [[ $given == *" $option "* ]] || options+=("$option")
        done
        COMPREPLY=($(compgen -W "${options[*]}" -- "$cur"))
        return
    fi

    case $command in
        import) _filedir ;;                    # fortune files and CSV, after FILE
        backup) _filedir mdb ;;                # FILE and DEST.mdb
        *) [[ -z $collection ]] && _filedir mdb ;;
    esac
} &&
    complete -F _sentalia_db sentalia-db
