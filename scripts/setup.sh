#!/usr/bin/env bash
# Installs what the build needs (with "run", what showing the program needs; with "test", the PostgreSQL
# server the tests start a throw-away cluster of), only where missing.
set -euo pipefail

# Slips and sheets print in Japanese: the Noto CJK fonts are what the paper font names. The charts need
# Qt Charts, whose CMake package asks for Qt's OpenGL one.
packages=(cmake g++ make qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n fonts-noto-cjk
          qt6-charts-dev libqt6opengl6-dev)
if [ "${1:-}" = "run" ]; then
  packages+=(xvfb xauth imagemagick)
fi
if [ "${1:-}" = "test" ]; then
  # The tests read the printed PDFs back with poppler's pdftotext and pdfinfo.
  packages+=(postgresql-15 poppler-utils)
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
