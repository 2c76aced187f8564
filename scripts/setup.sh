#!/usr/bin/env bash
# Installs what a bare Debian machine lacks to build and test VORN.
# Packages already present are left alone; nothing is downloaded then.
set -euo pipefail

packages=(
  g++ clang cmake ninja-build
  libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev
  clang-format
  qt6-base-dev xvfb xauth fonts-dejavu-core
  groff-base
  diffutils patch python3
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
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
