#!/usr/bin/env bash
# Fuzzes the RTF reader (and the writer and layout behind it) for SECONDS
# (default 60); --merge folds new inputs into the committed corpus (30
# kept). See fuzz/run.sh.
#   fuzz/rtf/run.sh [SECONDS | --merge]
set -euo pipefail
here="$(dirname "$0")"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
if [ "${1:-}" = "--merge" ]; then
  exec "$here/../run.sh" rtf 30 --merge
fi
exec "$here/../run.sh" rtf 30 "${1:-60}" -max_len=65536 -rss_limit_mb=4096 -dict=fuzz/rtf/rtf.dict
