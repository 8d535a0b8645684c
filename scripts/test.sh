#!/usr/bin/env bash
# Builds everything and runs every test. A Firebird server is started on
# loopback for the tests that reach the database over localhost:/path, and
# stopped again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${KORVEX_NO_SERVER:-}" ] && [ -x /usr/sbin/firebird ] && [ -r /etc/firebird/3.0/SYSDBA.password ]; then
  # shellcheck disable=SC1091
  . /etc/firebird/3.0/SYSDBA.password
  if ! (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then
    /usr/sbin/firebird >build/firebird-server.log 2>&1 &
    server_pid=$!
    for _ in $(seq 1 50); do
      (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null && break
      sleep 0.2
    done
  fi
  export KORVEX_TEST_SERVER=localhost
  export KORVEX_TEST_SERVER_USER="${ISC_USER:-SYSDBA}"
  export KORVEX_TEST_SERVER_PASSWORD="${ISC_PASSWORD:-}"
  unset ISC_USER ISC_PASSWORD
fi

cd build
ctest --output-on-failure -j "$(nproc)" "$@"
