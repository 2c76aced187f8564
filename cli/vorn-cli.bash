# bash completion for vorn-cli: commands, options, option values, and pages
# or folders as the command wants. Needs only bash itself.

_vorn_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=""
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()

  # "--name=value": bash splits at "=", so the option stands two words back.
  if [[ $cur == "=" ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    cur=""
  elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == --*=* ]]; then  # "=" not among COMP_WORDBREAKS
    prev=${cur%%=*}
    cur=${cur#*=}
  fi

  local tens="0 10 20 30 40 50 60 70 80 90" digits="0 1 2 3 4 5 6 7 8 9"
  case $prev in
    --title-weight | --description-weight | --existing-keywords-weight)
      COMPREPLY=($(compgen -W "$tens" -- "$cur"))
      return ;;
    --bold-weight | --italic-weight | --table-weight | --div-weight | --span-weight)
      COMPREPLY=($(compgen -W "$digits" -- "$cur"))
      return ;;
    --short-word-size | --min-frequency)
      COMPREPLY=($(compgen -W "${digits#0 }" -- "$cur"))
      return ;;
    --language | --fallback-language)
      local languages="en fr de it pt es ar bg ca zh hr cs da nl et fi el he
        hi hu id ja ko lv lt ne no fa pl ro ru sk sl sv th tr uk vi xx"
      [[ $prev == --language ]] && languages="auto $languages"
      COMPREPLY=($(compgen -W "$languages" -- "$cur"))
      return ;;
    --format)
      COMPREPLY=($(compgen -W "text json tsv" -- "$cur"))
      return ;;
    --ext)
      # A comma list: complete its last item.
      local done_items="" item=$cur
      if [[ $cur == *,* ]]; then
        done_items=${cur%,*},
        item=${cur##*,}
      fi
      COMPREPLY=($(compgen -P "$done_items" -W "htm html shtm shtml" -- "$item"))
      return ;;
    --data-dir)
      _vorn_cli_folders "$cur"
      return ;;
    --state)
      _vorn_cli_folders "$cur"
      local f
      while IFS= read -r f; do
        [[ -d $f ]] || COMPREPLY+=("$f")
      done < <(compgen -f -- "$cur")
      return ;;
    --tag | --begin-with | --ignore-words | --max-keywords | --max-bytes | --jobs)
      return ;;  # free text
  esac

  # The command and its path are the first two words that are neither
  # options nor option values.
  local takes_value=" --title-weight --description-weight --existing-keywords-weight
    --bold-weight --italic-weight --table-weight --div-weight --span-weight
    --short-word-size --min-frequency --max-keywords --max-bytes --begin-with
    --ignore-words --language --fallback-language --data-dir --state --tag
    --ext --format --jobs "
  local command="" path="" i word
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word == "--" ]]; then
      continue
    elif [[ $word == -* ]]; then
      if [[ $takes_value == *" $word "* ]]; then
        if [[ ${COMP_WORDS[i + 1]} == "=" ]]; then ((i += 2)); else ((i++)); fi
      fi
    elif [[ -z $command ]]; then
      command=$word
    elif [[ -z $path ]]; then
      path=$word
    fi
  done

  if [[ $cur == -* ]]; then
    local output="--format --quiet"
    local options="--help --version
      --title-weight --description-weight --existing-keywords-weight
      --bold-weight --italic-weight --table-weight --div-weight --span-weight
      --short-word-size --min-frequency
      --ignore-short-words --no-ignore-short-words
      --ignore-common-words --no-ignore-common-words
      --preserve-case --no-preserve-case
      --space-after-comma --no-space-after-comma
      --forward-slash --no-forward-slash
      --max-keywords --max-bytes --begin-with --ignore-words --language
      --fallback-language --data-dir --state"
    local insert_options="--tag --done --no-done"
    local run_options="--subfolders --no-skip-done --no-add-done
      --dont-log-done --include-old --include-new --ext --jobs"
    local changes="--backup --dry-run --diff"
    case $command in
      list | tag) options+=" $output" ;;
      insert) options+=" --quiet $changes $insert_options" ;;
      run) options+=" $output $changes $run_options" ;;
      show) options="--help --version $output" ;;
      help) options="" ;;
      "") options+=" $output $changes $insert_options $run_options" ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi

  if [[ -z $command ]]; then
    COMPREPLY=($(compgen -W "list tag show insert run help" -- "$cur"))
  elif [[ $command == help ]]; then
    [[ -z $path ]] && COMPREPLY=($(compgen -W "list tag show insert run" -- "$cur"))
  elif [[ -z $path ]]; then
    _vorn_cli_folders "$cur"
    [[ $command == run ]] || _vorn_cli_pages "$cur"
  fi
}

# Adds the folders starting with $1 to COMPREPLY, one per line of compgen
# so that names with blanks stay whole.
_vorn_cli_folders() {
  local f
  while IFS= read -r f; do
    COMPREPLY+=("$f")
  done < <(compgen -d -- "$1")
  compopt -o filenames 2>/dev/null
}

# Adds the pages (the extensions vorn-cli acts on, in any case) starting
# with $1 to COMPREPLY.
_vorn_cli_pages() {
  local f
  while IFS= read -r f; do
    [[ -d $f ]] && continue
    case ${f,,} in
      *.htm | *.html | *.shtm | *.shtml) COMPREPLY+=("$f") ;;
    esac
  done < <(compgen -f -- "$1")
  compopt -o filenames 2>/dev/null
}

complete -F _vorn_cli vorn-cli
