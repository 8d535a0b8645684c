#!/usr/bin/env bash
# Builds the program and starts it on the embedded default database, creating
# that database with demo data when it does not exist yet.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target korvex-rent korvex-rent-cli

db="$(build/korvex-rent-cli db default-path)"
if [ ! -e "$db" ]; then
  echo "Creating the demo database $db"
  build/korvex-rent-cli db init --demo "$db"
fi

echo "Log in with subsystem 230 (or Аренда), user admin, password admin."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a build/korvex-rent "$@"
fi
exec build/korvex-rent "$@"
