#!/bin/bash
# The bash completion of kotonami-tool offers what the tool takes: its commands, each
# command's options, the values of an option and file names (quoted, blanks and all).
# Usage: completion_test.sh [COMPLETION_FILE]
set -u
completion=$(realpath "${1:-$(dirname "$0")/../../packaging/kotonami-tool.bash-completion}")
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
cd "$work" && touch 'a poem.txt' page.html && mkdir folder || exit 1
# shellcheck source=/dev/null
source "$completion" || exit 1

# The words after "kotonami-tool", the last being completed (a trailing blank: an empty
# word), and what the completion offers, sorted and joined by "|".
cases=(
    ''                                    'count|encoding|hira2kata|insert|kata2hira|kata2kanji|longpage|manyogana|page|reading|speak'
    'kata'                                'kata2hira|kata2kanji'
    '--'                                  '--help|--version'
    'speak in.txt --sp'                   '--speaker|--speed'
    'insert -'                            '--encoding|--help|--into|--output-encoding|--ruby|--settings|--tcy|-o'
    'count -'                             '--help'
    'manyogana --output-encoding utf'     'utf-8|utf-8-bom'
    'page --output-encoding '             'cp932|utf-8'
    'longpage --tcy '                     '2|3|4'
    'reading --format r'                  'romaji|ruby'
    'speak --speaker M'                   'Mary|Mike'
    'speak --speed '                      ''
    'count a'                             'a poem.txt'
    'insert --into p'                     'page.html'
    'kata2hira -o '                       'a poem.txt|folder|page.html'
)
failures=0
for ((i = 0; i < ${#cases[@]}; i += 2)); do
    line=${cases[i]} expected=${cases[i + 1]}
    read -ra words <<<"$line"
    [[ -z $line || $line == *' ' ]] && words+=('')
    COMP_WORDS=(kotonami-tool "${words[@]}") COMP_CWORD=${#words[@]}
    _kotonami_tool
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd'|')
    if [[ $got != "$expected" ]]; then
        echo "FAIL: kotonami-tool $line<TAB> gave '$got', expected '$expected'" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0)) && echo "completion: $((${#cases[@]} / 2)) cases pass"
exit $((failures > 0))
