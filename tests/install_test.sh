#!/usr/bin/env bash
# An install travels: installed under an arbitrary prefix and then moved,
# vorn-cli still reads its own copy of the data. Also checks what a package
# carries besides the programs, and that the manual pages render cleanly.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1
source=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

page=$source/examples/site/index.htm
# What the build tree's program composes, finding the data beside it.
expected=$("$build/vorn-cli" tag "$page" 2>"$work/stderr")
[[ -s $work/stderr ]] && fail "build tree: $(cat "$work/stderr")"
# Without the common words the sample's tag differs, so a program that
# missed them could not pass below.
without=$("$build/vorn-cli" --no-ignore-common-words tag "$page")
[[ $without != "$expected" ]] || fail "the sample page does not depend on common words"

cmake --install "$build" --prefix "$work/first prefix" >/dev/null
# Moved after the install: nothing may depend on where it was put.
mv "$work/first prefix" "$work/moved"
tree=$work/moved

got=$("$tree/bin/vorn-cli" tag "$page" 2>"$work/stderr") || fail "installed vorn-cli tag failed"
[[ -s $work/stderr ]] && fail "installed: $(cat "$work/stderr")"
[[ $got == "$expected" ]] || fail "installed vorn-cli composes '$got', not '$expected'"

# It reads this tree's copy, not the build tree's or the configured prefix's.
echo "keyword" >"$tree/share/vorn/cmwds_en.txt"
got=$("$tree/bin/vorn-cli" tag "$page" 2>"$work/stderr") || true
[[ $got != "$expected" ]] || fail "installed vorn-cli does not read its own data folder"

version_line=$("$tree/bin/vorn-cli" --version) || fail "--version failed"
[[ $version_line == "vorn-cli $version" ]] || fail "--version printed '$version_line'"

for file in bin/vorn share/vorn/vorn_text.dat share/vorn/manual.html \
  share/vorn/json-output.md \
  share/applications/vorn.desktop share/icons/hicolor/scalable/apps/vorn.svg \
  share/metainfo/org.vorn.vorn.metainfo.xml \
  share/bash-completion/completions/vorn-cli \
  share/man/man1/vorn.1.gz share/man/man1/vorn-cli.1.gz; do
  [[ -f $tree/$file ]] || fail "not installed: $file"
done

for man_page in "$tree"/share/man/man1/*.1.gz; do
  warnings=$(zcat "$man_page" | groff -t -man -Tutf8 -ww -z 2>&1) || fail "groff failed on $man_page"
  [[ -z $warnings ]] || fail "$(basename "$man_page"): $warnings"
done

if ((failures > 0)); then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "install under a moved prefix: ok"
