#!/usr/bin/env bash
# Builds a fuzz target with clang (address and undefined-behaviour
# sanitizers) in build-fuzz/ and runs it; NAME/run.sh calls this with the
# target's own options. New inputs go to fuzz/corpus-new/NAME/, crashes to
# fuzz/corpus-new/.
#   fuzz/run.sh NAME KEEP [SECONDS (default 60) | --merge] [libFuzzer options...]
# --merge folds the new inputs into the committed corpus NAME/corpus, keeping
# it small: the KEEP inputs that together cover the most edges.
set -euo pipefail
cd "$(dirname "$0")/.."

name=$1
keep=$2
shift 2
build=build-fuzz
new=fuzz/corpus-new/$name
corpus=fuzz/$name/corpus

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKORVEX_FUZZ=ON -DKORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_$name" -- -j2
mkdir -p "$new"

if [ "${1:-}" = "--merge" ]; then
  exec fuzz/pick_corpus.py "$build/fuzz/$name/fuzz_$name" "$corpus" "$keep" "$corpus" "$new"
fi

seconds=${1:-60}
shift || true
"$build/fuzz/$name/fuzz_$name" -max_total_time="$seconds" -timeout=10 -artifact_prefix=fuzz/corpus-new/ \
  -print_final_stats=1 "$@" "$new" "$corpus"
