#!/usr/bin/env bash
# Installs what the build needs (and, with "run", what showing the program needs), only where missing.
set -euo pipefail

# The tests print slips to PDF in Japanese and read them back with poppler's pdftotext and pdfinfo.
packages=(cmake g++ make qt6-base-dev libqt6sql6-sqlite fonts-noto-cjk poppler-utils)
if [ "${1:-}" = "run" ]; then
  packages+=(xvfb xauth imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
