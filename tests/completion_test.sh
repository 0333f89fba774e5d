#!/usr/bin/env bash
# Tab completion of kvt540m-cli agrees with the tool: the commands its help
# lists, each command's options, items the tool takes, settings files.
#   completion_test.sh CLI COMPLETION SAMPLE.dat
set -uo pipefail
cli=$1
source "$2"
sample=$3
failures=0

# The words completed for a command line whose last word is being typed.
complete_words() {
    COMP_WORDS=(kvt540m-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _kvt540m_cli 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect_same() {  # what expected actual
    if [ "$2" != "$3" ]; then
        echo "FAILED: $1"
        diff <(echo "$2") <(echo "$3") | sed 's/^/  /'
        failures=$((failures + 1))
    fi
}

commands=$("$cli" --help | sed -n 's/^  kvt540m-cli \([a-z-]*\).*/\1/p' | sort -u)
expect_same "commands" "$(printf '%s\n' $commands help --help --version | sort)" \
    "$(complete_words '')"
expect_same "help COMMAND" "$commands" "$(complete_words help '')"

for command in $commands; do
    options=$("$cli" help "$command" | sed -n 's/^  \(--[a-z0-9-]*\).*/\1/p')
    expect_same "options of $command" "$(printf '%s\n' $options --help | sort)" \
        "$(complete_words "$command" --)"
done

# Every item completed after send FILE.dat is one send takes.
items=$(complete_words send "$sample" '')
[ -n "$items" ] || { echo "FAILED: no items"; failures=$((failures + 1)); }
for item in $items; do
    if ! "$cli" send "$sample" "$item" --dry-run >/dev/null 2>&1 &&
       ! "$cli" send "$sample" "$item" --page 1 --dry-run >/dev/null 2>&1; then
        echo "FAILED: send does not take the item $item"
        failures=$((failures + 1))
    fi
done

expect_same "display" "$(printf '%s\n' off on)" "$(complete_words display '')"
expect_same "--pace" "$(printf '%s\n' reply timed)" "$(complete_words read x.dat --pace '')"
expect_same "--port COM" "$(printf '%s\n' COM1 COM2 COM3)" "$(complete_words send x.dat --port CO)"
expect_same "--port rfc" "rfc2217://" "$(complete_words send x.dat --port rf)"

# Settings files and folders, not other files; the item after them.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/sub"
touch "$dir/a.dat" "$dir/B.DAT" "$dir/notes.txt" "$dir/t.csv"
cd "$dir" || exit 1
expect_same "*.dat" "$(printf '%s\n' B.DAT a.dat sub)" "$(complete_words show '')"
expect_same "import IN" "$(printf '%s\n' sub t.csv)" "$(complete_words import a.dat '')"
expect_same "options and their values are skipped" "$(printf '%s\n' text text-nomem)" \
    "$(complete_words send --port COM1 a.dat --dry-run tex)"

[ "$failures" -eq 0 ] && echo "completion agrees with the tool"
exit $((failures > 0))
