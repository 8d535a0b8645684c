#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang (address and undefined-
# behaviour sanitizers) in build-fuzz/ and runs it for SECONDS (default 60).
# New inputs go to fuzz/corpus-new/rtf/, crashes to fuzz/corpus-new/.
# To fold the new inputs into the committed corpus, keeping it small (the 30
# inputs that together cover the most edges):
#   fuzz/rtf/run.sh --merge
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-fuzz
new=fuzz/corpus-new/rtf
corpus=fuzz/rtf/corpus

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKORVEX_FUZZ=ON -DKORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_rtf -- -j2
mkdir -p "$new"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

if [ "${1:-}" = "--merge" ]; then
  exec fuzz/pick_corpus.py "$build/fuzz/rtf/fuzz_rtf" "$corpus" 30 "$corpus" "$new"
fi

seconds=${1:-60}
"$build/fuzz/rtf/fuzz_rtf" -max_total_time="$seconds" -timeout=10 -max_len=65536 -rss_limit_mb=4096 \
  -dict=fuzz/rtf/rtf.dict -artifact_prefix=fuzz/corpus-new/ -print_final_stats=1 \
  "$new" "$corpus"
