#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: only the packages that are missing,
# after refreshing the package lists, as root or through sudo.
set -euo pipefail
packages=(g++ cmake ninja-build ccache pkg-config qt6-base-dev libqt6printsupport6 libgl-dev
  libsqlite3-dev zlib1g-dev libzip-dev libfreexl-dev libxlsxwriter-dev fonts-noto-cjk
  xvfb xauth poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
