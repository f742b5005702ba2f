#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: `start DIR` makes a new cluster in DIR, runs it
# on a free port of 127.0.0.1 with fsync off and writes its connection string to DIR/conninfo;
# `stop DIR` stops it and removes DIR. Run as root, the server runs as the postgres account
# (the server refuses to run as root). A server that cannot start fails the command: the tests
# that need it then fail instead of passing unseen.
set -euo pipefail

action=${1:?usage: pg-test-server.sh start|stop DIR}
dir=${2:?usage: pg-test-server.sh start|stop DIR}

bindir=""
for candidate in "${PG_BINDIR:-}" $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  if [ -n "$candidate" ] && [ -x "$candidate/initdb" ]; then bindir=$candidate; break; fi
done
if [ -z "$bindir" ]; then
  echo "pg-test-server: no PostgreSQL server found (install the package postgresql)" >&2
  exit 1
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case "$action" in
  start)
    stop  # what a run cut short left behind
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi
    as_owner "$bindir/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 \
      >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # A free port: the kernel picks one for a socket bound to port 0.
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=60" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    as_owner "$bindir/psql" -h 127.0.0.1 -p "$port" -U postgres -d postgres -qAt \
      -c "CREATE DATABASE vantor_test" >/dev/null
    echo "host=127.0.0.1 port=$port user=postgres dbname=vantor_test" >"$dir/conninfo"
    echo "pg-test-server: running on 127.0.0.1:$port"
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: pg-test-server.sh start|stop DIR" >&2
    exit 2
    ;;
esac
