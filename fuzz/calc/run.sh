#!/usr/bin/env bash
# Builds the calculator's fuzz target with clang (address and undefined-
# behaviour sanitizers) in build-fuzz/ and runs it for SECONDS (default 60).
# New inputs go to fuzz/corpus-new/calc/, crashes to fuzz/corpus-new/.
# To fold the new inputs into the committed corpus, keeping it small (the 60
# inputs that together cover the most edges):
#   fuzz/calc/run.sh --merge
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-fuzz
new=fuzz/corpus-new/calc
corpus=fuzz/calc/corpus

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKORVEX_FUZZ=ON -DKORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_calc -- -j2
mkdir -p "$new"

if [ "${1:-}" = "--merge" ]; then
  exec fuzz/pick_corpus.py "$build/fuzz/calc/fuzz_calc" "$corpus" 60 "$corpus" "$new"
fi

seconds=${1:-60}
"$build/fuzz/calc/fuzz_calc" -max_total_time="$seconds" -timeout=10 -max_len=1024 \
  -dict=fuzz/calc/calc.dict -artifact_prefix=fuzz/corpus-new/ -print_final_stats=1 \
  "$new" "$corpus"
