#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmark program on the generated 10-year agency file
# (made once, kept in build/bench-data/). Arguments name the sections to run; none runs all.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
cd "$top/build"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(date -I)"
QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=Asia/Tokyo ./rosterpad_bench "$@"
