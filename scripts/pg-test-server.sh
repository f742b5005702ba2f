#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: `start DIR` makes a new cluster, runs it
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

# The cluster lives in a directory of its own under the temporary directory, which the server's
# account can reach wherever DIR is; DIR/cluster names it.
stop() {
  if [ -f "$dir/cluster" ]; then
    cluster=$(cat "$dir/cluster")
    if [ -f "$cluster/data/postmaster.pid" ]; then
      as_owner "$bindir/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    case "$cluster" in "${TMPDIR:-/tmp}"/vantor-pg.*) rm -rf "$cluster" ;; esac
  fi
  rm -rf "$dir"
}

case "$action" in
  start)
    stop  # what a run cut short left behind
    mkdir -p "$dir"
    cluster=$(mktemp -d "${TMPDIR:-/tmp}/vantor-pg.XXXXXX")
    echo "$cluster" >"$dir/cluster"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$cluster"; fi
    as_owner "$bindir/initdb" -D "$cluster/data" -U postgres --auth=trust -E UTF8 \
      --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # A free port: one that nothing answers on; another program may take it first, so a
    # server that cannot listen there tries another.
    started=""
    for attempt in 1 2 3 4 5; do
      port=$((20000 + RANDOM % 40000))
      if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then continue; fi
      if as_owner "$bindir/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 120 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $cluster -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=60" \
        start >/dev/null; then
        started=yes
        break
      fi
    done
    if [ -z "$started" ]; then
      cat "$cluster/server.log" >&2
      exit 1
    fi
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
