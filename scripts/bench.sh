#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmark program on the generated 10-year agency file
# (made once, kept in build/bench-data/). Arguments name the sections to run; none runs all.
# The section "postgres" compares the file with a PostgreSQL server: ROSTERPAD_BENCH_PG names one
# ("host=... port=... user=..."), or a throw-away cluster is started in a temporary folder (as
# scripts/test.sh does), filled through the program's own schema, and removed afterwards.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" test
"$top/scripts/build.sh" rosterpad_bench

wants_pg=1
if [ $# -gt 0 ]; then
  wants_pg=0
  for s in "$@"; do [ "$s" = postgres ] && wants_pg=1; done
fi
if [ "$wants_pg" -eq 1 ] && [ -z "${ROSTERPAD_BENCH_PG:-}" ]; then
  # A server as a small office would run it (durable commits).
  . "$top/scripts/pgcluster.sh"
  start_cluster rosterpad-bench-pg "-c shared_buffers=256MB"
  export ROSTERPAD_BENCH_PG="host=$cluster port=5432 user=$owner"
fi

cd "$top/build"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(date -I)"
QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=Asia/Tokyo ./rosterpad_bench "$@"
