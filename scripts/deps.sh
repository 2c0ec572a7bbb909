#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with.
# Idempotent and quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libqt6sql6-sqlite libqt6svg6-dev
  libxlsxwriter-dev libfreexl-dev zlib1g-dev
  libsodium-dev libbenchmark-dev
  poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
