#!/usr/bin/env bash
# Configures and builds into build/ beside the sources: the targets named, or everything.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do
  targets+=(--target "$t")
done
cmake --build "$top/build" -j"$(nproc)" "${targets[@]}"
