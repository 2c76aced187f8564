#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cc) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for a bounded time
# (VORN_FUZZ_SECONDS, 60 by default) over a seed corpus of the sample site
# and the test pages. A crash, a leak or a broken promise of a target fails
# the script; the input that did it is left in build/fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${VORN_FUZZ_SECONDS:-60}"
build=build/fuzz

CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORN_BUILD_FUZZ=ON -DVORN_WERROR=ON -DVORN_BUILD_TESTS=OFF \
  -DVORN_BUILD_BENCH=OFF
targets=()
for source in fuzz/*_fuzz.cc; do targets+=("$(basename "$source" .cc)"); done
cmake --build "$build" -j2 --target "${targets[@]}"

# Pages by their path, so that pages of the same name do not collide.
seed="$build/seed"
rm -rf "$seed"
mkdir -p "$seed" "$build/crashes"
find examples tests/data -type f \( -iname '*.htm' -o -iname '*.html' \
  -o -iname '*.shtm' -o -iname '*.shtml' \) -print0 |
  while IFS= read -r -d '' page; do cp "$page" "$seed/${page//\//_}"; done

for target in "${targets[@]}"; do
  echo "== $target, $seconds s"
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -rss_limit_mb=2048
    -artifact_prefix="$build/crashes/$target-")
  if [ -f "fuzz/$target.dict" ]; then options+=(-dict="fuzz/$target.dict"); fi
  "$build/$target" "${options[@]}" "$corpus" "$seed"
done
