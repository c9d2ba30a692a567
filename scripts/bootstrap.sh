#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent and quiet when
# everything is already there; uses sudo only when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-image-formats-plugins
  libqt6svg6 qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-arphic-uming fonts-wqy-zenhei
  xvfb xauth imagemagick
  qt6-httpserver-dev qt6-websockets-dev libgif-dev libpng-dev
  xfonts-wqy fonts-unifont xfonts-unifont qt6-translations-l10n
  qt6-l10n-tools qt6-tools-dev
  help2man chromium librsvg2-bin
  libfreetype-dev libfontconfig-dev
  libmosquitto-dev mosquitto mosquitto-clients openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
echo "bootstrap: installing ${missing[*]}" >&2
# A fresh machine may have empty package lists: update once, then install.
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1; then
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
