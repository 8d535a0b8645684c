#!/usr/bin/env bash
# Builds the program and writes a picture of every page and every dialog into
# a folder, as a user sees them: offscreen, the main window at 1280x800,
# Russian locale, on a fresh demonstration database.
#   scripts/screenshots.sh [FOLDER] [--only NAME ...]
# FOLDER defaults to build/screens. New pages appear there by themselves; a
# new dialog is one line in the table of src/app/screens/screens.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."

out="build/screens"
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  out="$1"
  shift
fi

scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target korvex-screens korvex-rent-cli

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/korvex-rent-cli db init --demo "$work/demo.fdb" >/dev/null

rm -rf "$out"
mkdir -p "$out"
LANG=ru_RU.UTF-8 LC_ALL= QT_QPA_PLATFORM=offscreen \
  build/korvex-screens --db "$work/demo.fdb" --out "$out" "$@" >/dev/null
echo "$(ls "$out" | wc -l) pictures in $out"
