# Sourced by test.sh and bench.sh. start_cluster NAME OPTIONS [HBA_LINE] starts a throw-away PostgreSQL 15
# cluster in a temporary folder, listening on a Unix socket in that folder only (no network port), and
# removes it again when the script exits, whatever happens. The server refuses to run as root, so under
# root the cluster belongs to Debian's postgres user. The owner is trusted; HBA_LINE adds a rule for
# everyone else. Sets cluster (the folder, also the socket's) and owner.
stop_cluster() {
  "${as_owner[@]}" "$pgbin/pg_ctl" -D "$cluster/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$cluster"
}

start_cluster() {
  local name="$1" options="$2" hba_line="${3:-}"
  pgbin=/usr/lib/postgresql/15/bin
  cluster="$(mktemp -d "${TMPDIR:-/tmp}/$name.XXXXXX")"
  owner="$(id -un)"
  as_owner=()
  if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    chown "$owner": "$cluster"
    as_owner=(runuser -u "$owner" --)
  fi
  trap stop_cluster EXIT
  "${as_owner[@]}" "$pgbin/initdb" -D "$cluster/data" -U "$owner" -E UTF8 --locale=C.UTF-8 -A trust >/dev/null
  printf 'local all %s trust\n' "$owner" > "$cluster/data/pg_hba.conf"
  if [ -n "$hba_line" ]; then
    printf '%s\n' "$hba_line" >> "$cluster/data/pg_hba.conf"
  fi
  "${as_owner[@]}" "$pgbin/pg_ctl" -D "$cluster/data" -w -l "$cluster/server.log" \
    -o "-k $cluster -p 5432 -c listen_addresses='' $options" start >/dev/null
}
