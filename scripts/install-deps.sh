#!/usr/bin/env bash
# Installs every Debian package Pellora needs to build, run and test.
# Packages already present are skipped; apt-get update runs only when something must be installed.
set -euo pipefail

packages=(
  build-essential g++ cmake pkg-config git
  googletest libgtest-dev libgmock-dev
  portaudio19-dev libsndfile1 libsndfile1-dev
  libtinyxml-dev libboost-dev libloki-dev
  libsdl2-dev libsdl2-image-dev
  libcairo2-dev libpango1.0-dev libglib2.0-dev
  libcurl4-openssl-dev libasound2-dev libasound2-plugins libpulse-dev libxext-dev libxfixes-dev libxdamage-dev
  xvfb xauth xdotool x11-utils imagemagick openbox
  pulseaudio pulseaudio-utils alsa-utils sox
  fonts-dejavu-core python3 python3-cairo
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  {
    echo "install-deps: these packages are missing: ${missing[*]}"
    echo "install-deps: there is no sudo to install them with; as root, run:"
    echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}"
    echo "install-deps: then run this again."
  } >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
