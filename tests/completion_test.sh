#!/usr/bin/env bash
# The bash completion of vorn-cli: a table of command lines with what each
# must complete to, and every option of --help offered (none that it lacks).
# Usage: completion_test.sh COMPLETION_FILE VORN_CLI
set -euo pipefail
completion=$1
cli=$2
# shellcheck source=/dev/null
source "$completion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p site/guides "my pages"
touch site/index.htm site/About.HTML notes.txt "my pages/a b.shtml" page.htm

# The completions of a command line, sorted, on one line. The line is split
# as bash splits it ("=" is a word of its own); a trailing blank starts an
# empty word.
complete_line() {
  local line=$1
  COMP_WORDS=()
  local word
  for word in ${line//=/ = }; do COMP_WORDS+=("$word"); done
  [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vorn_cli
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' '
}

failures=0
check() {
  local line=$1 want=$2 got
  got=$(complete_line "$line")
  if [[ $got != "$want" ]]; then
    echo "FAIL: '$line' completes to '$got', not '$want'" >&2
    failures=$((failures + 1))
  fi
}

check "vorn-cli " "help insert list run show tag"
check "vorn-cli run site --format " "json text tsv"
check "vorn-cli insert page.htm --d" "--data-dir --description-weight --diff --div-weight --done --dry-run"
check "vorn-cli --bold-weight 3 s" "show"
check "vorn-cli --language=fr r" "run"
check "vorn-cli tag --title-weight " "0 10 20 30 40 50 60 70 80 90"
check "vorn-cli run site --ext html,s" "html,shtm html,shtml"
check "vorn-cli run site --no-" "--no-add-done --no-forward-slash --no-ignore-common-words --no-ignore-short-words --no-preserve-case --no-skip-done --no-space-after-comma"
check "vorn-cli tag " "my pages page.htm site"
check "vorn-cli run " "my pages site"

# Every option that --help names is offered before a command, and nothing
# that --help does not name.
help_options=$("$cli" --help | grep -oE -- '--(\[no-\])?[a-z][a-z-]*' |
  sed -E 's/^--\[no-\](.*)/--\1\n--no-\1/' | LC_ALL=C sort -u | paste -sd' ')
offered=$(complete_line "vorn-cli --")
if [[ $offered != "$help_options" ]]; then
  echo "FAIL: the completion offers $offered; vorn-cli --help names $help_options" >&2
  failures=$((failures + 1))
fi

# Every option that "COMMAND --help" names is offered after that command.
for command in list tag show insert run; do
  offered=" $(complete_line "vorn-cli $command page.htm --") "
  for option in $("$cli" "$command" --help | grep -oE -- '--[a-z][a-z-]*' | LC_ALL=C sort -u); do
    if [[ $offered != *" $option "* ]]; then
      echo "FAIL: '$command --help' names $option; completion does not offer it" >&2
      failures=$((failures + 1))
    fi
  done
done

# The language codes are those of the list in --help ("  en English  fr
# French ..."), with auto for --language only.
help_codes=$("$cli" --help | sed -n '/^Languages/,/^$/p' |
  grep -oE '  [a-z]{2} ' | tr -d ' ')
sorted() { LC_ALL=C sort -u | paste -sd' '; }
check "vorn-cli --fallback-language " "$(sorted <<<"$help_codes")"
check "vorn-cli --language " "$(printf 'auto\n%s\n' "$help_codes" | sorted)"

if ((failures > 0)); then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "completion: ok"
