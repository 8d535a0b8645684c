#!/usr/bin/env bash
# Fuzzes the calculator for SECONDS (default 60); --merge folds new inputs
# into the committed corpus (60 kept). See fuzz/run.sh.
#   fuzz/calc/run.sh [SECONDS | --merge]
set -euo pipefail
here="$(dirname "$0")"
if [ "${1:-}" = "--merge" ]; then
  exec "$here/../run.sh" calc 60 --merge
fi
exec "$here/../run.sh" calc 60 "${1:-60}" -max_len=1024 -dict=fuzz/calc/calc.dict
