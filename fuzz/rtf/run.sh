#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang (address and undefined
# behaviour sanitizers) and runs it over the committed corpus.
#   fuzz/rtf/run.sh [SECONDS] [extra libFuzzer options]
# New interesting inputs go to build-fuzz-rtf/corpus; crashes to build-fuzz-rtf/.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
out="$root/build-fuzz-rtf"
seconds="${1:-60}"
shift || true
mkdir -p "$out/corpus"

sources=(
  "$root"/src/documents/xRTF.cpp "$root"/src/documents/xRTFCodePage.cpp
  "$root"/src/documents/xRTFCodePageTables.cpp "$root"/src/documents/xRTFReader.cpp
  "$root"/src/documents/xRTFLoader.cpp "$root"/src/documents/xRTFWriter.cpp
  "$root"/src/documents/xRTFLayout.cpp "$root"/src/documents/xRTFProgress.cpp
  "$root"/src/documents/xRTFMessages.cpp "$here"/fuzz_rtf.cpp
)
binary="$out/fuzz_rtf"
if [ ! -x "$binary" ] || [ -n "$(find "${sources[@]}" "$root"/src/documents/*.h -newer "$binary" 2>/dev/null)" ]; then
  # shellcheck disable=SC2046
  clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" $(pkg-config --cflags Qt6Core Qt6Gui) \
    "${sources[@]}" -o "$binary" $(pkg-config --libs Qt6Core Qt6Gui)
fi
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
cd "$out"
exec "$binary" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
  -dict="$here/rtf.dict" "$@" corpus "$here/corpus"
