#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen, no display needed): all of them on
# the SQLite file, and the tests that touch the store a second time (NAME_pg) on a throw-away PostgreSQL
# cluster in a temporary folder, stopped and removed again whatever the tests do.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" test

pgbin=/usr/lib/postgresql/15/bin
cluster="$(mktemp -d "${TMPDIR:-/tmp}/rosterpad-pg.XXXXXX")"
owner="$(id -un)"
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  # The server refuses to run as root: the cluster belongs to Debian's postgres user.
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
# Only a socket in the temporary folder, no network port. The test kit (the administrator) is trusted;
# every other role must give its password, so the start-up tests can meet a wrong one.
cat > "$cluster/data/pg_hba.conf" <<HBA
local all $owner trust
local all all scram-sha-256
HBA
"${as_owner[@]}" "$pgbin/pg_ctl" -D "$cluster/data" -w -l "$cluster/server.log" \
  -o "-k $cluster -p 5432 -c listen_addresses='' -c max_connections=200 -c fsync=off" start >/dev/null
export ROSTERPAD_TEST_PG="host=$cluster port=5432 user=$owner"

"$top/scripts/build.sh"
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
