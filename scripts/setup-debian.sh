#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again: it installs only what is missing.
set -euo pipefail

PACKAGES=(cmake ninja-build make python3 ca-certificates
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine
  libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1 libgnutls30
  xvfb xauth x11-apps xdotool imagemagick fonts-ipafont-gothic fonts-wine nlohmann-json3-dev googletest)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
