#!/usr/bin/env bash
# Installs the Debian 12 packages the player needs to build, run and test.
# Only what is missing is installed; running it again changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libmpv-dev
  mpv libxdamage-dev libxtst-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth openbox x11-utils xdotool imagemagick
  ffmpeg python3
  clang libclang-rt-dev llvm
  libgl1-mesa-dri fonts-dejavu-core
  qt6-svg-dev dbus desktop-file-utils appstream dpkg-dev fakeroot
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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
