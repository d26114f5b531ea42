#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, when missing.
set -euo pipefail

PACKAGES=(build-essential cmake ninja-build ccache qt6-base-dev libqt6opengl6-dev libgl-dev
  libglu1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth libgl1-mesa-dri
  libglx-mesa0 libglu1-mesa fontconfig libfontconfig-dev fonts-dejavu-core fonts-liberation2 dbus-daemon dbus-x11
  qt6-image-formats-plugins libgif-dev libxxhash-dev clang libclang-rt-14-dev lld)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
