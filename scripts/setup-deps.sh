#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# skipping the ones already present. Safe to run again.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-ibase qt6-translations-l10n
  firebird3.0-server-core firebird3.0-utils firebird3.0-server libfbclient2 firebird-dev
  pxlib-dev
  fonts-liberation
  xvfb xauth
  libmuparser-dev libbenchmark-dev unrtf
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# The server package must not try to start a service on machines without an init system.
$SUDO apt-get update -qq
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
