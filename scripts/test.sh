#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen, no display needed): all of them on
# the SQLite file, and the tests that touch the store a second time (NAME_pg) on a throw-away PostgreSQL
# cluster in a temporary folder, stopped and removed again whatever the tests do.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" test

# Only a socket in the temporary folder. The test kit (the cluster's owner) is trusted; every other role
# must give its password, so the start-up tests can meet a wrong one.
. "$top/scripts/pgcluster.sh"
start_cluster rosterpad-pg "-c max_connections=200 -c fsync=off" "local all all scram-sha-256"
export ROSTERPAD_TEST_PG="host=$cluster port=5432 user=$owner"

"$top/scripts/build.sh"
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
