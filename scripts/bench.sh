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
  pgbin=/usr/lib/postgresql/15/bin
  cluster="$(mktemp -d "${TMPDIR:-/tmp}/rosterpad-bench-pg.XXXXXX")"
  owner="$(id -un)"
  as_owner=()
  if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    chown "$owner": "$cluster"
    as_owner=(runuser -u "$owner" --)
  fi
  stop_cluster() {
    "${as_owner[@]}" "$pgbin/pg_ctl" -D "$cluster/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$cluster"
  }
  trap stop_cluster EXIT
  "${as_owner[@]}" "$pgbin/initdb" -D "$cluster/data" -U "$owner" -E UTF8 --locale=C.UTF-8 -A trust >/dev/null
  printf 'local all %s trust\n' "$owner" > "$cluster/data/pg_hba.conf"
  # A server as a small office would run it (durable commits), on a socket only.
  "${as_owner[@]}" "$pgbin/pg_ctl" -D "$cluster/data" -w -l "$cluster/server.log" \
    -o "-k $cluster -p 5432 -c listen_addresses='' -c shared_buffers=256MB" start >/dev/null
  export ROSTERPAD_BENCH_PG="host=$cluster port=5432 user=$owner"
fi

cd "$top/build"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(date -I)"
QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=Asia/Tokyo ./rosterpad_bench "$@"
